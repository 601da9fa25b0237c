// The mixer: sample reads, interpolation, loop, channels, pan, offsets, and reads that must stay inside
// the sample.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace enginetest;

namespace
{
// Engine at 100 Hz, slot 0 on keys 12..127 with root 60, attack and release 0 (full level at once),
// full velocity and 0 dB, so a voice's amplitude is exactly 1.
struct MixFixture : ::testing::Test
{
  MixFixture()
  {
    e.ChangeEngineRate(100.0);
    SetUpSlot(e, 0, 12, 127, 60, 0, 0, false);
  }
  // Starts a voice on key 60 and sets its step directly.
  int Start(double step, int offset = 0)
  {
    e.HandleMidi(0x90, 60, 127, offset);
    const int v = e.mVoiceCount - 1;
    e.mVoiceStep[v] = step;
    return v;
  }
  SamplerEngine e;
};
} // namespace

TEST_F(MixFixture, NoFramesMixesNothingButStillClearsOffsets)
{
  LoadSample(e, 0, Ramp(4, 1), 1);
  Start(1.0, 30);
  Block b(4);
  e.Mix(b.Out(), 0);
  e.Mix(b.Out(), -5);
  EXPECT_EQ(b.left[0], 7.0); // untouched
  EXPECT_EQ(e.mVoiceOffset[0], 0);
  EXPECT_EQ(e.mVoicePos[0], 0.0);
}

TEST_F(MixFixture, PositionOnAFrameReadsThatFrameWithoutInterpolation)
{
  LoadSample(e, 0, Ramp(8, 1), 1);
  Start(1.0);
  Block b(8);
  e.Mix(b.Out(), 8);
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(b.left[i], i + 1.0) << i;
    EXPECT_EQ(b.right[i], i + 1.0) << i;
  }
  // The position reached the frame count with Loop off: the voice ended.
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(MixFixture, LastFrameInterpolatesTowardTheFirstFrameAlsoWithoutLoop)
{
  LoadSample(e, 0, {10.0, 20.0, 30.0, 40.0}, 1);
  Start(0.5);
  Block b(10);
  e.Mix(b.Out(), 10);
  const double expected[10] = {10, 15, 20, 25, 30, 35, 40, 25, 0, 0}; // 3.5 reads halfway from 40 to 10
  for (int i = 0; i < 10; ++i)
  {
    EXPECT_EQ(b.left[i], expected[i]) << i;
  }
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(MixFixture, LoopCarriesTheRemainderPastTheEnd)
{
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  LoadSample(e, 0, Ramp(10, 1), 1);
  const int v = Start(1.5);
  Block b(8);
  e.Mix(b.Out(), 7); // positions 0, 1.5, ..., 9.0
  EXPECT_EQ(b.left[6], 10.0);
  EXPECT_EQ(e.mVoicePos[v], 0.5);
  e.Mix(b.Out(), 1);
  EXPECT_EQ(b.left[0], 1.5);
  EXPECT_EQ(e.mVoiceSlot[v], 1);
}

TEST_F(MixFixture, LoopStepLongerThanTheSampleStaysInside)
{
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  LoadSample(e, 0, {1.0, 2.0, 3.0}, 1);
  const int v = Start(7.25);
  Block b(4);
  e.Mix(b.Out(), 4);
  // Positions 0, 7.25 -> 1.25, 8.5 -> 2.5, 9.75 -> 0.75.
  EXPECT_EQ(b.left[0], 1.0);
  EXPECT_EQ(b.left[1], 2.25);
  EXPECT_EQ(b.left[2], 2.0); // halfway from 3 back to 1
  EXPECT_EQ(b.left[3], 1.75);
  EXPECT_EQ(e.mVoicePos[v], 2.0); // 0.75 + 7.25 = 8, less 3 is 5, still outside: remainder 2
}

TEST_F(MixFixture, HugeOrInfiniteLoopStepsNeverReadOutsideTheSample)
{
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  LoadSample(e, 0, {1.0, 2.0}, 1);
  const double steps[] = {1e300, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN(), -3.5};
  for (double step : steps)
  {
    e.SilenceAllVoices();
    const int v = Start(step);
    Block b(16);
    e.Mix(b.Out(), 16); // out-of-range reads would show under the address sanitizer
    EXPECT_GE(e.mVoicePos[v], 0.0) << step;
    EXPECT_LT(e.mVoicePos[v], 2.0) << step;
    for (int i = 0; i < 16; ++i)
    {
      EXPECT_TRUE(b.left[i] >= 1.0 && b.left[i] <= 2.0) << step << " frame " << i << " " << b.left[i];
    }
  }
}

TEST_F(MixFixture, StepOutsideTheSampleWithoutLoopEndsTheVoice)
{
  LoadSample(e, 0, {1.0, 2.0}, 1);
  Start(-0.5);
  Block b(4);
  e.Mix(b.Out(), 4);
  EXPECT_EQ(b.left[0], 1.0);
  EXPECT_EQ(b.left[1], 0.0);
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(MixFixture, VoiceOnASlotWithoutFramesNeverReads)
{
  LoadSample(e, 0, Ramp(4, 1), 1);
  Start(1.0);
  e.mSampleData[0] = std::make_unique<double[]>(1);
  e.mSampleFrames[0] = 0;
  Block b(4);
  e.Mix(b.Out(), 4);
  EXPECT_EQ(b.left[0], 0.0);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(MixFixture, MonoSampleFeedsBothSidesAndStereoKeepsItsChannelsApart)
{
  LoadSample(e, 0, Ramp(4, 1), 1);
  Start(1.0);
  Block mono(2);
  e.Mix(mono.Out(), 2);
  EXPECT_EQ(mono.left[0], 1.0);
  EXPECT_EQ(mono.right[0], 1.0);
  EXPECT_EQ(mono.left[1], 2.0);
  EXPECT_EQ(mono.right[1], 2.0);

  e.StopSlotVoices(0);
  LoadSample(e, 0, Ramp(4, 2), 2);
  e.ApplySlotParam(ParamIndex(0, kPan), 50); // left 0.5, right 1.25
  Start(1.0);
  Block stereo(2);
  e.Mix(stereo.Out(), 2);
  EXPECT_EQ(stereo.left[0], 0.5 * 1.0);
  EXPECT_EQ(stereo.right[0], 1.25 * -1.0);
  EXPECT_EQ(stereo.left[1], 0.5 * 2.0);
  EXPECT_EQ(stereo.right[1], 1.25 * -2.0);
}

TEST_F(MixFixture, NoteAtOffsetHundredIsSilentBeforeAndStartsItsEnvelopeThere)
{
  e.ApplySlotParam(ParamIndex(0, kAttack), 4); // a quarter per frame
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  LoadSample(e, 0, std::vector<double>(64, 1.0), 1);
  Start(1.0, 100);
  Block b(512);
  e.Mix(b.Out(), 512);
  for (int i = 0; i < 100; ++i)
  {
    ASSERT_EQ(b.left[i], 0.0) << i;
  }
  EXPECT_EQ(b.left[100], 0.25);
  EXPECT_EQ(b.left[101], 0.5);
  EXPECT_EQ(b.left[103], 1.0);
  EXPECT_EQ(b.left[511], 1.0);
  EXPECT_EQ(e.mVoiceOffset[0], 0);
  EXPECT_EQ(e.mVoicePos[0], 412.0 - 6 * 64.0);
}

TEST_F(MixFixture, VoicesAreSummedWithoutLimiting)
{
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  e.ApplySlotParam(ParamIndex(0, kVolume), 24);
  LoadSample(e, 0, std::vector<double>(8, 1.0), 1);
  Start(1.0);
  Start(1.0);
  Block b(2);
  e.Mix(b.Out(), 2);
  const double g = static_cast<double>(e.mVolumeGain[0]);
  EXPECT_EQ(b.left[0], g + g);
  EXPECT_GT(b.left[0], 31.0);
}

TEST_F(MixFixture, ReverseReachesASoundingVoice)
{
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  LoadSample(e, 0, Ramp(4, 1), 1);
  Start(1.0);
  Block b(2);
  e.Mix(b.Out(), 2);
  e.ApplySlotParam(ParamIndex(0, kReverse), 1);
  e.Mix(b.Out(), 2);
  EXPECT_EQ(b.left[0], 2.0); // frame 2 of 4, 3, 2, 1
  EXPECT_EQ(b.left[1], 1.0);
}
