// Output values too small for a normal float leave the plug-in as 0 on every process path.

#include "framework/IEffectVST.h"
#include "framework/VSTEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
constexpr double kFloatMin = std::numeric_limits<float>::min();

// Writes a fixed pattern of tiny, borderline and ordinary values into both outputs.
class PatternPlug : public IEffectVST
{
public:
  static constexpr double kPattern[] = {
      1e-39, -1e-40, 5e-324, kFloatMin * 0.999, kFloatMin, -kFloatMin * 1.5, 1e-30, 0.5, -0.25, 0.0};
  static constexpr int kLength = sizeof(kPattern) / sizeof(kPattern[0]);

  PatternPlug()
      : IEffectVST(IEffectInstanceInfo{}, 0, "0-2", 0, "Pattern", "", "Maker", 0x10100, 1, 2, 0, 0, false,
                   true)
  {
    mParamsReady = true;
  }
  void ProcessDoubleReplacing(double**, double** outputs, int nFrames) override
  {
    for (int c = 0; c < 2; ++c)
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = kPattern[s % kLength];
  }
};

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  return opcode == audioMasterVersion ? 2400 : 0;
}
IEffectVST* MakePattern(IEffectInstanceInfo)
{
  return new PatternPlug;
}

// What the host should read for pattern value v.
double Expected(double v)
{
  return std::fabs(v) < kFloatMin ? 0.0 : v;
}

class OutputFlush : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mFx = VSTCreateInstance(&Host, &MakePattern);
    ASSERT_NE(mFx, nullptr);
    mFx->dispatcher(mFx, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    mFx->dispatcher(mFx, effSetBlockSize, 0, 64, nullptr, 0.0f);
    mFx->dispatcher(mFx, effOpen, 0, 0, nullptr, 0.0f);
    mFx->dispatcher(mFx, effMainsChanged, 0, 1, nullptr, 0.0f);
  }
  void TearDown() override
  {
    if (mFx) mFx->dispatcher(mFx, effClose, 0, 0, nullptr, 0.0f);
  }
  AEffect* mFx = nullptr;
};

TEST_F(OutputFlush, SubnormalSizedValuesBecomeZeroInFloatAndDoubleOutputs)
{
  std::vector<float> left(PatternPlug::kLength, 7.0f), right(PatternPlug::kLength, 7.0f);
  float* outs[2] = {left.data(), right.data()};
  mFx->processReplacing(mFx, nullptr, outs, PatternPlug::kLength);
  for (int s = 0; s < PatternPlug::kLength; ++s)
  {
    EXPECT_EQ(left[s], static_cast<float>(Expected(PatternPlug::kPattern[s]))) << "value " << s;
    EXPECT_NE(std::fpclassify(right[s]), FP_SUBNORMAL) << "value " << s;
  }

  std::vector<double> leftD(PatternPlug::kLength, 7.0), rightD(PatternPlug::kLength, 7.0);
  double* outsD[2] = {leftD.data(), rightD.data()};
  mFx->processDoubleReplacing(mFx, nullptr, outsD, PatternPlug::kLength);
  for (int s = 0; s < PatternPlug::kLength; ++s)
    EXPECT_EQ(leftD[s], Expected(PatternPlug::kPattern[s])) << "value " << s;

  // The accumulating call adds the flushed values to what the host's buffer held.
  std::fill(left.begin(), left.end(), 1.0f);
  mFx->process(mFx, nullptr, outs, PatternPlug::kLength);
  for (int s = 0; s < PatternPlug::kLength; ++s)
    EXPECT_EQ(left[s], 1.0f + static_cast<float>(Expected(PatternPlug::kPattern[s]))) << "value " << s;
}
} // namespace
