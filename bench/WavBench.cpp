// WAV decoding throughput in MB of file per second: our reader and data step side by side with
// libsndfile decoding the same file to doubles. The ~50 MB test files (16-bit and 24-bit stereo) are
// written to a temporary folder on first use and removed at exit; after the first pass they are read
// from the page cache, so the figures measure decoding, not the disk.

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

void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class BenchFiles
{
public:
  ~BenchFiles()
  {
    std::error_code ignored;
    if (!mDir.empty()) std::filesystem::remove_all(mDir, ignored);
  }

  // The path of a stereo integer PCM file of bits 16 or 24, written on first request.
  const std::string& Path(int bits)
  {
    std::string& path = bits == 16 ? mPath16 : mPath24;
    if (path.empty()) path = Write(bits);
    return path;
  }

private:
  std::string Write(int bits)
  {
    if (mDir.empty())
    {
      std::string pattern = (std::filesystem::temp_directory_path() / "kestrune-bench-XXXXXX").string();
      if (mkdtemp(pattern.data()) == nullptr) std::abort();
      mDir = pattern;
    }
    const uint32_t frameBytes = kChannels * bits / 8;
    const uint32_t frames = static_cast<uint32_t>(kTargetFileBytes / frameBytes);
    const uint32_t dataBytes = frames * frameBytes;
    std::vector<uint8_t> bytes{'R', 'I', 'F', 'F'};
    PutLe(bytes, 4 + 24 + 8 + dataBytes, 4);
    for (char c : std::string("WAVEfmt "))
      bytes.push_back(static_cast<uint8_t>(c));
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2);
    PutLe(bytes, kChannels, 2);
    PutLe(bytes, 44100, 4);
    PutLe(bytes, 44100 * frameBytes, 4);
    PutLe(bytes, frameBytes, 2);
    PutLe(bytes, static_cast<uint32_t>(bits), 2);
    for (char c : std::string("data"))
      bytes.push_back(static_cast<uint8_t>(c));
    PutLe(bytes, dataBytes, 4);
    bytes.reserve(bytes.size() + dataBytes);
    const double full = bits == 16 ? 32767.0 : 8388607.0;
    for (uint32_t f = 0; f < frames; ++f)
      for (int c = 0; c < kChannels; ++c)
        PutLe(bytes, static_cast<uint32_t>(static_cast<int32_t>(std::sin(f * 0.001 * (c + 1)) * full)),
              bits / 8);

    const std::string path = mDir + "/stereo" + std::to_string(bits) + ".wav";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
    std::fclose(file);
    return path;
  }

  std::string mDir, mPath16, mPath24;
};

BenchFiles gFiles;

int64_t FileBytes(const std::string& path)
{
  return static_cast<int64_t>(std::filesystem::file_size(path));
}

// Our whole WAV load as the loading flow runs it: header step, zeroed planar buffer, data step.
void BM_KestruneWavLoadPlanar(benchmark::State& state)
{
  const std::string& path = gFiles.Path(static_cast<int>(state.range(0)));
  for (auto _ : state)
  {
    SampleFileInfo info;
    if (!ReadWavHeader(path.c_str(), info)) state.SkipWithError("header");
    auto data = AllocateSampleData(info.frames, info.channels);
    if (!data || !LoadWavSampleData(path.c_str(), data.get(), info.frames, info.channels))
      state.SkipWithError("data");
    benchmark::DoNotOptimize(data.get());
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(path));
}

// The data step alone into a planar buffer allocated once, so that the figure is the decoding and
// deinterleaving without the page faults of a fresh 200 MB allocation.
void BM_KestruneWavDataStepPlanar(benchmark::State& state)
{
  const std::string& path = gFiles.Path(static_cast<int>(state.range(0)));
  SampleFileInfo info;
  if (!ReadWavHeader(path.c_str(), info)) state.SkipWithError("header");
  auto data = AllocateSampleData(info.frames, info.channels);
  for (auto _ : state)
  {
    if (!data || !LoadWavSampleData(path.c_str(), data.get(), info.frames, info.channels))
      state.SkipWithError("data");
    benchmark::DoNotOptimize(data.get());
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
