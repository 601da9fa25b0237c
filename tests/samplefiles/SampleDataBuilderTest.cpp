// The growing planar buffer of the data steps: frames keep their places across growths, the limit cuts,
// the hand-over has the exact size, and the memory cap refuses before allocating.

#include "samplefiles/SampleDataBuilder.h"
#include "samplefiles/SampleFileLimits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
// Appends count frames, value 100 * p + frame on plane p, in as many pieces as Room allows; returns the
// frames it could add.
uint32_t AddFrames(SampleDataBuilder& b, int planes, uint32_t count)
{
  uint32_t added = 0;
  while (added < count)
  {
    const uint32_t room = b.Room(count - added);
    if (room == 0) break;
    for (int p = 0; p < planes; ++p)
      for (uint32_t i = 0; i < room; ++i)
        b.Plane(p)[i] = 100.0 * p + b.Frames() + i;
    b.Added(room);
    added += room;
  }
  return added;
}

std::vector<double> Handed(SampleDataBuilder& b, int planes)
{
  DecodedSample out;
  EXPECT_TRUE(b.Finish(out));
  EXPECT_TRUE(out.data);
  if (!out.data) return {};
  return std::vector<double>(out.data.get(), out.data.get() + (out.frames == 0 ? 1 : out.frames * planes));
}
} // namespace

TEST(SampleDataBuilder, FramesKeepTheirPlacesAcrossGrowthsAndTheHandOverHasTheExactSize)
{
  // Starts at 2 frames, grows to 4 and 8; 5 frames are handed over in a 5-frame array per plane.
  SampleDataBuilder b(2, 100, 2);
  EXPECT_EQ(AddFrames(b, 2, 1), 1u);
  EXPECT_EQ(AddFrames(b, 2, 2), 2u);
  EXPECT_EQ(AddFrames(b, 2, 2), 2u);
  EXPECT_EQ(b.Frames(), 5u);
  EXPECT_FALSE(b.Full());
  EXPECT_EQ(Handed(b, 2), (std::vector<double>{0, 1, 2, 3, 4, 100, 101, 102, 103, 104}));

  // A buffer that came out full is handed over as it stands.
  SampleDataBuilder full(1, 3, 3);
  EXPECT_EQ(AddFrames(full, 1, 3), 3u);
  EXPECT_EQ(Handed(full, 1), (std::vector<double>{0, 1, 2}));
}

TEST(SampleDataBuilder, TheLimitCutsAndNoFrameGivesTheOneZeroOfAnEmptySlot)
{
  SampleDataBuilder b(1, 6, 4);
  EXPECT_EQ(b.Room(10), 6u) << "the room never passes the limit";
  EXPECT_EQ(AddFrames(b, 1, 10), 6u);
  EXPECT_TRUE(b.Full());
  EXPECT_EQ(b.Room(1), 0u);
  EXPECT_FALSE(b.Failed());
  EXPECT_EQ(Handed(b, 1), (std::vector<double>{0, 1, 2, 3, 4, 5}));

  SampleDataBuilder none(2, 1000, 64);
  DecodedSample out;
  ASSERT_TRUE(none.Finish(out));
  EXPECT_EQ(out.frames, 0u);
  EXPECT_EQ(out.data[0], 0.0);
  SampleDataBuilder zero(2, 0, 64);
  EXPECT_EQ(zero.Room(5), 0u);
  EXPECT_EQ(Handed(zero, 2), (std::vector<double>{0.0}));
}

TEST(SampleDataBuilder, FramesPastTheMemoryCapFailWithoutAllocating)
{
  // 32767 planes: the cap leaves room for 32768 frames; the first growth past it fails.
  const uint32_t most = static_cast<uint32_t>(kMaxSampleDataBytes / sizeof(double) / 32767);
  SampleDataBuilder b(32767, UINT32_MAX, UINT32_MAX);
  EXPECT_EQ(b.Room(most + 1), 0u);
  EXPECT_TRUE(b.Failed());
  EXPECT_EQ(b.Room(1), 0u) << "a failed builder stays failed";
  DecodedSample out;
  EXPECT_FALSE(b.Finish(out));
  EXPECT_FALSE(out.data);
}

TEST(SampleDataBuilder, TheFirstRoomOfACompressedFileIsTheClaimAsFarAsTheFileSizeMakesItPlausible)
{
  // A truthful file: one allocation of its length.
  EXPECT_EQ(CompressedFirstFrames(2646000, 218737, 16), 2646000u);
  EXPECT_EQ(CompressedFirstFrames(1000, 10, 16), 1000u);
  // A claim far beyond the file's size: so many frames per byte of it, at least 2^16, at most 2^24.
  EXPECT_EQ(CompressedFirstFrames(100000000, 20000, 16), 320000u);
  EXPECT_EQ(CompressedFirstFrames(100000000, 100, 16), kDecodeFirstFramesMin);
  EXPECT_EQ(CompressedFirstFrames(UINT32_MAX, 20000000, 16), kDecodeFirstFramesMax);
  EXPECT_EQ(CompressedFirstFrames(UINT32_MAX, UINT64_MAX, 2), kDecodeFirstFramesMax);
  EXPECT_EQ(CompressedFirstFrames(100000000, 200000, 2), 400000u);
}
