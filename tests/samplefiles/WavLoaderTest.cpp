#include "samplefiles/WavLoader.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace wavtest;

namespace
{
// 16-bit file whose sample at frame f, channel c is f * 16 + c, so a plane's content shows where each
// value came from.
Bytes NumberedPcm16(uint16_t channels, uint32_t frames, uint32_t rate = 8000)
{
  std::vector<int16_t> v;
  for (uint32_t f = 0; f < frames; ++f)
    for (uint16_t c = 0; c < channels; ++c)
      v.push_back(static_cast<int16_t>(f * 16 + c));
  return Riff({Fmt(1, channels, rate, 16), Chunk("data", Pcm16(v))});
}

double N(int f, int c)
{
  return (f * 16 + c) / 32768.0;
}

std::vector<double> Load(const std::string& path, uint32_t frames, int channels, bool* ok = nullptr)
{
  auto data = AllocateSampleData(frames, channels);
  EXPECT_TRUE(data);
  const bool loaded = LoadWavSampleData(path.c_str(), data.get(), frames, channels);
  if (ok != nullptr) *ok = loaded;
  return std::vector<double>(data.get(), data.get() + size_t{frames} * channels);
}
} // namespace

TEST(WavLoader, HeaderStepReportsFramesChannelsAndRate)
{
  TempDir dir;
  const std::string path = dir.Write("a.wav", NumberedPcm16(4, 5, 44100));
  SampleFileInfo info;
  ASSERT_TRUE(ReadWavHeader(path.c_str(), info));
  EXPECT_EQ(info.kind, SampleFileKind::kWav);
  EXPECT_EQ(info.frames, 5u);
  EXPECT_EQ(info.channels, 4);
  EXPECT_EQ(info.sampleRate, 44100u);
  EXPECT_EQ(SampleRateRatio(info, 48000.0), 0.91875);
  EXPECT_EQ(SampleDurationSeconds(info), 5.0 / 44100.0);
}

TEST(WavLoader, HeaderStepRefusesWhatASlotCannotHold)
{
  TempDir dir;
  SampleFileInfo info;
  info.frames = 99;
  EXPECT_FALSE(ReadWavHeader(dir.Write("r0.wav", NumberedPcm16(1, 4, 0)).c_str(), info)) << "rate 0";
  const Bytes manyChannels = Riff({Fmt(1, 40000, 8000, 8), Chunk("data", Bytes(40000, 0x80))});
  EXPECT_FALSE(ReadWavHeader(dir.Write("c.wav", manyChannels).c_str(), info)) << "40000 channels";
  EXPECT_FALSE(ReadWavHeader(dir.Write("x.wav", {'n', 'o'}).c_str(), info));
  EXPECT_EQ(info.frames, 99u);
}

TEST(WavLoader, ChannelsAreSplitIntoPlanesKeepingTheFirstTwoAndLeavingTheRestSilent)
{
  TempDir dir;
  EXPECT_EQ(Load(dir.Write("m.wav", NumberedPcm16(1, 3)), 3, 1),
            (std::vector<double>{N(0, 0), N(1, 0), N(2, 0)}));
  EXPECT_EQ(Load(dir.Write("s.wav", NumberedPcm16(2, 3)), 3, 2),
            (std::vector<double>{N(0, 0), N(1, 0), N(2, 0), N(0, 1), N(1, 1), N(2, 1)}));
  EXPECT_EQ(Load(dir.Write("q.wav", NumberedPcm16(4, 3)), 3, 4),
            (std::vector<double>{N(0, 0), N(1, 0), N(2, 0), N(0, 1), N(1, 1), N(2, 1), 0, 0, 0, 0, 0, 0}));
}

TEST(WavLoader, ManyFramesAcrossSeveralBlocksLandInOrder)
{
  TempDir dir;
  const uint32_t frames = 20000;
  const auto d = Load(dir.Write("l.wav", NumberedPcm16(3, frames)), frames, 3);
  for (uint32_t f = 0; f < frames; ++f)
  {
    ASSERT_EQ(d[f], static_cast<int16_t>(f * 16) / 32768.0) << f;
    ASSERT_EQ(d[frames + f], static_cast<int16_t>(f * 16 + 1) / 32768.0) << f;
    ASSERT_EQ(d[2 * frames + f], 0.0) << f;
  }
}

TEST(WavLoader, AFileThatShrankSinceTheHeaderStepLeavesTheRestSilent)
{
  TempDir dir;
  const std::string path = dir.Write("g.wav", NumberedPcm16(2, 4));
  SampleFileInfo info;
  ASSERT_TRUE(ReadWavHeader(path.c_str(), info));
  dir.Write("g.wav", NumberedPcm16(2, 2));
  const auto d = Load(path, info.frames, info.channels);
  EXPECT_EQ(d, (std::vector<double>{N(0, 0), N(1, 0), 0, 0, N(0, 1), N(1, 1), 0, 0}));
}

TEST(WavLoader, AFileThatGrewOrChangedChannelsNeverWritesPastTheBuffer)
{
  TempDir dir;
  const std::string path = dir.Write("g.wav", NumberedPcm16(4, 6));
  // The slot still believes in a 2-frame mono file.
  std::vector<double> buffer(2 + 4, -7.0);
  std::fill(buffer.begin(), buffer.begin() + 2, 0.0);
  ASSERT_TRUE(LoadWavSampleData(path.c_str(), buffer.data(), 2, 1));
  EXPECT_EQ(buffer, (std::vector<double>{N(0, 0), N(1, 0), -7, -7, -7, -7}));
}

TEST(WavLoader, DataStepFailsWhenTheFileCannotBeOpenedNow)
{
  TempDir dir;
  bool ok = true;
  const auto d = Load(dir.Path() + "/gone.wav", 2, 2, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(d, std::vector<double>(4, 0.0));
}

TEST(SampleBuffer, AllocationIsZeroedAndRefusesEmptyOrOversizedBuffers)
{
  auto data = AllocateSampleData(3, 2);
  ASSERT_TRUE(data);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(data[i], 0.0);
  EXPECT_FALSE(AllocateSampleData(0, 2));
  EXPECT_FALSE(AllocateSampleData(3, 0));
  EXPECT_FALSE(AllocateSampleData(3, -2));
  EXPECT_FALSE(AllocateSampleData(0xFFFFFFFFu, 32767)) << "140 TB";
  EXPECT_FALSE(AllocateSampleData(0xFFFFFFFFu, 2)) << "64 GiB passes the limit";
}

TEST(SampleBuffer, ReversalTurnsTheFirstTwoPlanesAroundAndLeavesShortDataAlone)
{
  double stereo[] = {1, 2, 3, 4, 5, 6, 9, 9, 9};
  ReverseSampleData(stereo, 3, 3);
  EXPECT_EQ(std::vector<double>(stereo, stereo + 9), (std::vector<double>{3, 2, 1, 6, 5, 4, 9, 9, 9}));
  ReverseSampleData(stereo, 3, 3);
  EXPECT_EQ(std::vector<double>(stereo, stereo + 9), (std::vector<double>{1, 2, 3, 4, 5, 6, 9, 9, 9}));

  double mono[] = {1, 2, 3, 4};
  ReverseSampleData(mono, 3, 1);
  EXPECT_EQ(std::vector<double>(mono, mono + 4), (std::vector<double>{3, 2, 1, 4}));
  ReverseSampleData(mono, 1, 1); // one frame or none, or no data: nothing changes
  ReverseSampleData(mono, 0, 1);
  ReverseSampleData(nullptr, 5, 2);
  EXPECT_EQ(std::vector<double>(mono, mono + 4), (std::vector<double>{3, 2, 1, 4}));
}
