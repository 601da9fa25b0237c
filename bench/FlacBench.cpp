// Loading a 60-second stereo FLAC file at 44.1 kHz, 16 and 24 bits, written by libsndfile: our header
// and data steps (planar doubles in a fresh buffer) side by side with libsndfile decoding the same file
// into a fresh buffer of interleaved doubles. The files come from the page cache after the first pass,
// so the figures measure decoding.

#include "bench/BenchFiles.h"
#include "samplefiles/FlacLoader.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kSeconds = 60;
constexpr int kRate = 44100;
constexpr int kFrames = kSeconds * kRate;

benchfiles::TempFolder gFolder{"kestrune-flacbench"};

// The file of a width, written on first use: channel c holds sin(frame * 0.001 * (c + 1)) at 0.9 of
// full scale.
const std::string& FlacFile(int bits)
{
  static std::map<int, std::string> files;
  std::string& path = files[bits];
  if (path.empty())
  {
    path = gFolder.Dir() + "/stereo60_" + std::to_string(bits) + ".flac";
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_FLAC | (bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) std::abort();
    std::vector<double> s(2 * size_t{kFrames});
    for (int f = 0; f < kFrames; ++f)
      for (int c = 0; c < 2; ++c)
        s[2 * size_t(f) + c] = 0.9 * std::sin(f * 0.001 * (c + 1));
    if (sf_writef_double(file, s.data(), kFrames) != kFrames) std::abort();
    sf_close(file);
  }
  return path;
}

void Rate(benchmark::State& state)
{
  state.counters["audio_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

void BM_KestruneFlacHeaderAndDataSteps(benchmark::State& state)
{
  const std::string& path = FlacFile(static_cast<int>(state.range(0)));
  for (auto _ : state)
  {
    SampleFileInfo info;
    if (!ReadFlacHeader(path.c_str(), info)) state.SkipWithError("header");
    DecodedSample data;
    if (!LoadFlacSampleData(path.c_str(), info.frames, info.channels, data) || data.frames != kFrames)
      state.SkipWithError("data");
    benchmark::DoNotOptimize(data.data.get());
  }
  Rate(state);
}

// libsndfile: open, the whole file as interleaved doubles into a fresh buffer, close.
void BM_SndfileFlacDecode(benchmark::State& state)
{
  const std::string& path = FlacFile(static_cast<int>(state.range(0)));
  for (auto _ : state)
  {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) state.SkipWithError("open");
    std::unique_ptr<double[]> out(new double[static_cast<size_t>(info.frames) * info.channels]);
    if (sf_readf_double(file, out.get(), info.frames) != info.frames) state.SkipWithError("read");
    sf_close(file);
    benchmark::DoNotOptimize(out.get());
  }
  Rate(state);
}
} // namespace

BENCHMARK(BM_KestruneFlacHeaderAndDataSteps)->Arg(16)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SndfileFlacDecode)->Arg(16)->Arg(24)->Unit(benchmark::kMillisecond);
