// Ogg Vorbis files whose last page claims a length the stream does not hold, as a damaged or crafted
// file does (about 20 KB that say 10^8 or 10^9 frames): the data step keeps the frames that decode and
// allocates memory only for them.

#include "AllocationCounter.h"
#include "samplefiles/OggLoader.h"
#include "samplefiles/OggTestFiles.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using namespace oggtest;

namespace
{
// Several pages, so that libvorbisfile measures the start of the stream on another page than the end.
constexpr long kFrames = 8 * kToneRate;
} // namespace

TEST(OggCraftedLength, TheDataStepKeepsTheFramesThatDecodeAndAllocatesOnlyForThem)
{
  if (!testalloc::Active()) GTEST_SKIP() << "another operator new replacement is in force";
  wavtest::TempDir dir;
  for (int channels : {1, 2})
    for (int64_t claim : {int64_t{100000000}, int64_t{1000000000}})
    {
      SCOPED_TRACE("channels " + std::to_string(channels) + ", claim " + std::to_string(claim));
      const std::string path =
          dir.Path() + "/claim" + std::to_string(channels) + std::to_string(claim) + ".ogg";
      ASSERT_TRUE(WriteOgg(path, channels, kToneRate, kFrames));
      ASSERT_TRUE(PatchLastGranule(path, claim));
      SampleFileInfo info;
      ASSERT_TRUE(ReadOggHeader(path.c_str(), info));
      ASSERT_EQ(info.frames, static_cast<uint64_t>(claim)) << "the header step believes the last page";
      // The packets hold the encoded frames and the padding of the last block, which the claimed end no
      // longer cuts off.
      const long decodable = DecodedFrames(path);
      ASSERT_GE(decodable, kFrames);
      ASSERT_LT(decodable, kFrames + 4096);

      const size_t before = testalloc::LiveBytes();
      testalloc::ResetPeak();
      DecodedSample out;
      ASSERT_TRUE(LoadOggSampleData(path.c_str(), info.frames, info.channels, out));
      const size_t peak = testalloc::PeakBytes() - before;
      ASSERT_EQ(out.frames, static_cast<uint32_t>(decodable));
      // The buffer doubles as frames arrive and ends at its exact size: never more than three times the
      // samples' bytes live at once (the old and the grown buffer, or the last one and the exact copy).
      const size_t bytes = size_t{out.frames} * channels * sizeof(double);
      EXPECT_LE(peak, 3 * bytes) << "bytes of samples " << bytes;
      EXPECT_LT(ToneError(out.data.get(), 0, kFrames), 0.03);
      if (channels == 2)
      {
        EXPECT_LT(ToneError(out.data.get() + out.frames, 1, kFrames), 0.03);
      }
    }
}
