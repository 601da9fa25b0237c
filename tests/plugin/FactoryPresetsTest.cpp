// The default preset and the eight factory presets.

#include "plugin/KestruneFixture.h"

#include <cmath>
#include <cstring>
#include <string>

using namespace plugintest;

namespace
{
struct ExpectedPreset
{
  const char* name;
  double values[60]; // one row per slot, kinds 0..11
};

// Kinds: Active, Low, High, Root, Semitones, Attack, Release, Pan, Alternate Pan, Volume, Reverse, Loop.
const ExpectedPreset kExpected[8] = {
    {"Pluck", {1, 12, 47,  41, 1, 0.01, 0.5, -80, 1, -3, 0, 1, //
               1, 48, 59,  53, 1, 0.01, 0.5, 80,  1, -3, 0, 1, //
               1, 60, 71,  65, 1, 0.01, 0.5, -90, 1, -3, 0, 1, //
               1, 72, 83,  77, 1, 0.01, 0.5, 90,  1, -3, 0, 1, //
               1, 84, 127, 89, 1, 0.01, 0.5, -90, 1, -3, 0, 1}},
    {"Lead", {1, 12, 47,  41, 1, 0.8, 1.5, -80, 1, -3, 0, 1, //
              1, 48, 59,  53, 1, 0.8, 1.5, 80,  1, -3, 0, 1, //
              1, 60, 71,  65, 1, 0.8, 1.5, -90, 1, -3, 0, 1, //
              1, 72, 83,  77, 1, 0.8, 1.5, 90,  1, -3, 0, 1, //
              1, 84, 127, 89, 1, 0.8, 1.5, -90, 1, -3, 0, 1}},
    {"Pad", {1, 12, 59,  36, 1, 3, 4, -70, 1, -3, 0, 1, //
             1, 12, 59,  36, 1, 3, 4, 70,  1, -3, 0, 1, //
             1, 60, 127, 72, 1, 3, 4, -80, 1, -3, 0, 1, //
             1, 60, 127, 72, 1, 3, 4, 90,  1, -3, 0, 1, //
             1, 60, 127, 72, 1, 3, 4, -90, 1, -3, 0, 1}},
    {"Release Long", {1, 12, 59,  36, 1, 1, 5, -80,  1, -3, 0, 1, //
                      1, 12, 59,  36, 1, 1, 5, 80,   1, -3, 0, 1, //
                      1, 60, 127, 72, 1, 1, 5, -90,  1, -3, 0, 1, //
                      1, 60, 127, 72, 1, 1, 5, 100,  1, -3, 0, 1, //
                      1, 60, 127, 72, 1, 1, 5, -100, 1, -3, 0, 1}},
    {"Drum", {1, 36, 40, 36, 3, 0, 0.1, 0,   0, 0, 0, 0, //
              1, 41, 47, 41, 3, 0, 0.1, -60, 1, 0, 0, 0, //
              1, 48, 52, 48, 3, 0, 0.1, 70,  1, 0, 0, 0, //
              1, 53, 59, 53, 3, 0, 0.1, -80, 1, 0, 0, 0, //
              1, 60, 64, 60, 3, 0, 0.1, 90,  1, 0, 0, 0}},
    {"Drum Next Octaves", {1, 65, 71, 65, 3, 0, 0.1, -60, 1, 0, 0, 0, //
                           1, 72, 76, 72, 3, 0, 0.1, 70,  1, 0, 0, 0, //
                           1, 77, 83, 77, 3, 0, 0.1, -80, 1, 0, 0, 0, //
                           1, 84, 88, 84, 3, 0, 0.1, 80,  1, 0, 0, 0, //
                           1, 89, 95, 89, 3, 0, 0.1, -90, 1, 0, 0, 0}},
    {"Double Octaves", {1, 36, 127, 41, 2, 0.8, 1.5, 0, 0, 0, 0, 1, //
                        1, 36, 127, 41, 2, 0.8, 1.5, 0, 0, 0, 0, 1, //
                        1, 36, 127, 41, 2, 0.8, 1.5, 0, 0, 0, 0, 1, //
                        1, 36, 127, 41, 2, 0.8, 1.5, 0, 0, 0, 0, 1, //
                        1, 36, 127, 41, 2, 0.8, 1.5, 0, 0, 0, 0, 1}},
    {"Half Octaves", {1, 12, 127, 41, 0.5, 0.8, 1.5, 0, 0, 0, 0, 1, //
                      1, 12, 127, 41, 0.5, 0.8, 1.5, 0, 0, 0, 0, 1, //
                      1, 13, 127, 41, 0.5, 0.8, 1.5, 0, 0, 0, 0, 1, //
                      1, 13, 127, 41, 0.5, 0.8, 1.5, 0, 0, 0, 0, 1, //
                      1, 12, 127, 41, 0.5, 0.8, 1.5, 0, 0, 0, 0, 1}},
};

} // namespace

using FactoryPresets = KestruneTest;

TEST_F(FactoryPresets, EveryFactoryPresetRestoresItsSixtyValues)
{
  OpenAt(44100.0);
  for (int p = 0; p < 8; ++p)
  {
    ASSERT_TRUE(mPlug->RestorePreset(p + 1)) << kExpected[p].name;
    for (int i = 0; i < 60; ++i)
      EXPECT_DOUBLE_EQ(mPlug->GetParam(i)->Value(), kExpected[p].values[i]) << kExpected[p].name << " " << i;
  }
}

TEST_F(FactoryPresets, ChoosingOneKeepsSamplesPathsAndSoundingNotes)
{
  OpenAt(44100.0);
  LoadSample(0, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}, 1, 44100.0);
  mPlug->SetExtraParam(0, "/samples/pad.wav"); // the saved path, as a load would leave it
  const double* data = E().mSampleData[0].get();
  Render(4);
  NoteOn(53);
  ASSERT_EQ(E().mVoiceCount, 1);

  ASSERT_TRUE(mPlug->RestorePreset(1)); // Pluck: slot 0 keeps 12..47, the note 53 keeps sounding
  EXPECT_EQ(E().mSampleData[0].get(), data);
  EXPECT_EQ(E().mSampleData[0][0], 0.1);
  EXPECT_EQ(E().mSampleFrames[0], 8u);
  EXPECT_STREQ(mPlug->GetExtraParam(0), "/samples/pad.wav");
  EXPECT_EQ(E().mVoiceCount, 1);
  EXPECT_EQ(E().mVoiceSlot[0], 1);
  EXPECT_DOUBLE_EQ(E().mAttackStep[0], 100.0 / (1 * 44100.0)); // the new envelope reaches it
}

TEST_F(FactoryPresets, DrumPlaysThreeSemitonesPerKeyFromTheLowestKeyWithoutLooping)
{
  OpenAt(44100.0);
  LoadSample(0, std::vector<double>(100, 0.5), 1, 44100.0);
  ASSERT_TRUE(mPlug->RestorePreset(5));
  Render(4);
  NoteOn(38);
  ASSERT_EQ(E().mVoiceSlot[0], 1);
  EXPECT_NEAR(E().mVoiceStep[0], std::pow(2.0, 6.0 / 12.0), 1e-6);
  EXPECT_FALSE(E().mLoop[0]);
  EXPECT_DOUBLE_EQ(E().mReleaseStep[0], 100.0 / (10 * 44100.0));
  Render(100); // about 70 frames of sample at that pitch, then the voice ends while the key is held
  EXPECT_EQ(E().mVoiceCount, 0);
}
