// Reset: the engine follows the host's sample rate.

#include "plugin/KestruneFixture.h"

#include <cmath>

using namespace plugintest;

using KestruneReset = KestruneTest;

TEST_F(KestruneReset, UnchangedRateReappliesNothingAndUnmirrorsTheNextAlternatingNote)
{
  OpenAt(44100.0);
  LoadSample(0, std::vector<double>(1000, 0.5), 1, 44100.0);
  Apply(7, -80);
  Apply(8, 1);
  Render(8);
  NoteOn(60);
  EXPECT_NEAR(E().mVoicePanLeft[0], 1.4f, 1e-6);
  E().mAttackStep[3] = -1.0; // would be overwritten by any re-application
  mPlug->Reset();
  EXPECT_EQ(E().mAttackStep[3], -1.0);
  NoteOn(61);
  EXPECT_NEAR(E().mVoicePanLeft[1], 1.4f, 1e-6);
  NoteOn(62);
  EXPECT_NEAR(E().mVoicePanLeft[2], 0.2f, 1e-6);
}

TEST_F(KestruneReset, NewRateKeepsSoundingPitchAndEnvelopeSeconds)
{
  OpenAt(44100.0);
  LoadSample(0, std::vector<double>(100000, 0.5), 1, 44100.0);
  Render(8);
  NoteOn(53); // root 41, one semitone per key: an octave up
  ASSERT_EQ(E().mVoiceSlot[0], 1);
  EXPECT_DOUBLE_EQ(E().mVoiceStep[0], 2.0);

  mPlug->SetSampleRate(48000.0);
  mPlug->Reset();
  EXPECT_EQ(E().mEngineSampleRate, 48000.0);
  EXPECT_DOUBLE_EQ(E().mVoiceStep[0], 2.0 * 44100.0 / 48000.0);
  for (int s = 0; s < 5; ++s)
  {
    EXPECT_DOUBLE_EQ(E().mAttackStep[s], 100.0 / (80 * 48000.0)) << s;
    EXPECT_DOUBLE_EQ(E().mReleaseStep[s], 100.0 / (150 * 48000.0)) << s;
    EXPECT_EQ(mPlug->AppliedInt(s * 12 + 5), 80);
    EXPECT_EQ(mPlug->AppliedInt(s * 12 + 6), 150);
  }
}

TEST_F(KestruneReset, FirstRenderSetsTheRateForAHostThatNeverAnnouncedOne)
{
  LoadSample(0, std::vector<double>(64, 0.25), 1, 22050.0);
  mPlug->OnParamReset();
  Render(32);
  EXPECT_EQ(E().mEngineSampleRate, 44100.0);
  EXPECT_DOUBLE_EQ(E().mRateRatio[0], 0.5);
  EXPECT_DOUBLE_EQ(E().mAttackStep[0], 100.0 / (80 * 44100.0));
}
