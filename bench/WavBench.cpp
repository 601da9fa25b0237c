// WAV decoding throughput in MB of file per second: our reader and data step side by side with
// libsndfile decoding the same file to doubles. The ~50 MB test files (16-bit and 24-bit stereo) are
// written to a temporary folder on first use and removed at exit; after the first pass they are read
// from the page cache, so the figures measure decoding, not the disk.

#include "bench/BenchFiles.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "samplefiles/WavReader.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr uint64_t kTargetFileBytes = 50u * 1000 * 1000;
constexpr int kChannels = 2;

class BenchFiles
{
public:
  // The path of a stereo integer PCM file of bits 16 or 24 of about kTargetFileBytes, written on first
  // request.
  const std::string& Path(int bits)
  {
    std::string& path = bits == 16 ? mPath16 : mPath24;
    if (path.empty())
    {
      path = mFolder.Dir() + "/stereo" + std::to_string(bits) + ".wav";
      const uint32_t frameBytes = kChannels * bits / 8;
      benchfiles::WriteSineWav(path, static_cast<uint32_t>(kTargetFileBytes / frameBytes), kChannels, 44100,
                               bits);
    }
    return path;
  }

private:
  benchfiles::TempFolder mFolder{"kestrune-bench"};
  std::string mPath16, mPath24;
};

BenchFiles gFiles;

int64_t FileBytes(const std::string& path)
{
  return static_cast<int64_t>(std::filesystem::file_size(path));
}

// Our whole WAV load as the loading flow runs it: header step, then the data step into a fresh planar
// buffer.
void BM_KestruneWavLoadPlanar(benchmark::State& state)
{
  const std::string& path = gFiles.Path(static_cast<int>(state.range(0)));
  for (auto _ : state)
  {
    SampleFileInfo info;
    if (!ReadWavHeader(path.c_str(), info)) state.SkipWithError("header");
    DecodedSample data;
    if (!LoadWavSampleData(path.c_str(), info.frames, info.channels, data)) state.SkipWithError("data");
    benchmark::DoNotOptimize(data.data.get());
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(path));
}

// The reader's planar read alone into planes allocated once, so that the figure is the decoding and
// deinterleaving without the page faults of a fresh 200 MB allocation.
void BM_KestruneWavDataStepPlanar(benchmark::State& state)
{
  const std::string& path = gFiles.Path(static_cast<int>(state.range(0)));
  SampleFileInfo info;
  if (!ReadWavHeader(path.c_str(), info)) state.SkipWithError("header");
  std::vector<double> planes(2 * size_t{info.frames});
  for (auto _ : state)
  {
    WavReader reader;
    if (!reader.Open(path.c_str()) ||
        reader.ReadPlanes(planes.data(), planes.data() + info.frames, info.frames) != info.frames)
      state.SkipWithError("data");
    benchmark::DoNotOptimize(planes.data());
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(path));
}

// Our reader alone, interleaved doubles into a buffer kept across iterations (as the libsndfile case).
void BM_KestruneWavReadInterleaved(benchmark::State& state)
{
  const std::string& path = gFiles.Path(static_cast<int>(state.range(0)));
  std::vector<double> out;
  for (auto _ : state)
  {
    WavReader reader;
    if (!reader.Open(path.c_str())) state.SkipWithError("open");
    out.resize(size_t{reader.Frames()} * reader.Channels());
    benchmark::DoNotOptimize(reader.Read(out.data(), out.size()));
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(path));
}

// libsndfile decoding the same file to interleaved doubles.
void BM_SndfileReadInterleaved(benchmark::State& state)
{
  const std::string& path = gFiles.Path(static_cast<int>(state.range(0)));
  std::vector<double> out;
  for (auto _ : state)
  {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) state.SkipWithError("sf_open");
    out.resize(static_cast<size_t>(info.frames) * info.channels);
    benchmark::DoNotOptimize(sf_readf_double(file, out.data(), info.frames));
    sf_close(file);
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(path));
}
} // namespace

BENCHMARK(BM_KestruneWavLoadPlanar)->Arg(16)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KestruneWavDataStepPlanar)->Arg(16)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KestruneWavReadInterleaved)->Arg(16)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SndfileReadInterleaved)->Arg(16)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
