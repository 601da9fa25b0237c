#pragma once
// Synthesises the default kit's five instrument samples. Each is deterministic (fixed seeds), short,
// and tuned to a known pitch so the SFZ file can give its root note.

#include <vector>

namespace khost
{

// Planar audio: one vector per channel.
struct KitSound
{
  std::vector<std::vector<float>> channels;
  int sampleRate = 44100;
  double pitchHz = 0.0;
};

class KitSynth
{
public:
  static KitSound PluckedString(); // mono, 44100 Hz, A3
  static KitSound Pad();           // stereo, 48000 Hz, C4, loops
  static KitSound Bass();          // mono, 48000 Hz, C2
  static KitSound Bell();          // stereo, 44100 Hz, C5
  static KitSound Drum();          // mono, 22050 Hz, a tom

  // Scales every channel so the largest magnitude is peak.
  static void Normalise(KitSound* sound, float peak);
};
} // namespace khost
