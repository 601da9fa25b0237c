// The FLAC loader on files libFLAC encodes from known integer samples: every sample width the format
// has, channel counts up to eight, the planes that are kept, lengths that headers overstate or leave
// open, damaged and foreign files.

#include "samplefiles/FlacLoader.h"
#include "AllocationCounter.h"
#include "samplefiles/FlacTestFiles.h"
#include "samplefiles/SampleFileLimits.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

using namespace flactest;

namespace
{
class FlacLoaderTest : public ::testing::Test
{
protected:
  std::string Encode(const std::string& name, int channels, int bits, uint32_t frames, uint32_t rate = 44100)
  {
    const std::string path = dir.Path() + "/" + name;
    EXPECT_TRUE(WriteFlac(path, channels, rate, bits, Samples(channels, frames, bits))) << name;
    return path;
  }

  // Checks that out holds frames frames of the first two channels of Samples(channels, ..., bits), each
  // v / 2^(bits-1), and nothing more.
  void ExpectPlanes(const DecodedSample& out, int channels, int bits, uint32_t frames)
  {
    ASSERT_TRUE(out.data);
    ASSERT_EQ(out.frames, frames);
    for (int c = 0; c < SamplePlanes(channels); ++c)
      for (uint32_t f = 0; f < frames; ++f)
        ASSERT_EQ(out.data[static_cast<size_t>(c) * frames + f],
                  std::ldexp(static_cast<double>(Sample(c, f, bits)), 1 - bits))
            << "channel " << c << " frame " << f;
  }

  wavtest::TempDir dir;
};
} // namespace

TEST_F(FlacLoaderTest, EverySampleWidthDecodesExactlyScaledLikeIntegerPcm)
{
  for (int bits = 4; bits <= 32; ++bits)
  {
    SCOPED_TRACE("bits " + std::to_string(bits));
    const int channels = 1 + bits % 3;
    const std::string path = Encode("w" + std::to_string(bits) + ".flac", channels, bits, 5000);
    SampleFileInfo info;
    ASSERT_TRUE(ReadFlacHeader(path.c_str(), info));
    EXPECT_EQ(info.kind, SampleFileKind::kFlac);
    EXPECT_EQ(info.frames, 5000u);
    EXPECT_EQ(info.channels, channels);
    EXPECT_EQ(info.sampleRate, 44100u);
    DecodedSample out;
    ASSERT_TRUE(LoadFlacSampleData(path.c_str(), info.frames, info.channels, out));
    ExpectPlanes(out, channels, bits, 5000);
  }
  // The ends of the range: -1.0 and just below +1.0, as 16-bit integer PCM reads them.
  DecodedSample out;
  ASSERT_TRUE(LoadFlacSampleData(Encode("e.flac", 1, 16, 2).c_str(), 2, 1, out));
  EXPECT_EQ(out.data[0], -1.0);
  EXPECT_EQ(out.data[1], 32767 * 3.0517578125e-5);
}

TEST_F(FlacLoaderTest, UpToEightChannelsKeepTheFirstTwoAsPlanesAndTheWidthAsTheFileSays)
{
  for (int channels = 1; channels <= 8; ++channels)
  {
    SCOPED_TRACE("channels " + std::to_string(channels));
    const std::string path = Encode("c" + std::to_string(channels) + ".flac", channels, 24, 4097, 96000);
    SampleFileInfo info;
    ASSERT_TRUE(ReadFlacHeader(path.c_str(), info));
    EXPECT_EQ(info.channels, channels);
    EXPECT_EQ(info.sampleRate, 96000u);
    EXPECT_EQ(SampleRateRatio(info, 48000.0), 2.0);
    DecodedSample out;
    ASSERT_TRUE(LoadFlacSampleData(path.c_str(), info.frames, info.channels, out));
    ExpectPlanes(out, channels, 24, 4097);
  }
}

TEST_F(FlacLoaderTest, AStreamLongerThanTheSlotIsCutAtTheSlotsFrames)
{
  const std::string path = Encode("long.flac", 2, 16, 20000);
  DecodedSample out;
  ASSERT_TRUE(LoadFlacSampleData(path.c_str(), 5000, 2, out));
  ASSERT_EQ(out.frames, 5000u);
  for (uint32_t f = 0; f < 5000; ++f)
    ASSERT_EQ(out.data[5000 + f], Sample(1, f, 16) / 32768.0) << f;
  // A mono slot whose file now has two channels keeps channel 0 only.
  ASSERT_TRUE(LoadFlacSampleData(path.c_str(), 20000, 1, out));
  EXPECT_EQ(out.frames, 20000u);
  EXPECT_EQ(out.data[19999], Sample(0, 19999, 16) / 32768.0);
}

TEST_F(FlacLoaderTest, AClaimedOrUnknownLengthGetsTheFramesThatDecodeAndMemoryOnlyForThem)
{
  const bool counting = testalloc::Active();
  const uint32_t frames = 100000;
  for (uint64_t claim : {uint64_t{1000000000}, uint64_t{4000000000}, uint64_t{0}})
  {
    SCOPED_TRACE("claim " + std::to_string(claim));
    const std::string path = Encode("claim" + std::to_string(claim) + ".flac", 2, 16, frames);
    ASSERT_TRUE(PatchTotalFrames(path, claim));
    SampleFileInfo info;
    ASSERT_TRUE(ReadFlacHeader(path.c_str(), info));
    EXPECT_EQ(info.frames, claim == 0 ? std::numeric_limits<uint32_t>::max() : claim);
    const size_t before = testalloc::LiveBytes();
    testalloc::ResetPeak();
    DecodedSample out;
    ASSERT_TRUE(LoadFlacSampleData(path.c_str(), info.frames, info.channels, out));
    const size_t peak = testalloc::PeakBytes() - before;
    ExpectPlanes(out, 2, 16, frames);
    // Three times the samples' bytes (the buffer doubles and ends at its exact size), plus the first
    // room that the file's size makes plausible: a few megabytes, where the claim would be gigabytes.
    const size_t bytes = 2 * sizeof(double) * frames;
    const size_t firstRoom = 2 * sizeof(double) * kFlacFramesPerFileByte * std::filesystem::file_size(path);
    if (counting)
    {
      EXPECT_LE(peak, 3 * bytes + firstRoom) << "bytes of samples " << bytes;
    }
  }
  // A count past 32 bits is refused, as for Ogg Vorbis.
  const std::string path = Encode("huge.flac", 1, 16, 10);
  ASSERT_TRUE(PatchTotalFrames(path, uint64_t{1} << 35));
  SampleFileInfo info;
  EXPECT_FALSE(ReadFlacHeader(path.c_str(), info));
}

TEST_F(FlacLoaderTest, ADamagedFrameEndsTheSampleBeforeIt)
{
  const std::string path = Encode("d.flac", 1, 16, 40000);
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  file.seekp(size / 2);
  file.write("\xA5\x5A\xA5\x5A\xA5\x5A\xA5\x5A", 8);
  file.close();
  SampleFileInfo info;
  ASSERT_TRUE(ReadFlacHeader(path.c_str(), info));
  DecodedSample out;
  ASSERT_TRUE(LoadFlacSampleData(path.c_str(), info.frames, info.channels, out));
  EXPECT_GT(out.frames, 0u);
  EXPECT_LT(out.frames, 40000u);
  for (uint32_t f = 0; f < out.frames; ++f)
    ASSERT_EQ(out.data[f], Sample(0, f, 16) / 32768.0) << f;
}

TEST_F(FlacLoaderTest, FilesThatAreNotFlacAreRefusedByBothSteps)
{
  SampleFileInfo info;
  info.frames = 99;
  const std::string wav = dir.Write("w.flac", wavtest::Riff({wavtest::Fmt(1, 1, 8000, 16)}));
  const std::string missing = dir.Path() + "/missing.flac";
  const std::string cut = dir.Write("cut.flac", {'f', 'L', 'a', 'C', 0, 0, 0, 34, 1, 2});
  for (const std::string& path : {wav, missing, cut, dir.Write("empty.flac", {})})
  {
    EXPECT_FALSE(ReadFlacHeader(path.c_str(), info)) << path;
    DecodedSample out;
    if (path != cut)
    {
      EXPECT_FALSE(LoadFlacSampleData(path.c_str(), 2, 2, out)) << path;
    }
  }
  EXPECT_EQ(info.frames, 99u);
}
