#pragma once
// A MIDI song in time order: the channel messages of a Standard MIDI File with their times in
// seconds, and the tempo map that turned ticks into seconds (kept for the transport the host reports).

#include <cstdint>
#include <vector>

namespace khost
{

struct SongEvent
{
  double seconds;
  uint8_t bytes[3];
  uint8_t size; // 2 or 3
};

struct TempoPoint
{
  double seconds; // where this tempo starts
  double beats;   // quarter notes before it
  double bpm;
};

class MidiSong
{
public:
  std::vector<SongEvent> mEvents; // ordered by time; simultaneous events keep file order
  std::vector<TempoPoint> mTempo; // ordered; the first starts at 0 s
  int mTimeSigNumerator = 4;
  int mTimeSigDenominator = 4;

  // Time of the last event (0 for an empty song).
  double LengthSeconds() const;
  double TempoAt(double seconds) const;
  // Quarter notes from the start to this time.
  double BeatsAt(double seconds) const;
  // The first frame at or after which the event sounds at this rate.
  static int64_t FrameOf(double seconds, double sampleRate);

private:
  const TempoPoint* PointAt(double seconds) const;
};
} // namespace khost
