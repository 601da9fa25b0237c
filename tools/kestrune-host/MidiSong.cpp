#include "tools/kestrune-host/MidiSong.h"

#include <cmath>

namespace khost
{

double MidiSong::LengthSeconds() const
{
  return mEvents.empty() ? 0.0 : mEvents.back().seconds;
}

const TempoPoint* MidiSong::PointAt(double seconds) const
{
  const TempoPoint* found = nullptr;
  for (const TempoPoint& p : mTempo)
  {
    if (p.seconds > seconds) break;
    found = &p;
  }
  return found;
}

double MidiSong::TempoAt(double seconds) const
{
  const TempoPoint* p = PointAt(seconds);
  return p ? p->bpm : 120.0;
}

double MidiSong::BeatsAt(double seconds) const
{
  const TempoPoint* p = PointAt(seconds);
  if (!p) return seconds * 2.0; // 120 beats per minute
  return p->beats + (seconds - p->seconds) * p->bpm / 60.0;
}

int64_t MidiSong::FrameOf(double seconds, double sampleRate)
{
  return static_cast<int64_t>(std::llround(seconds * sampleRate));
}
} // namespace khost
