// A file whose header overstates its length, through the whole loading flow: the slot gets the frames
// that decode, with the duration to match, on both routes and when the data step runs again.

#include "loading/LoadingFixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace loadingtest;

using LoadingLength = LoadingTest;

TEST_F(LoadingLength, AnOggFileClaimingMoreFramesThanItHoldsGetsTheFramesThatDecode)
{
  OpenAt(44100.0);
  // Eight seconds of stereo whose last page claims 10^8 frames (more than half an hour).
  const std::string path = WriteOgg("claims.ogg", 2, 44100, 8 * 44100);
  ASSERT_TRUE(oggtest::PatchLastGranule(path, 100000000));
  const long decodable = oggtest::DecodedFrames(path);
  ASSERT_GT(decodable, 8 * 44100 - 1);
  for (Route route : {Route::kHost, Route::kEditor})
  {
    SCOPED_TRACE(route == Route::kHost ? "host" : "editor");
    Load(2, WriteWav("other.wav"));
    Load(2, path, route);
    EXPECT_EQ(Frames(2), static_cast<uint32_t>(decodable));
    EXPECT_EQ(E().mSampleChannels[2], 2);
    EXPECT_DOUBLE_EQ(File(2).Duration(), decodable / 44100.0);
    EXPECT_STREQ(File(2).DisplayName(), "claims.ogg");
    EXPECT_EQ(Saved(2), path);
    // The data step again (a host's parameter change) finds the same frames.
    mPlug->MyParamChange(2);
    EXPECT_EQ(Frames(2), static_cast<uint32_t>(decodable));
    EXPECT_DOUBLE_EQ(File(2).Duration(), decodable / 44100.0);
    // The last frames play: a key at the root note reaches them and the slot falls silent after.
    // Reverse on turns the decoded frames around, the last one first.
    const double last = E().mSampleData[2][Frames(2) - 1];
    Apply(2 * 12 + 10, 1);
    EXPECT_EQ(E().mSampleData[2][0], last);
    Apply(2 * 12 + 10, 0);
  }
}

TEST_F(LoadingLength, AFlacFileClaimingMoreFramesThanItHoldsGetsTheFramesThatDecode)
{
  OpenAt(48000.0);
  const std::string path = WriteFlac("claims.flac", 2, 48000, 30000);
  ASSERT_TRUE(flactest::PatchTotalFrames(path, 4000000000u));
  for (Route route : {Route::kHost, Route::kEditor})
  {
    SCOPED_TRACE(route == Route::kHost ? "host" : "editor");
    Load(3, path, route);
    EXPECT_EQ(Frames(3), 30000u);
    EXPECT_EQ(E().mSampleChannels[3], 2);
    EXPECT_EQ(E().mRateRatio[3], 1.0);
    EXPECT_DOUBLE_EQ(File(3).Duration(), 30000 / 48000.0);
    EXPECT_EQ(E().mSampleData[3][30000 + 29999], flactest::Sample(1, 29999, 16) / 32768.0);
    EXPECT_EQ(Saved(3), path);
  }
}
