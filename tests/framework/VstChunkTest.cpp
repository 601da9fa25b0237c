#include "TestPlug.h"

#include <cstring>
#include <string>

using VstChunks = PlugFixture;

namespace
{
std::vector<uint8_t> GetChunk(PlugFixture* fixture, AEffect* effect, int index)
{
  (void)fixture;
  void* data = nullptr;
  const VstIntPtr size = effect->dispatcher(effect, effGetChunk, index, 0, &data, 0.0f);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}
} // namespace

TEST_F(VstChunks, ChunkIsVersionValuesAndTextsForBankAndProgram)
{
  const std::vector<uint8_t> bank = GetChunk(this, mEffect, 0);
  const std::vector<uint8_t> program = GetChunk(this, mEffect, 1);
  ASSERT_EQ(bank.size(), 4u + TestPlug::kNumTestParams * 8 + 2 * 5);
  EXPECT_EQ(bank, program);
  int32_t version = 0;
  std::memcpy(&version, bank.data(), 4);
  EXPECT_EQ(version, 10100);
  double time = 0;
  std::memcpy(&time, bank.data() + 4 + TestPlug::kTime * 8, 8);
  EXPECT_EQ(time, 1.5);
  EXPECT_EQ(bank.back(), '0');
  // The bank request also refreshed the current program.
  EXPECT_EQ(mPlug->GetPreset(0)->mChunk.Size(), static_cast<int>(bank.size()) - 4);
  EXPECT_EQ(GetChunk(this, mEffect, 0).size(), bank.size());
  EXPECT_EQ(Dispatch(effGetChunk, 0, 0, nullptr), 0);
}

TEST_F(VstChunks, RoundTripRestoresValuesAndTexts)
{
  mPlug->GetParam(TestPlug::kLevel)->Set(-30);
  mPlug->SetExtraParam(1, "/samples/snare.ogg");
  std::vector<uint8_t> saved = GetChunk(this, mEffect, 1);
  mPlug->GetParam(TestPlug::kLevel)->Set(12);
  mPlug->SetExtraParam(1, "0");
  TestGraphicsLog* editor = AttachEditor();
  editor->mShown.clear();

  EXPECT_EQ(Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(saved.size()), saved.data()), 1);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kLevel)->Value(), -30.0);
  EXPECT_EQ(mLog.mStateVersions, std::vector<int>{10100});
  ASSERT_EQ(mLog.mExtraParams.size(), 1u);
  EXPECT_EQ(mLog.mExtraParams[0], std::make_pair(1, std::string("/samples/snare.ogg")));
  EXPECT_EQ(editor->mShown.size(), static_cast<size_t>(TestPlug::kNumTestParams)); // redrawn
}

TEST_F(VstChunks, ChunksOfFewerThanFourBytesChangeNothing)
{
  uint8_t bytes[3] = {1, 2, 3};
  for (int size = 0; size <= 3; ++size)
  {
    EXPECT_EQ(Dispatch(effSetChunk, 0, size, bytes), 0);
  }
  EXPECT_TRUE(mLog.mParamChanges.empty());
  EXPECT_EQ(mLog.mStateVersions, std::vector<int>(4, 0));
  EXPECT_EQ(Dispatch(effSetChunk, 0, 100, nullptr), 0);
  EXPECT_EQ(Dispatch(effSetChunk, 0, -1, bytes), 0);
}

TEST_F(VstChunks, ChunkWhoseValuesEndEarlyFails)
{
  std::vector<uint8_t> saved = GetChunk(this, mEffect, 1);
  saved.resize(4 + 8 + 3);
  EXPECT_EQ(Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(saved.size()), saved.data()), 0);
  EXPECT_EQ(mLog.mParamChanges, (std::vector<int>{0, 1}));
}

TEST_F(VstChunks, OverlongOrTornTextsInAChunkAreSkipped)
{
  ByteChunk chunk;
  chunk.AppendValue(int32_t{10100});
  for (int i = 0; i < TestPlug::kNumTestParams; ++i)
    chunk.AppendValue(0.0);
  chunk.AppendStr(std::string(5000, 'x').c_str());
  chunk.AppendValue(int32_t{1 << 30}); // a text claiming more than the chunk holds
  EXPECT_EQ(Dispatch(effSetChunk, 0, chunk.Size(), chunk.Bytes()), 1);
  EXPECT_TRUE(mLog.mExtraParams.empty());
}

TEST_F(VstChunks, ProgramNamesAreBoundedBothWays)
{
  std::string longName(10000, 'n');
  Dispatch(effSetProgramName, 0, 0, longName.data());
  EXPECT_EQ(std::strlen(mPlug->GetPresetName(0)), static_cast<size_t>(MAX_PRESET_NAME_LEN - 1));
  char name[64];
  std::memset(name, 'z', sizeof(name));
  Dispatch(effGetProgramName, 0, 0, name);
  EXPECT_EQ(std::strlen(name), static_cast<size_t>(kVstMaxProgNameLen));
  EXPECT_EQ(name[kVstMaxProgNameLen + 1], 'z');
  EXPECT_EQ(Dispatch(effSetProgramName, 0, 0, nullptr), 0);

  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 1, 0, name), 1);
  EXPECT_STREQ(name, "- 2 -");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 99, 0, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 1, 0, nullptr), 0);
}

TEST_F(VstChunks, ProgramSelectionOutsideTheListKeepsTheCurrentProgram)
{
  Dispatch(effSetProgram, 0, 99);
  Dispatch(effSetProgram, 0, -1);
  Dispatch(effSetProgram, 0, (VstIntPtr{1} << 32) + 1); // would wrap to 1 if cut to int
  EXPECT_EQ(Dispatch(effGetProgram), 0);
}
