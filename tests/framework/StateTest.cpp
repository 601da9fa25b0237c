#include "TestPlug.h"

#include <cmath>
#include <cstring>

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

TEST(State, LayoutIsDoublesThenLengthPrefixedTexts)
{
  TwoParamPlug plug;
  plug.GetParam(1)->Set(-3.0); // outside its range on purpose: the plain value is written
  plug.GetExtraParam(0)[0] = '\0';
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeParams(&chunk));
  const uint8_t expected[] = {0, 0, 0, 0,    0,    0,    0xF8, 0x3F, 0, 0,   0,
                              0, 0, 0, 0x08, 0xC0, 0x01, 0,    0,    0, 0x30};
  ASSERT_EQ(chunk.Size(), static_cast<int>(sizeof(expected)));
  EXPECT_EQ(0, std::memcmp(chunk.Bytes(), expected, sizeof(expected)));
  EXPECT_STREQ(plug.GetExtraParam(0), "0"); // the empty stored text became "0"
}

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

TEST(State, OnlyTextsThatFitAndAreNotEmptyOrZeroReachThePlugIn)
{
  struct Case
  {
    std::string text;
    bool torn; // the length claims 100 bytes, three follow
    bool delivered;
  };
  const Case cases[] = {{"0", false, false},
                        {"", false, false},
                        {std::string(MAX_EXTRA_PARAM_LEN + 1, 'p'), false, false},
                        {"abc", true, false},
                        {std::string(MAX_EXTRA_PARAM_LEN, 'q'), false, true}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text.size());
    TwoParamPlug plug;
    ByteChunk chunk = Values({0.0, 1.0});
    if (c.torn)
    {
      chunk.AppendValue(int32_t{100});
      chunk.AppendBytes(reinterpret_cast<const uint8_t*>(c.text.data()), 3);
    }
    else
      chunk.AppendStr(c.text.c_str());
    EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 16);
    ASSERT_EQ(plug.mExtras.size(), c.delivered ? 1u : 0u);
    if (c.delivered)
    {
      EXPECT_EQ(plug.mExtras[0].second, c.text);
    }
  }
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

// ---- Presets ----

using Presets = PlugFixture;

TEST_F(Presets, FactoryPresetRestoresValuesAndLeavesTexts)
{
  mPlug->MakePreset("Bright", 0, 50, 2.5, 0, -6.0);
  mPlug->SetExtraParam(0, "/s/keep.wav");
  EXPECT_STREQ(mPlug->GetPresetName(0), "Bright");
  EXPECT_TRUE(mPlug->RestorePreset("Bright"));
  EXPECT_EQ(mPlug->GetParam(TestPlug::kPower)->Value(), 0.0);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kLevel)->Value(), 50.0);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kTime)->Value(), 2.5);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kGain)->Value(), -6.0);
  EXPECT_STREQ(mPlug->GetExtraParam(0), "/s/keep.wav");
  EXPECT_TRUE(mLog.mExtraParams.empty());
}

TEST_F(Presets, DefaultPresetWithoutDataKeepsTheRunningState)
{
  mPlug->MakeDefaultPreset(nullptr, 2);
  EXPECT_STREQ(mPlug->GetPresetName(1), "Default");
  mPlug->GetParam(TestPlug::kPower)->Set(1);
  EXPECT_TRUE(mPlug->RestorePreset(1));
  EXPECT_EQ(mPlug->GetParam(TestPlug::kPower)->Value(), 1.0);
  EXPECT_EQ(mPlug->GetCurrentPresetIdx(), 1);
}

TEST_F(Presets, LookupsOutsideTheListAnswerEmptyOrFalse)
{
  EXPECT_STREQ(mPlug->GetPresetName(-1), "");
  EXPECT_STREQ(mPlug->GetPresetName(TestPlug::kNumTestPresets), "");
  EXPECT_FALSE(mPlug->RestorePreset(""));
  EXPECT_FALSE(mPlug->RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(mPlug->RestorePreset("no such"));
  EXPECT_FALSE(mPlug->RestorePreset(7));
}

TEST_F(Presets, ModifyCurrentPresetStoresValuesAndTextsAndRenames)
{
  mPlug->SetExtraParam(1, "/s/b.ogg");
  mPlug->ModifyCurrentPreset("Mine");
  const IPreset* preset = mPlug->GetPreset(0);
  EXPECT_STREQ(preset->GetName(), "Mine");
  EXPECT_EQ(preset->mChunk.Size(), TestPlug::kNumTestParams * 8 + 5 + 12);
  mPlug->ModifyCurrentPreset("");
  EXPECT_STREQ(preset->GetName(), "Mine");
}
