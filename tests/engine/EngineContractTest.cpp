// What the engine promises beyond what a module-level sound test can show: voice allocation order, the
// guards for loops, empty slots and rates, reverse of the data in place, and Active switching off.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace enginetest;

namespace
{
// Engine at 100 Hz, slot 0 on keys 12..127 with root 60, attack and release 0 (full level at once),
// full velocity and 0 dB, so a voice's amplitude is exactly 1.
struct EngineContract : ::testing::Test
{
  EngineContract()
  {
    e.ChangeEngineRate(100.0);
    SetUpSlot(e, 0, 12, 127, 60, 0, 0, false);
    e.SetViews(&views);
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
  RecordingViews views;
};
} // namespace

TEST_F(EngineContract, NotesTakeTheLowestFreeVoiceAndTheSameKeyReleasesTheLowerVoiceFirst)
{
  LoadSample(e, 0, std::vector<double>(16, 1.0), 1);
  e.ApplySlotParam(ParamIndex(0, kRelease), 16);
  e.HandleMidi(0x90, 40, 100, 0);
  e.HandleMidi(0x90, 41, 100, 0);
  e.HandleMidi(0x90, 42, 100, 0);
  e.mVoiceSlot[1] = 0; // voice 1 ended
  e.HandleMidi(0x90, 43, 100, 0);
  EXPECT_EQ(e.mVoiceNote[1], 43);
  EXPECT_EQ(e.mVoiceCount, 3);

  e.HandleMidi(0x90, 43, 100, 0); // voice 3
  e.HandleMidi(0x80, 43, 0, 0);
  EXPECT_EQ(e.mVoiceStage[1], kStageRelease);
  EXPECT_EQ(e.mVoiceStage[3], kStageAttack);
  e.HandleMidi(0x80, 43, 0, 0);
  EXPECT_EQ(e.mVoiceStage[3], kStageRelease);
}

TEST_F(EngineContract, LoopStepLongerThanTheSampleStaysInside)
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

TEST_F(EngineContract, EmptySlotsStartNoVoiceAndAVoiceWhoseSlotEmptiedNeverReads)
{
  SetUpSlot(e, 1, 12, 127, 60, 0, 0, false); // active, but no sample
  views.events.clear();
  e.HandleMidi(0x90, 60, 100, 0);
  EXPECT_EQ(e.mVoiceCount, 0);
  EXPECT_TRUE(views.events.empty());

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

TEST_F(EngineContract, ReverseFlipsEachChannelOnceAndSwitchingOffRestoresTheData)
{
  LoadSample(e, 1, Ramp(4, 2), 2);
  const int idx = ParamIndex(1, kReverse);
  const std::vector<double> reversed = {4, 3, 2, 1, -4, -3, -2, -1};
  for (int value : {1, 1, 0}) // the same value twice flips once
  {
    e.ApplySlotParam(idx, value);
    const std::vector<double> expected = value ? reversed : Ramp(4, 2);
    EXPECT_EQ(std::vector<double>(e.mSampleData[1].get(), e.mSampleData[1].get() + 8), expected) << value;
  }
  const std::vector<ViewEvent> changed = {{"changed", 1, 0, false}, {"changed", 1, 0, false}};
  EXPECT_EQ(views.events, changed);
}

TEST(EngineRate, BeforeTheFirstRateStepsAreInfiniteAndLoadedRatiosSettleWhenItArrives)
{
  SamplerEngine e;
  e.ApplySlotParam(ParamIndex(1, kAttack), 80);
  EXPECT_TRUE(std::isinf(e.mAttackStep[1])); // full level at once, not a trap
  // The loader divides by an engine rate of 0: the ratio is infinite until the first rate arrives.
  LoadSample(e, 2, Ramp(10, 2), 2, 22050.0);
  ASSERT_TRUE(std::isinf(e.mRateRatio[2]));
  e.ChangeEngineRate(44100.0);
  EXPECT_EQ(e.mRateRatio[2], 0.5);
  // A ratio without a known file rate is rescaled; an infinite one ends usable (zero), never NaN.
  e.mRateRatio[1] = 2.0;
  e.mRateRatio[3] = std::numeric_limits<double>::infinity();
  e.ChangeEngineRate(48000.0);
  EXPECT_EQ(e.mRateRatio[1], 2.0 * (44100.0 / 48000.0));
  EXPECT_EQ(e.mRateRatio[2], 22050.0 / 48000.0);
  EXPECT_EQ(e.mRateRatio[3], 0.0);
  e.ApplySlotParam(ParamIndex(1, kAttack), 80);
  EXPECT_EQ(e.mAttackStep[1], 100.0 / (80 * 48000.0));
}

TEST(EngineRate, RateThatIsNotAPositiveNumberIsIgnored)
{
  SamplerEngine e;
  e.ChangeEngineRate(48000.0);
  LoadSample(e, 0, Ramp(10, 1), 1, 44100.0);
  const double ratio = e.mRateRatio[0];
  for (double rate :
       {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
  {
    e.ChangeEngineRate(rate);
  }
  EXPECT_EQ(e.mEngineSampleRate, 48000.0);
  EXPECT_EQ(e.mRateRatio[0], ratio);
}
