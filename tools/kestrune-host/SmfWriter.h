#pragma once
// Builds a Standard MIDI File (format 0 or 1) from notes, controller and tempo events placed at ticks.
// Used for the demo song and by the tests, which need files with known timing.

#include <cstdint>
#include <string>
#include <vector>

namespace khost
{

class SmfWriter
{
public:
  explicit SmfWriter(int ticksPerQuarter = 480);

  // A new track; returns its index. Track 0 exists from the start.
  int AddTrack();
  void Tempo(int track, uint64_t tick, double bpm);
  void TimeSignature(int track, uint64_t tick, int numerator, int denominator);
  void Message(int track, uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2 = 0);
  // Note-on at tick, note-off (status 0x80) after length ticks.
  void Note(int track, uint64_t tick, int channel, int key, int velocity, uint64_t length);

  // Format 0 requires a single track. Running status is used within a track.
  std::vector<uint8_t> Bytes(int format = 1) const;
  bool Save(const std::string& path, int format = 1) const;

private:
  struct Item
  {
    uint64_t tick;
    size_t order;
    std::vector<uint8_t> bytes; // status and data, or FF type length data
  };
  int mTicksPerQuarter;
  std::vector<std::vector<Item>> mTracks;
  size_t mOrder = 0;
};
} // namespace khost
