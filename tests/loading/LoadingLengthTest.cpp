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
