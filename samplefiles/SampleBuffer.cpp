#include "samplefiles/SampleBuffer.h"

#include "samplefiles/SampleFileLimits.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>

std::unique_ptr<double[]> AllocateSampleData(uint32_t frames, int channels)
{
  if (frames == 0 || channels <= 0) return {};
  // Both factors fit in 32 bits, so their product fits in 64 bits; divide before comparing so that
  // the byte count cannot overflow either.
  const uint64_t count = uint64_t{frames} * static_cast<uint64_t>(channels);
  if (count > kMaxSampleDataBytes / sizeof(double)) return {};
  if (count > std::numeric_limits<size_t>::max() / sizeof(double)) return {};
  return std::unique_ptr<double[]>(new (std::nothrow) double[static_cast<size_t>(count)]());
}

void ReverseSampleData(double* data, uint32_t frames, int channels)
{
  if (data == nullptr || frames == 0) return;
  std::reverse(data, data + frames);
  if (channels >= 2) std::reverse(data + frames, data + 2 * size_t{frames});
}
