// The sample view's waveform picture: how long a rebuild holds the instance mutex for a long sample,
// and what a redraw of the panel from the picture costs.

#include "editor/WaveformPicture.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{
std::vector<double> StereoSine(uint32_t frames)
{
  std::vector<double> data(2 * static_cast<size_t>(frames));
  for (uint32_t i = 0; i < frames; ++i)
  {
    data[i] = std::sin(i * 0.01);
    data[frames + i] = std::cos(i * 0.013);
  }
  return data;
}

// Frames of a stereo sample: 1 s, 10 s and 60 s at 48 kHz.
void BM_WaveformPictureBuild(benchmark::State& state)
{
  const uint32_t frames = static_cast<uint32_t>(state.range(0));
  const std::vector<double> data = StereoSine(frames);
  WaveformPicture picture(26, 78, 176, 150);
  for (auto _ : state)
  {
    picture.Build(data.data(), frames, 2);
    benchmark::DoNotOptimize(picture.LineTop(1, 0));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * frames);
}
BENCHMARK(BM_WaveformPictureBuild)->Arg(48000)->Arg(480000)->Arg(2880000)->Unit(benchmark::kMillisecond);
} // namespace
