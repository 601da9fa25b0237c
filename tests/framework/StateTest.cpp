#include "framework/IEffectVST.h"
#include "framework/VSTEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace
{
// Two parameters and one extra text: the smallest state with every part of the layout.
class TwoParamPlug : public IEffectVST
{
public:
  TwoParamPlug()
      : IEffectVST(IEffectInstanceInfo{}, 2, "0-2", 2, "Two", "", "Maker", 0x10100, 1, 2, 0, 0, true, true)
  {
    GetParam(0)->InitDouble("A", 1.5, -10, 10, 0.5);
    GetParam(1)->InitDouble("B", -3, 1, 5, 0.5);
    InitExtraParams(1);
  }
  void OnParamChange(int idx) override { mApplied.push_back(idx); }
  void OnExtraParam(int idx, char* text) override { mExtras.emplace_back(idx, text); }
  std::vector<int> mApplied;
  std::vector<std::pair<int, std::string>> mExtras;
};

ByteChunk Values(std::initializer_list<double> values)
{
  ByteChunk chunk;
  for (double v : values)
    chunk.AppendValue(v);
  return chunk;
}
} // namespace

TEST(State, ReadingClampsAppliesAndDeliversTexts)
{
  TwoParamPlug plug;
  ByteChunk chunk = Values({2.0, 99.0});
  chunk.AppendStr("/samples/a.wav");
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 16);
  EXPECT_EQ(plug.GetParam(0)->Value(), 2.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 5.0);
  EXPECT_EQ(plug.mApplied, (std::vector<int>{0, 1}));
  ASSERT_EQ(plug.mExtras.size(), 1u);
  EXPECT_EQ(plug.mExtras[0].second, "/samples/a.wav");
}

TEST(State, ChunkEndingAfterTheFirstValueZeroesTheSecondIntoRangeAndFails)
{
  TwoParamPlug plug;
  plug.GetParam(1)->Set(4.0);
  ByteChunk chunk = Values({-2.0});
  chunk.AppendValue(int16_t{7}); // a torn second value
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), -2.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0); // 0 clamped into 1..5
  EXPECT_EQ(plug.mApplied, (std::vector<int>{0, 1}));
  EXPECT_TRUE(plug.mExtras.empty());
}

TEST(State, ValueOnlyChunkReadsAsSuccessAndBadStartsFail)
{
  TwoParamPlug plug;
  ByteChunk chunk = Values({std::nan(""), 2.0});
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 16);
  EXPECT_EQ(plug.GetParam(0)->Value(), -10.0); // not a number becomes the minimum
  EXPECT_EQ(plug.UnserializeParams(&chunk, -1), -1);
  EXPECT_EQ(plug.UnserializeParams(nullptr, 0), -1);
}

namespace
{
VstIntPtr NoHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
  return 0;
}
IEffectVST* MakeThrowing(IEffectInstanceInfo)
{
  throw std::runtime_error("no memory");
}
IEffectVST* MakeNothing(IEffectInstanceInfo)
{
  return nullptr;
}
IEffectVST* MakeTwo(IEffectInstanceInfo)
{
  return new TwoParamPlug;
}
} // namespace

TEST(VstEntry, FailedConstructionAnswersNullAndNoExceptionLeaves)
{
  EXPECT_EQ(VSTCreateInstance(NoHost, MakeThrowing), nullptr);
  EXPECT_EQ(VSTCreateInstance(NoHost, MakeNothing), nullptr);
  EXPECT_EQ(VSTCreateInstance(nullptr, MakeTwo), nullptr);
  AEffect* fx = VSTCreateInstance(NoHost, MakeTwo);
  ASSERT_NE(fx, nullptr);
  fx->dispatcher(fx, effClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(VSTCreateInstance(NoHost, nullptr), nullptr);
}
