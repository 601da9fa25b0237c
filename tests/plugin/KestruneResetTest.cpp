// Reset and the first render: the engine follows the host's sample rate; notes before the first render
// are dropped.

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

TEST_F(KestruneReset, FirstRenderSetsTheRateForAHostThatNeverAnnouncedOne)
{
  LoadSample(0, std::vector<double>(64, 0.25), 1, 22050.0);
  mPlug->OnParamReset();
  Render(32);
  EXPECT_EQ(E().mEngineSampleRate, 44100.0);
  EXPECT_DOUBLE_EQ(E().mRateRatio[0], 0.5);
  EXPECT_DOUBLE_EQ(E().mAttackStep[0], 100.0 / (80 * 44100.0));
}

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
