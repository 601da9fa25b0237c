#include "tools/kestrune-host/DemoSong.h"

namespace khost
{

namespace
{
constexpr int kTicksPerQuarter = 480;
constexpr uint64_t kBar = 4 * kTicksPerQuarter;
constexpr uint64_t kEighth = kTicksPerQuarter / 2;
constexpr uint64_t kSixteenth = kTicksPerQuarter / 4;
constexpr int kBars = 12;

// The chords Am F C G, as sounding pitches.
constexpr int kChordPitches[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
constexpr int kBassPitches[4] = {33, 29, 36, 31};

// Each slot's key is its sounding pitch plus the offset its root note sets in the kit.
constexpr int kPadKeyOffset = 24;  // pad root key 84 sounds C4 (60)
constexpr int kBellKeyOffset = 36; // bell root key 108 sounds C5 (72)
constexpr int kDrumLow = 41, kDrumMid = 44, kDrumHigh = 47;
} // namespace

SmfWriter DemoSong::Build()
{
  SmfWriter song(kTicksPerQuarter);
  song.Tempo(0, 0, 112.0);
  song.TimeSignature(0, 0, 4, 4);
  song.Tempo(0, 8 * kBar, 124.0);
  const int pad = song.AddTrack(), bass = song.AddTrack(), drum = song.AddTrack(), pluck = song.AddTrack(),
            bell = song.AddTrack();

  for (int bar = 0; bar < kBars; ++bar)
  {
    const uint64_t start = bar * kBar;
    const int chord = bar % 4;
    // Pad: the chord held for the bar.
    for (int p : kChordPitches[chord])
      song.Note(pad, start, 0, p + kPadKeyOffset, 70, kBar - kSixteenth);
    // Bass: eighth notes on the root, an octave down on the last one.
    for (int e = 0; e < 8; ++e)
      song.Note(bass, start + e * kEighth, 1, kBassPitches[chord] - (e == 7 ? 12 : 0), e % 2 ? 80 : 105,
                kEighth - 30);
    // Drum: low on one and three, high on two and four, mid fills in every fourth bar.
    for (int beat = 0; beat < 4; ++beat)
      song.Note(drum, start + beat * kTicksPerQuarter, 9, beat % 2 ? kDrumHigh : kDrumLow,
                beat % 2 ? 90 : 115, kEighth);
    if (bar % 4 == 3)
      for (int s = 12; s < 16; ++s)
        song.Note(drum, start + s * kSixteenth, 9, kDrumMid, 60 + 10 * (s - 12), kSixteenth);
    // Plucked string from bar 5: sixteenth arpeggios over the chord, up an octave on the way back.
    if (bar >= 4)
    {
      static const int kPattern[8] = {0, 1, 2, 3, 4, 3, 2, 1};
      for (int s = 0; s < 16; ++s)
      {
        const int step = kPattern[s % 8];
        const int pitch = kChordPitches[chord][step % 3] + 12 * (step / 3);
        song.Note(pluck, start + s * kSixteenth, 2, pitch, s % 4 == 0 ? 100 : 70, kSixteenth);
      }
    }
  }
  // Bell: a melody over the last four bars.
  static const struct
  {
    int beat;
    int pitch;
    int beats;
  } kMelody[] = {{0, 76, 2}, {2, 74, 1},  {3, 72, 1},  {4, 77, 2},  {6, 76, 1}, {7, 72, 1},
                 {8, 79, 3}, {11, 76, 1}, {12, 74, 2}, {14, 71, 1}, {15, 74, 1}};
  for (const auto& m : kMelody)
    song.Note(bell, 8 * kBar + m.beat * kTicksPerQuarter, 3, m.pitch + kBellKeyOffset, 96,
              m.beats * kTicksPerQuarter - kSixteenth);
  // The ending: the tonic on every slot.
  const uint64_t end = kBars * kBar;
  for (int p : kChordPitches[0])
    song.Note(pad, end, 0, p + kPadKeyOffset, 80, 2 * kBar);
  song.Note(bass, end, 1, 33, 110, kBar);
  song.Note(drum, end, 9, kDrumLow, 120, kEighth);
  song.Note(pluck, end, 2, 69, 110, kBar);
  song.Note(bell, end, 3, 81 + kBellKeyOffset, 100, kBar);
  return song;
}
} // namespace khost
