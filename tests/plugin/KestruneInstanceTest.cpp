// The sampler instance in-process: how parameter values reach the engine (integer quantisation,
// rounding, bounds), Reset and the first render following the host's rate, and the factory presets.

#include "plugin/KestruneFixture.h"

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

using namespace plugintest;

using KestruneParams = KestruneTest;

TEST_F(KestruneParams, ValuesAreAppliedAsIntegersRoundedHalfAwayFromZero)
{
  OpenAt(44100.0);
  struct Case
  {
    int idx;
    double value;
    int applied;
  };
  const Case cases[] = {
      {2 * 12 + 4, 0.14, 1},    // semitones in tenths
      {2 * 12 + 4, 0.15, 2},    //
      {2 * 12 + 4, 47.96, 480}, //
      {9, -2.5, -3},            // halves away from zero on both sides
      {9, 2.5, 3},              //
      {7, -0.5, -1},            //
      {7, 0.49, 0},             //
      {6, 0.005, 1},            // half a hundredth of a second
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.idx << " " << c.value);
    Apply(c.idx, c.value);
    EXPECT_EQ(mPlug->AppliedInt(c.idx), c.applied);
  }
  EXPECT_EQ(E().mSemitoneMul[2], 480.0f * 0.1f);
}

using KestruneReset = KestruneTest;

TEST_F(KestruneReset, FirstRenderDropsNotesReceivedBeforeIt)
{
  OpenAt(44100.0);
  LoadSample(0, std::vector<double>(100000, 0.5), 1, 44100.0);
  Apply(5, 0.0); // attack 0: full level on the first frame
  NoteOn(60);
  EXPECT_EQ(E().mVoiceCount, 1);
  Render(64);
  EXPECT_TRUE(Silent());
  EXPECT_EQ(E().mVoiceCount, 0);
  NoteOn(60);
  Render(64);
  EXPECT_FALSE(Silent());
  EXPECT_DOUBLE_EQ(mLeft[0], 0.5); // full level, pan centre, velocity 127
}

namespace
{
// Per preset: its name, then one row per slot of the twelve kinds (Active, Low, High, Root, Semitones,
// Attack, Release, Pan, Alternate Pan, Volume, Reverse, Loop), rows separated by '|'.
const char* const kExpected[8][2] = {
    {"Pluck", "1 12 47 41 1 0.01 0.5 -80 1 -3 0 1 | 1 48 59 53 1 0.01 0.5 80 1 -3 0 1 | 1 60 71 65 1 0.01 "
              "0.5 -90 1 -3 0 1 | 1 72 83 77 1 0.01 0.5 90 1 -3 0 1 | 1 84 127 89 1 0.01 0.5 -90 1 -3 0 1"},
    {"Lead", "1 12 47 41 1 0.8 1.5 -80 1 -3 0 1 | 1 48 59 53 1 0.8 1.5 80 1 -3 0 1 | 1 60 71 65 1 0.8 1.5 "
             "-90 1 -3 0 1 | 1 72 83 77 1 0.8 1.5 90 1 -3 0 1 | 1 84 127 89 1 0.8 1.5 -90 1 -3 0 1"},
    {"Pad", "1 12 59 36 1 3 4 -70 1 -3 0 1 | 1 12 59 36 1 3 4 70 1 -3 0 1 | 1 60 127 72 1 3 4 -80 1 -3 0 1 | "
            "1 60 127 72 1 3 4 90 1 -3 0 1 | 1 60 127 72 1 3 4 -90 1 -3 0 1"},
    {"Release Long", "1 12 59 36 1 1 5 -80 1 -3 0 1 | 1 12 59 36 1 1 5 80 1 -3 0 1 | 1 60 127 72 1 1 5 -90 1 "
                     "-3 0 1 | 1 60 127 72 1 1 5 100 1 -3 0 1 | 1 60 127 72 1 1 5 -100 1 -3 0 1"},
    {"Drum", "1 36 40 36 3 0 0.1 0 0 0 0 0 | 1 41 47 41 3 0 0.1 -60 1 0 0 0 | 1 48 52 48 3 0 0.1 70 1 0 0 0 "
             "| 1 53 59 53 3 0 0.1 -80 1 0 0 0 | 1 60 64 60 3 0 0.1 90 1 0 0 0"},
    {"Drum Next Octaves", "1 65 71 65 3 0 0.1 -60 1 0 0 0 | 1 72 76 72 3 0 0.1 70 1 0 0 0 | 1 77 83 77 3 0 "
                          "0.1 -80 1 0 0 0 | 1 84 88 84 3 0 0.1 80 1 0 0 0 | 1 89 95 89 3 0 0.1 -90 1 0 0 0"},
    {"Double Octaves",
     "1 36 127 41 2 0.8 1.5 0 0 0 0 1 | 1 36 127 41 2 0.8 1.5 0 0 0 0 1 | 1 36 127 41 2 0.8 1.5 0 0 0 0 1 | "
     "1 36 127 41 2 0.8 1.5 0 0 0 0 1 | 1 36 127 41 2 0.8 1.5 0 0 0 0 1"},
    {"Half Octaves",
     "1 12 127 41 0.5 0.8 1.5 0 0 0 0 1 | 1 12 127 41 0.5 0.8 1.5 0 0 0 0 1 | 1 13 127 41 0.5 0.8 1.5 0 0 0 "
     "0 1 | 1 13 127 41 0.5 0.8 1.5 0 0 0 0 1 | 1 12 127 41 0.5 0.8 1.5 0 0 0 0 1"},
};

} // namespace

using FactoryPresets = KestruneTest;

TEST_F(FactoryPresets, EveryFactoryPresetRestoresItsSixtyValues)
{
  OpenAt(44100.0);
  for (int p = 0; p < 8; ++p)
  {
    ASSERT_TRUE(mPlug->RestorePreset(p + 1)) << kExpected[p][0];
    EXPECT_STREQ(mPlug->GetPresetName(p + 1), kExpected[p][0]);
    std::istringstream rows(kExpected[p][1]);
    for (int i = 0; i < 60; ++i)
    {
      double value = -999.0;
      rows >> value;
      if (i % 12 == 11 && i < 59) rows.ignore(3, '|');
      EXPECT_DOUBLE_EQ(mPlug->GetParam(i)->Value(), value) << kExpected[p][0] << " " << i;
    }
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
