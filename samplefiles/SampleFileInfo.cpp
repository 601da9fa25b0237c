#include "samplefiles/SampleFileInfo.h"

double SampleRateRatio(const SampleFileInfo& info, double engineRate)
{
  const double ratio = static_cast<double>(info.sampleRate) / engineRate;
  if (info.kind == SampleFileKind::kOgg) return static_cast<double>(static_cast<float>(ratio));
  return ratio;
}

double SampleDurationSeconds(const SampleFileInfo& info)
{
  if (info.sampleRate == 0) return 0.0;
  return static_cast<double>(info.frames) / static_cast<double>(info.sampleRate);
}
