// Memory of a load. Files whose header claims far more frames than they hold: a real eight-second mono
// Ogg Vorbis file (about 20 KB) whose last page says the stream ends at frame 10^8 or 10^9. And files of
// six channels, 60 seconds at 48 kHz, of which the slot keeps the two channels that play. Each
// iteration runs the header step and the data step as the loading flow does; peak_MB is the most
// memory the process's operator new held at once during the load, above what it held before, frames
// the frames the slot ends up with, file_KB the file's size.

#include "AllocationCounter.h"
#include "bench/BenchFiles.h"
#include "samplefiles/OggLoader.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "tests/samplefiles/OggTestFiles.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace
{
constexpr long kRate = 44100;
constexpr long kFrames = 8 * kRate;

benchfiles::TempFolder gFolder{"kestrune-craftedbench"};

// The crafted file for a claimed length, written on first use.
const std::string& CraftedOgg(int64_t claimedFrames)
{
  static std::map<int64_t, std::string> files;
  std::string& path = files[claimedFrames];
  if (path.empty())
  {
    path = gFolder.Dir() + "/claims" + std::to_string(claimedFrames) + ".ogg";
    if (!oggtest::WriteOgg(path, 1, kRate, kFrames) || !oggtest::PatchLastGranule(path, claimedFrames))
      std::abort();
  }
  return path;
}

// Header step and data step; the counters as described above.
template <bool (*Header)(const char*, SampleFileInfo&),
          bool (*Data)(const char*, uint32_t, int, DecodedSample&)>
void MeasureLoad(benchmark::State& state, const std::string& path)
{
  double peakBytes = 0.0, frames = 0.0;
  for (auto _ : state)
  {
    const size_t before = testalloc::LiveBytes();
    testalloc::ResetPeak();
    SampleFileInfo info;
    if (!Header(path.c_str(), info)) state.SkipWithError("header");
    DecodedSample data;
    if (!Data(path.c_str(), info.frames, info.channels, data)) state.SkipWithError("data");
    benchmark::DoNotOptimize(data.data.get());
    peakBytes = static_cast<double>(testalloc::PeakBytes() - before);
    frames = data.frames;
  }
  if (!testalloc::Active()) state.SkipWithError("operator new is not counted");
  state.counters["peak_MB"] = peakBytes / 1e6;
  state.counters["frames"] = frames;
  state.counters["file_KB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e3;
}

void BM_CraftedOggLoad(benchmark::State& state)
{
  MeasureLoad<ReadOggHeader, LoadOggSampleData>(state, CraftedOgg(state.range(0)));
}

constexpr uint32_t kSixRate = 48000;
constexpr uint32_t kSixFrames = 60 * kSixRate;

void BM_SixChannelWav16Load(benchmark::State& state)
{
  static const std::string path = []
  {
    const std::string p = gFolder.Dir() + "/six60.wav";
    benchfiles::WriteSineWav(p, kSixFrames, 6, kSixRate, 16);
    return p;
  }();
  MeasureLoad<ReadWavHeader, LoadWavSampleData>(state, path);
}

void BM_SixChannelOggLoad(benchmark::State& state)
{
  static const std::string path = []
  {
    const std::string p = gFolder.Dir() + "/six60.ogg";
    if (!oggtest::WriteOgg(p, 6, kSixRate, kSixFrames)) std::abort();
    return p;
  }();
  MeasureLoad<ReadOggHeader, LoadOggSampleData>(state, path);
}
} // namespace

BENCHMARK(BM_CraftedOggLoad)->Arg(100000000)->Arg(1000000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixChannelWav16Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixChannelOggLoad)->Unit(benchmark::kMillisecond);
