// Loading a 60-second stereo sample: our header and data steps side by side with libsndfile decoding
// the same 24-bit WAV file and a bare libvorbisfile ov_read_float loop decoding the same Ogg Vorbis
// file; and how long a render call running on another thread waits while a file loads into a slot,
// through the editor's route (decoded outside the instance mutex) and through the host's route (a
// state restore, decoded under it).
//
// The files are written to a temporary folder on first use and removed at exit; after the first pass
// they come from the page cache, so the figures measure decoding, not the disk.

#include "bench/BenchFiles.h"
#include "engine/Kestrune.h"
#include "samplefiles/OggLoader.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "tests/samplefiles/OggTestFiles.h"

#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sched.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int kSeconds = 60;
constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrames = kSeconds * kRate;
constexpr int kChannels = 2;
constexpr int kRenderFrames = 64;

class LoadFiles
{
public:
  const std::string& Wav()
  {
    if (mWav.empty())
    {
      mWav = mFolder.Dir() + "/stereo60_24.wav";
      benchfiles::WriteSineWav(mWav, kFrames, kChannels, kRate, 24);
    }
    return mWav;
  }
  const std::string& Ogg()
  {
    if (mOgg.empty())
    {
      mOgg = mFolder.Dir() + "/stereo60.ogg";
      if (!oggtest::WriteOgg(mOgg, kChannels, kRate, kFrames)) std::abort();
    }
    return mOgg;
  }

private:
  benchfiles::TempFolder mFolder{"kestrune-loadbench"};
  std::string mWav, mOgg;
};

LoadFiles gFiles;

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

VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  return opcode == audioMasterVersion ? 2400 : 0;
}

// A render thread calls the process callback in a loop (64-frame blocks, one voice sounding on
// another slot) while this thread loads the file into slot 0 again and again (or, for the baseline,
// sleeps as long). Before every call the render thread takes and releases the instance mutex on its
// own, timing how long it waits for it: max_lock_wait_ms is what the loading flow makes the audio
// thread wait; max_call_ms, the longest process call, adds whatever the scheduler does to a thread
// on a busy machine (compare the baseline). The render thread asks for a real-time priority, as a
// host's audio thread has; without the right to it the figures include the machine's other load.
enum class LoadKind
{
  kEditor,
  kHost,
  kNone
};

void RenderWaitDuringLoad(benchmark::State& state, const std::string& path, LoadKind kind)
{
  IEffectInstanceInfo info;
  info.mHostCallback = &QuietHost;
  auto plug = std::make_unique<CLS_KESTRUNE>(info);
  AEffect* fx = plug->GetAEffect();
  fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  fx->dispatcher(fx, effSetBlockSize, 0, kRenderFrames, nullptr, 0.0f);
  fx->dispatcher(fx, effOpen, 0, 0, nullptr, 0.0f);
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  plug->LoadFile(1, path.c_str());
  plug->LoadFile(0, path.c_str());

  std::atomic<bool> stop{false};
  std::atomic<bool> measuring{false};
  std::atomic<int64_t> longestCallNs{0};
  std::atomic<int64_t> longestLockNs{0};
  std::atomic<int64_t> blocks{0};
  auto since = [](std::chrono::steady_clock::time_point t)
  {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t).count();
  };
  std::thread render(
      [&]
      {
        // As an audio thread runs in a host: at a real-time priority where the system allows it, so
        // that the figures show the loading flow rather than the other programs on the machine.
        sched_param param = {};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO);
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
        double left[kRenderFrames], right[kRenderFrames];
        double* outs[2] = {left, right};
        fx->processDoubleReplacing(fx, nullptr, outs, kRenderFrames);
        VstMidiEvent on = {};
        on.type = kVstMidiType;
        on.byteSize = sizeof(on);
        on.midiData[0] = static_cast<char>(0x90);
        on.midiData[1] = 60;
        on.midiData[2] = 100;
        VstEvents events = {};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&on);
        fx->dispatcher(fx, effProcessEvents, 0, 0, &events, 0.0f);
        while (!stop.load())
        {
          const bool measuredBefore = measuring.load();
          auto t0 = std::chrono::steady_clock::now();
          plug->Mutex().lock();
          const int64_t lockNs = since(t0);
          plug->Mutex().unlock();
          t0 = std::chrono::steady_clock::now();
          fx->processDoubleReplacing(fx, nullptr, outs, kRenderFrames);
          const int64_t callNs = since(t0);
          // A block that waited through a whole load finds the load over: it counts when the load
          // was running as it began or as it ended.
          if (measuredBefore || measuring.load())
          {
            if (lockNs > longestLockNs.load()) longestLockNs.store(lockNs);
            if (callNs > longestCallNs.load()) longestCallNs.store(callNs);
            blocks.fetch_add(1);
          }
        }
      });
  for (auto _ : state)
  {
    measuring.store(true);
    if (kind == LoadKind::kNone)
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    else
      plug->LoadFile(0, path.c_str(),
                     kind == LoadKind::kEditor ? CLS_KESTRUNE::LoadRoute::kEditor
                                               : CLS_KESTRUNE::LoadRoute::kHost);
    measuring.store(false);
  }
  stop.store(true);
  render.join();
  state.counters["max_lock_wait_ms"] = static_cast<double>(longestLockNs.load()) / 1e6;
  state.counters["max_call_ms"] = static_cast<double>(longestCallNs.load()) / 1e6;
  state.counters["blocks"] = static_cast<double>(blocks.load());
  fx->dispatcher(fx, effClose, 0, 0, nullptr, 0.0f);
  plug.release();
}

void BM_RenderWaitWav24EditorLoad(benchmark::State& state)
{
  RenderWaitDuringLoad(state, gFiles.Wav(), LoadKind::kEditor);
}
void BM_RenderWaitOggEditorLoad(benchmark::State& state)
{
  RenderWaitDuringLoad(state, gFiles.Ogg(), LoadKind::kEditor);
}
void BM_RenderWaitWav24HostLoad(benchmark::State& state)
{
  RenderWaitDuringLoad(state, gFiles.Wav(), LoadKind::kHost);
}
void BM_RenderWaitBaselineNoLoad(benchmark::State& state)
{
  RenderWaitDuringLoad(state, gFiles.Wav(), LoadKind::kNone);
}
} // namespace

BENCHMARK(BM_KestruneWav24HeaderAndDataSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SndfileWav24Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KestruneOggHeaderAndDataSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VorbisfileOggDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWaitWav24EditorLoad)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_RenderWaitOggEditorLoad)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RenderWaitWav24HostLoad)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RenderWaitBaselineNoLoad)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
