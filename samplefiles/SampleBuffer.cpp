#include "samplefiles/SampleBuffer.h"

#include <algorithm>
#include <cstddef>

void ReverseSampleData(double* data, uint32_t frames, int channels)
{
  if (data == nullptr || frames == 0) return;
  std::reverse(data, data + frames);
  if (channels >= 2) std::reverse(data + frames, data + 2 * size_t{frames});
}
