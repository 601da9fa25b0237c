#include "samplefiles/SampleDataBuilder.h"

#include "samplefiles/SampleFileLimits.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace
{
// An uninitialised array: every entry that is handed over has been written by a reader, and the room
// past Frames() is never read, so zeroing it would only cost a pass over memory.
std::unique_ptr<double[]> NewArray(uint64_t count)
{
  if (count > std::numeric_limits<size_t>::max() / sizeof(double)) return {};
  return std::unique_ptr<double[]>(new (std::nothrow) double[static_cast<size_t>(count)]);
}
} // namespace

uint32_t CompressedFirstFrames(uint32_t claimedFrames, uint64_t fileBytes, uint32_t framesPerByte)
{
  // fileBytes is at most 2^64 - 1 and the factor small: divide instead of multiplying to stay in range.
  const uint64_t plausible = fileBytes > kDecodeFirstFramesMax / std::max(framesPerByte, 1u)
                                 ? kDecodeFirstFramesMax
                                 : std::max<uint64_t>(kDecodeFirstFramesMin, fileBytes * framesPerByte);
  return static_cast<uint32_t>(std::min<uint64_t>(claimedFrames, plausible));
}

SampleDataBuilder::SampleDataBuilder(int planes, uint32_t limit, uint32_t firstFrames)
    : mLimit(limit), mFirstFrames(std::max<uint32_t>(1, std::min(firstFrames, limit))),
      mPlanes(std::max(planes, 1))
{
}

uint32_t SampleDataBuilder::Room(uint32_t count)
{
  if (mFailed) return 0;
  count = std::min(count, mLimit - mFrames);
  if (count > mCapacity - mFrames && !Grow(uint64_t{mFrames} + count)) return 0;
  return count;
}

bool SampleDataBuilder::Grow(uint64_t needed)
{
  // Double, start at firstFrames, never pass the limit or the memory cap; check by division so that
  // nothing overflows.
  const uint64_t mostFrames = std::min<uint64_t>(mLimit, kMaxSampleDataBytes / sizeof(double) / mPlanes);
  if (needed > mostFrames)
  {
    mFailed = true;
    return false;
  }
  const uint64_t capacity =
      std::min(mostFrames, std::max({needed, uint64_t{mFirstFrames}, 2 * uint64_t{mCapacity}}));
  std::unique_ptr<double[]> grown = NewArray(capacity * static_cast<uint64_t>(mPlanes));
  if (!grown)
  {
    mFailed = true;
    return false;
  }
  for (int p = 0; p < mPlanes && mFrames != 0; ++p)
    std::memcpy(grown.get() + static_cast<size_t>(p) * capacity,
                mData.get() + static_cast<size_t>(p) * mCapacity, sizeof(double) * mFrames);
  mData = std::move(grown);
  mCapacity = static_cast<uint32_t>(capacity);
  return true;
}

bool SampleDataBuilder::Finish(DecodedSample& out)
{
  if (mFailed) return false;
  if (mFrames == 0)
  {
    // The one 0.0 of an empty slot.
    std::unique_ptr<double[]> empty(new (std::nothrow) double[1]());
    if (!empty) return false;
    out.data = std::move(empty);
    out.frames = 0;
    return true;
  }
  if (mFrames != mCapacity)
  {
    std::unique_ptr<double[]> exact = NewArray(uint64_t{mFrames} * static_cast<uint64_t>(mPlanes));
    if (!exact)
    {
      mFailed = true;
      return false;
    }
    for (int p = 0; p < mPlanes; ++p)
      std::memcpy(exact.get() + static_cast<size_t>(p) * mFrames,
                  mData.get() + static_cast<size_t>(p) * mCapacity, sizeof(double) * mFrames);
    mData = std::move(exact);
    mCapacity = mFrames;
  }
  out.data = std::move(mData);
  out.frames = mFrames;
  mCapacity = mFrames = 0;
  return true;
}
