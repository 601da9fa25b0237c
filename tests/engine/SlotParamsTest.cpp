// The effect of each slot parameter on the engine state, and the change of the engine's sample rate.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace enginetest;

TEST(SlotParams, PanVolumeAndSemitonesReachTheirSlotOnly)
{
  SamplerEngine e;
  struct Case
  {
    ESlotParam kind;
    int value;
    float a; // pan: left, volume: gain, semitones: multiplier
    float b; // pan: right
  };
  const Case cases[] = {
      {kPan, -100, 1.5f, 0.0f},
      {kPan, 50, 0.5f, 1.25f},
      {kPan, 0, 1.0f, 1.0f},
      {kPan, 100, 0.0f, 1.5f},
      {kVolume, -48, 0.0039811f, 0.0f},
      {kVolume, 24, 15.848932f, 0.0f},
      {kVolume, 0, 1.0f, 0.0f},
      {kSemitonesMultiply, 1, 0.1f, 0.0f},
      {kSemitonesMultiply, 15, 1.5f, 0.0f},
      {kSemitonesMultiply, 480, 48.0f, 0.0f},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.kind << " " << c.value);
    e.ApplySlotParam(ParamIndex(2, c.kind), c.value);
    if (c.kind == kPan)
    {
      EXPECT_EQ(e.mPanLeft[2], c.a);
      EXPECT_EQ(e.mPanRight[2], c.b);
    }
    else if (c.kind == kVolume)
    {
      EXPECT_NEAR(e.mVolumeGain[2], c.a, 2e-7 * (1.0 + c.a));
    }
    else
    {
      EXPECT_EQ(e.mSemitoneMul[2], static_cast<float>(c.value) * 0.1f); // tenths in single precision
    }
  }
  EXPECT_EQ(e.mVolumeGain[2], 1.0f);
  EXPECT_EQ(e.mPanLeft[1], 0.0f); // other slots are untouched
  EXPECT_EQ(e.mPanRight[3], 0.0f);
}

TEST(SlotParams, AttackAndReleaseStepsAreHundredthsOfASecondAtTheEngineRate)
{
  SamplerEngine e;
  // Before any rate is known the step is infinite (full level at once), not a trap.
  e.ApplySlotParam(ParamIndex(1, kAttack), 80);
  EXPECT_TRUE(std::isinf(e.mAttackStep[1]));
  e.ChangeEngineRate(48000.0);
  e.ApplySlotParam(ParamIndex(1, kAttack), 80);
  e.ApplySlotParam(ParamIndex(1, kRelease), 150);
  EXPECT_EQ(e.mAttackStep[1], 100.0 / (80 * 48000.0));
  EXPECT_EQ(e.mReleaseStep[1], 100.0 / (150 * 48000.0));
  e.ApplySlotParam(ParamIndex(1, kRelease), 0);
  EXPECT_TRUE(std::isinf(e.mReleaseStep[1]));
  EXPECT_GT(e.mReleaseStep[1], 0.0);
}

TEST(SlotParams, KeyParametersTellTheKeyboardViewEvenWhenLowIsAboveHigh)
{
  SamplerEngine e;
  RecordingViews views;
  e.SetViews(&views);
  e.ApplySlotParam(ParamIndex(3, kLowNote), 100);
  e.ApplySlotParam(ParamIndex(3, kHighNote), 40);
  e.ApplySlotParam(ParamIndex(3, kRootNote), 12);
  EXPECT_EQ(e.mLowNote[3], 100);
  EXPECT_EQ(e.mHighNote[3], 40);
  EXPECT_EQ(e.mRootNote[3], 12);
  const std::vector<ViewEvent> expected = {
      {"low", 3, 88, false}, {"high", 3, 28, false}, {"root", 3, 0, false}};
  EXPECT_EQ(views.events, expected);
}

TEST(SlotParams, IndexOutsideTheTableChangesNothing)
{
  SamplerEngine e;
  RecordingViews views;
  e.SetViews(&views);
  e.ApplySlotParam(kNumParams, 1);
  e.ApplySlotParam(-1, 1);
  for (int s = 0; s < kNumSlots; ++s)
  {
    EXPECT_FALSE(e.mActive[s]);
  }
  EXPECT_TRUE(views.events.empty());
}

TEST(SlotParams, ReverseFlipsEachChannelOnceAndSwitchingOffRestoresTheData)
{
  SamplerEngine e;
  e.ChangeEngineRate(100.0);
  RecordingViews views;
  e.SetViews(&views);
  LoadSample(e, 1, Ramp(4, 2), 2);
  const int idx = ParamIndex(1, kReverse);

  e.ApplySlotParam(idx, 1);
  const double reversed[8] = {4, 3, 2, 1, -4, -3, -2, -1};
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(e.mSampleData[1][i], reversed[i]) << i;
  }
  EXPECT_TRUE(e.mReverse[1]);

  // The same value again leaves the data as it is.
  e.ApplySlotParam(idx, 1);
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(e.mSampleData[1][i], reversed[i]) << i;
  }

  e.ApplySlotParam(idx, 0);
  const std::vector<double> original = Ramp(4, 2);
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(e.mSampleData[1][i], original[i]) << i;
  }
  EXPECT_FALSE(e.mReverse[1]);
  const std::vector<ViewEvent> expected = {{"changed", 1, 0, false}, {"changed", 1, 0, false}};
  EXPECT_EQ(views.events, expected);
}

TEST(SlotParams, ReverseOfMonoOrEmptySlotTouchesOnlyWhatIsThere)
{
  SamplerEngine e;
  e.ChangeEngineRate(100.0);
  RecordingViews views;
  e.SetViews(&views);
  // Mono: the one channel reverses, the element behind it (none) is never touched.
  LoadSample(e, 0, {1.0, 2.0, 3.0}, 1);
  e.ApplySlotParam(ParamIndex(0, kReverse), 1);
  EXPECT_EQ(e.mSampleData[0][0], 3.0);
  EXPECT_EQ(e.mSampleData[0][1], 2.0);
  EXPECT_EQ(e.mSampleData[0][2], 1.0);
  // Empty slot: only the flag changes.
  e.ApplySlotParam(ParamIndex(2, kReverse), 1);
  EXPECT_TRUE(e.mReverse[2]);
  EXPECT_EQ(e.mSampleData[2][0], 0.0);
  const std::vector<ViewEvent> expected = {{"changed", 0, 0, false}};
  EXPECT_EQ(views.events, expected);
}

TEST(SlotParams, ActiveOffStopsTheSlotsVoicesAtOnceAndOnDoesNotRestartThem)
{
  SamplerEngine e;
  e.ChangeEngineRate(100.0);
  SetUpSlot(e, 0, 12, 127, 60, 0, 500, true);
  SetUpSlot(e, 1, 12, 127, 60, 0, 500, true);
  LoadSample(e, 0, std::vector<double>(8, 1.0), 1);
  LoadSample(e, 1, std::vector<double>(8, 0.5), 1);
  e.HandleMidi(0x90, 60, 127, 0); // voices 0 (slot 0) and 1 (slot 1)
  e.HandleMidi(0x90, 62, 127, 0); // voices 2 (slot 0) and 3 (slot 1)
  ASSERT_EQ(e.mVoiceCount, 4);

  e.ApplySlotParam(ParamIndex(0, kActive), 0);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceSlot[2], 0);
  EXPECT_EQ(e.mVoiceSlot[1], 2);
  EXPECT_EQ(e.mVoiceSlot[3], 2);
  EXPECT_EQ(e.mVoiceCount, 4);

  // No release tail: only slot 1's two voices sound in the next block.
  e.ApplySlotParam(ParamIndex(0, kActive), 1);
  Block b(4);
  e.Mix(b.Out(), 4);
  for (int i = 0; i < 4; ++i)
  {
    EXPECT_EQ(b.left[i], 1.0) << i;
    EXPECT_EQ(b.right[i], 1.0) << i;
  }
}

TEST(EngineRate, NewRateKeepsSoundingPitchAndRescalesRatios)
{
  SamplerEngine e;
  e.ChangeEngineRate(44100.0);
  SetUpSlot(e, 0, 12, 127, 60, 0, 150, true);
  LoadSample(e, 0, Ramp(1000, 1), 1, 44100.0);
  e.mSampleFileRate[1] = 0.0;
  e.mRateRatio[1] = 2.0; // a ratio without a known file rate is rescaled
  e.HandleMidi(0x90, 72, 100, 0);
  ASSERT_EQ(e.mVoiceStep[0], 2.0);

  e.ChangeEngineRate(48000.0);
  EXPECT_EQ(e.mEngineSampleRate, 48000.0);
  EXPECT_EQ(e.mVoiceStep[0], 2.0 * (44100.0 / 48000.0));
  EXPECT_EQ(e.mRateRatio[0], 44100.0 / 48000.0);
  EXPECT_EQ(e.mRateRatio[1], 2.0 * (44100.0 / 48000.0));
  // The step in frames per second is unchanged.
  EXPECT_NEAR(e.mVoiceStep[0] * 48000.0, 2.0 * 44100.0, 1e-9);
}

TEST(EngineRate, SampleLoadedBeforeTheFirstRateGetsFileRateOverEngineRate)
{
  SamplerEngine e;
  // The loader divides by an engine rate of 0: the ratio is infinite until the first rate arrives.
  LoadSample(e, 2, Ramp(10, 2), 2, 22050.0);
  ASSERT_TRUE(std::isinf(e.mRateRatio[2]));
  e.ChangeEngineRate(44100.0);
  EXPECT_EQ(e.mRateRatio[2], 0.5);
  // A slot without a known file rate ends with a usable (zero) ratio, never NaN.
  e.mRateRatio[3] = std::numeric_limits<double>::infinity();
  e.mEngineSampleRate = 0.0;
  e.ChangeEngineRate(48000.0);
  EXPECT_EQ(e.mRateRatio[3], 0.0);
  EXPECT_EQ(e.mRateRatio[2], 22050.0 / 48000.0);
}

TEST(EngineRate, RateThatIsNotAPositiveNumberIsIgnored)
{
  SamplerEngine e;
  e.ChangeEngineRate(48000.0);
  LoadSample(e, 0, Ramp(10, 1), 1, 44100.0);
  const double ratio = e.mRateRatio[0];
  e.ChangeEngineRate(0.0);
  e.ChangeEngineRate(-44100.0);
  e.ChangeEngineRate(std::numeric_limits<double>::quiet_NaN());
  e.ChangeEngineRate(std::numeric_limits<double>::infinity());
  EXPECT_EQ(e.mEngineSampleRate, 48000.0);
  EXPECT_EQ(e.mRateRatio[0], ratio);
}
