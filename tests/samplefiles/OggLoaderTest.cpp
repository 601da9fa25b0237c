#include "samplefiles/OggLoader.h"
#include "samplefiles/OggTestFiles.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace oggtest;

namespace
{

class OggLoaderTest : public ::testing::Test
{
protected:
  std::string Encode(const std::string& name, int channels, long frames)
  {
    const std::string path = dir.Path() + "/" + name;
    EXPECT_TRUE(WriteOgg(path, channels, kToneRate, frames)) << path;
    return path;
  }

  // Header step and data step as the loading flow runs them; info.frames becomes the slot's count.
  std::unique_ptr<double[]> Load(const std::string& path, SampleFileInfo& info)
  {
    EXPECT_TRUE(ReadOggHeader(path.c_str(), info)) << path;
    DecodedSample out;
    EXPECT_TRUE(LoadOggSampleData(path.c_str(), info.frames, info.channels, out));
    EXPECT_EQ(out.frames, info.frames) << "a file whose header tells the truth";
    info.frames = out.frames;
    return std::move(out.data);
  }

  wavtest::TempDir dir;
};
} // namespace

TEST_F(OggLoaderTest, HeaderStepReportsTotalFramesChannelsAndRate)
{
  for (int channels : {1, 2, 6})
  {
    const std::string path = Encode("h" + std::to_string(channels) + ".ogg", channels, 44100 + 77);
    SampleFileInfo info;
    ASSERT_TRUE(ReadOggHeader(path.c_str(), info)) << channels;
    EXPECT_EQ(info.kind, SampleFileKind::kOgg);
    EXPECT_EQ(info.frames, 44177u);
    EXPECT_EQ(info.channels, channels);
    EXPECT_EQ(info.sampleRate, 44100u);
  }
}

TEST_F(OggLoaderTest, RateRatioIsRoundedToFloatPrecisionUnlikeWav)
{
  SampleFileInfo info;
  ASSERT_TRUE(ReadOggHeader(Encode("r.ogg", 2, 1000).c_str(), info));
  EXPECT_EQ(SampleRateRatio(info, 48000.0), 0.918749988079071);
  info.kind = SampleFileKind::kWav;
  EXPECT_EQ(SampleRateRatio(info, 48000.0), 0.91875);
}

TEST_F(OggLoaderTest, MonoFillsPlaneZeroWithoutGapsUpToTheLastShortBlock)
{
  SampleFileInfo info;
  auto data = Load(Encode("m.ogg", 1, 44100 + 77), info);
  ASSERT_TRUE(data);
  EXPECT_LT(ToneError(data.get(), 0, info.frames), 0.02);
  // The last 77 frames come from a short final block; they are decoded too.
  const long last = 77;
  double tailError = 0.0;
  for (uint32_t f = info.frames - last; f < info.frames; ++f)
    tailError = std::max(tailError, std::fabs(data[f] - Tone(0, f, kToneRate)));
  EXPECT_LT(tailError, 0.05);
}

TEST_F(OggLoaderTest, SixChannelsStoreLeftThenRightOnly)
{
  SampleFileInfo info;
  auto data = Load(Encode("six.ogg", 6, 20000), info);
  ASSERT_TRUE(data);
  ASSERT_EQ(info.channels, 6);
  EXPECT_LT(ToneError(data.get(), 0, info.frames), 0.03);
  EXPECT_LT(ToneError(data.get() + info.frames, 1, info.frames), 0.03);
  EXPECT_GT(ToneError(data.get() + info.frames, 0, info.frames), 0.2) << "plane 1 must not be channel 0";
}

TEST_F(OggLoaderTest, AStreamLongerThanTheSlotIsCutAtTheSlotsFrames)
{
  const std::string path = Encode("long.ogg", 2, 10000);
  // The slot believes in 1000 frames.
  DecodedSample out;
  ASSERT_TRUE(LoadOggSampleData(path.c_str(), 1000, 2, out));
  ASSERT_EQ(out.frames, 1000u);
  EXPECT_LT(ToneError(out.data.get(), 0, 1000), 0.02);
  EXPECT_LT(ToneError(out.data.get() + 1000, 1, 1000), 0.02);
}

TEST_F(OggLoaderTest, FilesThatAreNotOggVorbisAreRefusedByBothSteps)
{
  SampleFileInfo info;
  info.frames = 99;
  const std::string wav = dir.Write("w.ogg", wavtest::Riff({wavtest::Fmt(1, 1, 8000, 16)}));
  const std::string missing = dir.Path() + "/missing.ogg";
  for (const std::string& path : {wav, missing, dir.Write("empty.ogg", {})})
  {
    EXPECT_FALSE(ReadOggHeader(path.c_str(), info)) << path;
    DecodedSample out;
    EXPECT_FALSE(LoadOggSampleData(path.c_str(), 2, 2, out)) << path;
    EXPECT_FALSE(out.data) << path;
  }
  EXPECT_EQ(info.frames, 99u);
}
