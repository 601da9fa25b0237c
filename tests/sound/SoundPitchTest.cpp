// Pitch, interpolation, loop, reverse, pan and volume, envelopes and a change of the host's sample rate,
// heard through the built module. At a host rate of 1000 Hz an Attack of 0.01 s rises by 0.1 per frame
// and a Release of 0.02 s falls by 0.05.

#include "sound/SoundFixture.h"

#include <algorithm>

using namespace soundtest;

using SoundPitch = SoundTest;

TEST_F(SoundPitch, RootMultiplierAndKeySetTheReadSpeed)
{
  const std::string ramp = WriteWav("ramp.wav", {Ramp(64)}, 44100);
  struct Case
  {
    int key, root;
    double semitones, step;
  };
  const Case cases[] = {
      {72, 60, 1.0, 2.0}, {72, 60, 0.5, std::sqrt(2.0)}, {48, 60, 2.0, 0.25}, {60, 60, 4.0, 1.0}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.semitones);
    mSlots[0] = SlotSetup{};
    mSlots[0].active = 1;
    mSlots[0].root = c.root;
    mSlots[0].semitones = c.semitones;
    mSlots[0].path = ramp;
    Start();
    const double step = PitchStep(c.key, c.root, c.semitones, 1.0);
    EXPECT_NEAR(step, c.step, 1e-15);
    NoteOn(c.key);
    Render(20);
    double pos = 0.0;
    for (int i = 0; i < 20; ++i)
    {
      ASSERT_EQ(mL[i], RampAt(pos, 64)) << i;
      ASSERT_EQ(mR[i], mL[i]) << i; // a mono sample feeds both sides
      pos += step;
    }
    NoteOff(c.key);
    Render(2);
    EXPECT_EQ(mL[1], 0.0);
  }
}

TEST_F(SoundPitch, FileRateAgainstHostRateScalesTheStepAndTheLastFrameInterpolatesTowardTheFirst)
{
  // 57330 / 44100 = 1.3: positions 0, 1.3, ..., 9.1 (between the last frame and the first), then the
  // voice ends at 10.4 because Loop is off.
  mSlots[0].active = 1;
  mSlots[0].path = WriteWav("fast.wav", {Ramp(10)}, 57330);
  Start();
  NoteOn(60);
  Render(12);
  const double step = 57330.0 / 44100.0;
  double pos = 0.0;
  int i = 0;
  for (; pos < 10.0; ++i, pos += step)
    ASSERT_EQ(mL[i], RampAt(pos, 10)) << i;
  EXPECT_EQ(i, 8);
  EXPECT_GT(mL[7], 1.0);
  EXPECT_LT(mL[7], 10.0); // frame 9 (value 10) mixed with frame 0 (value 1)
  for (; i < 12; ++i)
    EXPECT_EQ(mL[i], 0.0) << i;
}

TEST_F(SoundPitch, LoopCarriesTheRemainderPastTheEnd)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("loop.wav", {Ramp(10)}, 66150); // ratio 1.5
  Start();
  NoteOn(60);
  Render(40);
  double pos = 0.0;
  for (int i = 0; i < 40; ++i)
  {
    ASSERT_EQ(mL[i], RampAt(pos, 10)) << i;
    pos += 1.5;
    if (pos >= 10.0) pos -= 10.0;
  }
  EXPECT_EQ(mL[7], RampAt(0.5, 10)); // 9.0 + 1.5 - 10
}

TEST_F(SoundPitch, ReverseOnAtLoadPlaysEachChannelBackwards)
{
  mSlots[0].active = 1;
  mSlots[0].reverse = 1;
  mSlots[0].path = WriteWav("st.wav", {Ramp(8), Ramp(8, 100.0)}, 44100);
  Start();
  NoteOn(60);
  Render(10);
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(mL[i], 8.0 - i) << i;
    EXPECT_EQ(mR[i], 108.0 - i) << i;
  }
  EXPECT_EQ(mL[8], 0.0);
}

TEST_F(SoundPitch, StereoChannelsStayApartAndPanOnlyScalesThem)
{
  const std::string stereo = WriteWav("st.wav", {Ramp(32), Ramp(32, 100.0)}, 44100);
  for (int pan : {0, 50, -100})
  {
    SCOPED_TRACE(pan);
    mSlots[0] = SlotSetup{};
    mSlots[0].active = 1;
    mSlots[0].pan = pan;
    mSlots[0].path = stereo;
    Start();
    NoteOn(60);
    Render(4);
    const double left = pan == 0 ? 1.0 : pan == 50 ? 0.5 : 1.5;
    const double right = pan == 0 ? 1.0 : pan == 50 ? 1.25 : 0.0;
    for (int i = 0; i < 4; ++i)
    {
      EXPECT_NEAR(mL[i], left * (i + 1), 1e-6 * (i + 1));
      EXPECT_NEAR(mR[i], right * (i + 101), 1e-6 * (i + 101));
    }
    NoteOff(60);
    Render(2);
  }
}

TEST_F(SoundPitch, AlternatePanMirrorsEverySecondNote)
{
  mSlots[0].active = 1;
  mSlots[0].pan = -80;
  mSlots[0].alternatePan = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(16, 1.0)}, 44100);
  Start();
  const double expected[3][2] = {{1.4, 0.2}, {0.2, 1.4}, {1.4, 0.2}};
  for (const auto& e : expected)
  {
    NoteOn(60);
    Render(1);
    EXPECT_NEAR(mL[0], e[0], 1e-6);
    EXPECT_NEAR(mR[0], e[1], 1e-6);
    NoteOff(60);
    Render(2);
    EXPECT_EQ(mL[1], 0.0);
  }
}

TEST_F(SoundPitch, VolumeInDecibelsAndVelocityScaleTheVoice)
{
  mSlots[0].active = 1;
  mSlots[0].volume = -6;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(16, 1.0)}, 44100);
  Start();
  NoteOn(60, 64);
  Render(1);
  const float q = static_cast<float>(127 - 64) * 0.007874016f;
  const double gain = static_cast<double>((1.0f - q * q) * static_cast<float>(std::pow(10.0, -6.0 / 20.0)));
  EXPECT_NEAR(mL[0], gain, 1e-7);
  EXPECT_NEAR(mL[0], 0.754 * 0.501, 2e-3);
  EXPECT_EQ(mR[0], mL[0]);
}

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
