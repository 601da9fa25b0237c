// Envelopes and a change of the host's sample rate, heard through the built module. At a host rate of
// 1000 Hz an Attack of 0.01 s rises by 0.1 per frame and a Release of 0.02 s falls by 0.05.

#include "sound/SoundFixture.h"

#include <algorithm>

using namespace soundtest;

using SoundEnvelope = SoundTest;

TEST_F(SoundEnvelope, AttackRisesLinearlyAndReleaseFallsFromTheLevelReached)
{
  mSlots[0].active = 1;
  mSlots[0].attack = 0.01;
  mSlots[0].release = 0.02;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(50, 1.0)}, 1000);
  Start(1000.0f, 64);

  NoteOn(60);
  Render(4);
  const double attackStep = 100.0 / (1 * 1000.0);
  const double releaseStep = 100.0 / (2 * 1000.0);
  double level = 0.0;
  for (int i = 0; i < 4; ++i)
  {
    level += attackStep;
    EXPECT_EQ(mL[i], level) << i;
  }
  // Released at four tenths of the attack: the release falls from 0.4, not from 1.
  NoteOff(60);
  Render(12);
  int i = 0;
  for (; i < 12; ++i)
  {
    level -= releaseStep;
    if (!(level > 0.0)) break;
    EXPECT_EQ(mL[i], level) << i;
  }
  // 0.4 / 0.05 = 8 steps; the sums of 0.1 and 0.05 in binary may leave a level of a few ulps for one
  // more frame, never more.
  EXPECT_GE(i, 7);
  EXPECT_LE(i, 8);
  for (; i < 12; ++i)
    EXPECT_EQ(mL[i], 0.0) << i;
}

TEST_F(SoundEnvelope, AttackZeroStartsAtFullLevelAndReleaseZeroEndsOnTheNextFrame)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(50, 0.5)}, 1000);
  Start(1000.0f, 64);
  NoteOn(60);
  Render(3);
  EXPECT_EQ(mL[0], 0.5);
  EXPECT_EQ(mL[2], 0.5);
  NoteOff(60);
  Render(3);
  EXPECT_TRUE(Silent());
}

TEST_F(SoundEnvelope, NoteOnAndItsNoteOffInOneBlockAreNotHeard)
{
  mSlots[0].active = 1;
  mSlots[0].attack = 0.01;
  mSlots[0].release = 0.5;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(50, 1.0)}, 1000);
  Start(1000.0f, 64);
  Midi({{0, {0x90, 60, 100}}, {10, {0x80, 60, 0}}});
  Render(20);
  EXPECT_TRUE(Silent());
}

TEST_F(SoundEnvelope, NoteOnWithVelocityZeroReleasesLikeANoteOff)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(50, 1.0)}, 1000);
  Start(1000.0f, 64);
  NoteOn(60);
  Render(2);
  EXPECT_EQ(mL[1], 1.0);
  NoteOn(60, 0);
  Render(2);
  EXPECT_TRUE(Silent());
}

TEST_F(SoundEnvelope, NewHostRateKeepsPitchAndEnvelopeTimes)
{
  mSlots[0].active = 1;
  mSlots[0].attack = 0.01;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("ramp.wav", {Ramp(100)}, 1000);
  Start(1000.0f, 64);
  NoteOn(60);
  Render(5);
  double level = 0.0, pos = 0.0;
  for (int i = 0; i < 5; ++i)
  {
    level += 100.0 / (1 * 1000.0);
    EXPECT_EQ(mL[i], RampAt(pos, 100) * level) << i;
    pos += 1.0;
  }
  // Twice the rate: half a frame of the file per output frame, half the attack rise per frame.
  mPlug->Dispatch(effSetSampleRate, 0, 0, nullptr, 2000.0f);
  Render(12);
  for (int i = 0; i < 12; ++i)
  {
    level = std::min(1.0, level + 100.0 / (1 * 2000.0));
    EXPECT_EQ(mL[i], RampAt(pos, 100) * level) << i;
    pos += 0.5;
  }
}
