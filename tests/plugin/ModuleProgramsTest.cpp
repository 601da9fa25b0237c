// Programs and state chunks through the built module.

#include "plugin/ChunkBytes.h"
#include "plugin/ModuleFixture.h"

#include <string>

using namespace plugintest;

namespace
{
// The parameter defaults in index order (one slot; all five are the same).
const double kDefaultSlot[12] = {1, 36, 127, 41, 1.0, 0.8, 1.5, 0, 0, 0, 0, 1};

std::vector<double> ChunkValues(const std::vector<uint8_t>& chunk)
{
  std::vector<double> v;
  for (int i = 0; i < 60; ++i)
    v.push_back(ChunkValue(chunk, i));
  return v;
}
} // namespace

using ModulePrograms = ModuleTest;
using ModuleState = ModuleTest;

TEST_F(ModulePrograms, SixteenProgramsDefaultFactoryThenNumberedPlaces)
{
  const char* factory[9] = {
      "---- default ----", "Pluck",          "Lead",        "Pad", "Release Long", "Drum",
      "Drum Next Octaves", "Double Octaves", "Half Octaves"};
  for (int i = 0; i < 16; ++i)
  {
    char text[300] = "untouched";
    EXPECT_EQ(mPlug->Dispatch(effGetProgramNameIndexed, i, 0, text), 1) << i;
    EXPECT_EQ(std::string(text), i < 9 ? factory[i] : "- " + std::to_string(i + 1) + " -");
  }
  for (int i : {16, -1, 100000})
  {
    char text[300] = "untouched";
    EXPECT_EQ(mPlug->Dispatch(effGetProgramNameIndexed, i, 0, text), 0) << i;
    EXPECT_STREQ(text, "") << i;
  }
  EXPECT_EQ(mPlug->Dispatch(effGetProgram), 0);
  EXPECT_EQ(mPlug->ProgramName(), "---- default ----");
}

TEST_F(ModulePrograms, FactoryProgramReachesTheHostAndDefaultRestoresTheDefaults)
{
  mPlug->Open();
  mPlug->Dispatch(effSetProgram, 0, 3);
  EXPECT_EQ(mPlug->Dispatch(effGetProgram), 3);
  EXPECT_EQ(mPlug->ProgramName(), "Pad");
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 5), "3.00");
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 12 + 7), "70");

  mPlug->Dispatch(effSetProgram, 0, 0);
  const std::vector<double> defaults = ChunkValues(mPlug->GetChunk());
  for (int i = 0; i < 60; ++i)
    EXPECT_DOUBLE_EQ(defaults[i], kDefaultSlot[i % 12]) << i;
}

TEST_F(ModulePrograms, EmptyPlacesBecomeUserPresetsThatKeepTheRunningState)
{
  mPlug->Open();
  mPlug->Dispatch(effSetProgram, 0, 9);
  EXPECT_EQ(mPlug->ProgramName(), "user preset 1");
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 9), "0"); // the running state stays
  mPlug->SetParameter(9, 0.0f);

  mPlug->Dispatch(effSetProgram, 0, 12);
  EXPECT_EQ(mPlug->ProgramName(), "user preset 2");
  EXPECT_EQ(mPlug->ProgramNameIndexed(9), "user preset 1");
  mPlug->SetParameter(9, 1.0f);

  mPlug->Dispatch(effSetProgram, 0, 9);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 9), "-48");
  mPlug->Dispatch(effSetProgram, 0, 12);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 9), "24");
  EXPECT_EQ(mPlug->ProgramNameIndexed(12), "user preset 2");
}

TEST_F(ModuleState, ChunkIsVersionSixtyValuesAndFiveEmptyPathTexts)
{
  for (int index : {0, 1})
  {
    const std::vector<uint8_t> chunk = mPlug->GetChunk(index);
    ASSERT_EQ(chunk.size(), 4u + 480u + 25u) << index;
    EXPECT_EQ(ChunkInt(chunk, 0), 10100);
    for (int i = 0; i < 60; ++i)
      EXPECT_DOUBLE_EQ(ChunkValue(chunk, i), kDefaultSlot[i % 12]) << i;
    for (int t = 0; t < 5; ++t)
    {
      const size_t pos = 484 + 5 * static_cast<size_t>(t);
      EXPECT_EQ(chunk[pos], 1);
      EXPECT_EQ(chunk[pos + 1], 0);
      EXPECT_EQ(chunk[pos + 2], 0);
      EXPECT_EQ(chunk[pos + 3], 0);
      EXPECT_EQ(chunk[pos + 4], '0');
    }
  }
}

TEST_F(ModuleState, ChunkRestoresValuesAndPathsIntoASecondInstance)
{
  mPlug->Open();
  mPlug->SetParameter(0, 0.0f);
  mPlug->SetParameter(17, 0.3f);
  mPlug->SetParameter(29, 0.25f);
  mPlug->SetParameter(59, 0.0f);
  char path[64] = "/samples/snare.wav";
  mPlug->Dispatch(effVendorSpecific, 56, 2, path);
  const std::vector<uint8_t> chunk = mPlug->GetChunk();
  EXPECT_EQ(ChunkTexts(chunk), (std::vector<std::string>{"0", "0", "/samples/snare.wav", "0", "0"}));

  PluginInstance second;
  ASSERT_NE(second.Effect(), nullptr);
  second.Open();
  EXPECT_EQ(second.SetChunk(chunk), 1);
  for (int i = 0; i < 60; ++i)
    EXPECT_FLOAT_EQ(second.GetParameter(i), mPlug->GetParameter(i)) << i;
  EXPECT_EQ(second.GetChunk(), chunk);
  EXPECT_EQ(second.ParamText(effGetParamDisplay, 0), "No");
}

TEST_F(ModuleState, GarbageChunksNeverCrashAndLeaveEveryValueInRange)
{
  mPlug->Open();
  uint32_t seed = 12345;
  for (int round = 0; round < 200; ++round)
  {
    std::vector<uint8_t> chunk(static_cast<size_t>(round * 7 % 700));
    for (uint8_t& b : chunk)
    {
      seed = seed * 1664525u + 1013904223u;
      b = static_cast<uint8_t>(seed >> 24);
    }
    mPlug->SetChunk(chunk, round % 2);
  }
  for (int i = 0; i < 60; ++i)
  {
    const float v = mPlug->GetParameter(i);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i << " " << v;
  }
  EXPECT_EQ(mPlug->GetChunk().size() >= 509u, true);
}
