// Loading a 60-second stereo sample: our header and data steps side by side with libsndfile decoding
// the same 24-bit WAV file and a bare libvorbisfile ov_read_float loop decoding the same Ogg Vorbis
// file. How long the audio thread waits meanwhile is RenderWaitBench's.
//
// The files are written to a temporary folder on first use and removed at exit; after the first pass
// they come from the page cache, so the figures measure decoding, not the disk.

#include "bench/BenchFiles.h"
#include "samplefiles/OggLoader.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <memory>
#include <string>

namespace
{
using benchfiles::LargeSamples;
constexpr int kSeconds = LargeSamples::kSeconds;
constexpr int kChannels = LargeSamples::kChannels;

LargeSamples& gFiles = LargeSamples::Get();

// Header step and data step as the loading flow runs them, without the instance around them.
template <bool (*Header)(const char*, SampleFileInfo&),
          bool (*Data)(const char*, uint32_t, int, DecodedSample&)>
void LoadSteps(benchmark::State& state, const std::string& path)
{
  for (auto _ : state)
  {
    SampleFileInfo info;
    if (!Header(path.c_str(), info)) state.SkipWithError("header");
    DecodedSample data;
    if (!Data(path.c_str(), info.frames, info.channels, data)) state.SkipWithError("data");
    benchmark::DoNotOptimize(data.data.get());
  }
  state.counters["audio_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

void BM_KestruneWav24HeaderAndDataSteps(benchmark::State& state)
{
  LoadSteps<ReadWavHeader, LoadWavSampleData>(state, gFiles.Wav());
}

void BM_KestruneOggHeaderAndDataSteps(benchmark::State& state)
{
  LoadSteps<ReadOggHeader, LoadOggSampleData>(state, gFiles.Ogg());
}

// libsndfile: open, the whole file as interleaved doubles into a fresh buffer, close.
void BM_SndfileWav24Decode(benchmark::State& state)
{
  const std::string& path = gFiles.Wav();
  for (auto _ : state)
  {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) state.SkipWithError("open");
    std::unique_ptr<double[]> out(new double[static_cast<size_t>(info.frames) * info.channels]());
    if (sf_readf_double(file, out.get(), info.frames) != info.frames) state.SkipWithError("read");
    sf_close(file);
    benchmark::DoNotOptimize(out.get());
  }
  state.counters["audio_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

// A bare libvorbisfile loop: ov_fopen, ov_read_float until the end into planar doubles, ov_clear.
void BM_VorbisfileOggDecode(benchmark::State& state)
{
  const std::string& path = gFiles.Ogg();
  for (auto _ : state)
  {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) < 0) state.SkipWithError("open");
    const ogg_int64_t total = ov_pcm_total(&vf, -1);
    std::unique_ptr<double[]> out(new double[static_cast<size_t>(total) * kChannels]());
    int bitstream = 0;
    ogg_int64_t pos = 0;
    float** pcm = nullptr;
    long n;
    while ((n = ov_read_float(&vf, &pcm, 1024, &bitstream)) > 0 && pos < total)
    {
      const long take = static_cast<long>(std::min<ogg_int64_t>(n, total - pos));
      for (long j = 0; j < take; ++j)
      {
        out[static_cast<size_t>(pos + j)] = pcm[0][j];
        out[static_cast<size_t>(total + pos + j)] = pcm[1][j];
      }
      pos += take;
    }
    ov_clear(&vf);
    benchmark::DoNotOptimize(out.get());
  }
  state.counters["audio_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_KestruneWav24HeaderAndDataSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SndfileWav24Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KestruneOggHeaderAndDataSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VorbisfileOggDecode)->Unit(benchmark::kMillisecond);
