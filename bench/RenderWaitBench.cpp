// How long a host's audio thread waits for the instance while a 60-second stereo file (24-bit WAV or
// Ogg Vorbis) loads into a slot.
//
// A render thread is paced as a host's audio thread is: it sleeps until each block's deadline (64
// frames at 44.1 kHz, clock_nanosleep on an absolute time), at a real-time priority where the system
// allows it, and a note sounds on another slot. Per block it times, apart from each other, how late it
// woke, how long it waited for the instance mutex (taken and released on its own just before the
// call) and the process call. Meanwhile this thread loads the file into slot 0 again and again:
//   Bare    the editor's route called directly on a thread that holds no mutex, as the loader runs it;
//   Editor  a drop through the graphics context's OnDrop on this thread while it holds the instance
//           mutex, as a window thread does when it handles input; the sample view queues the load for
//           the instance's loader thread, the benchmark waits for it and then lets the editor tick
//           (under the mutex too), which redraws the slot;
//   Host    the host's route (a restored state into an empty slot), which decodes under the mutex by
//           design;
//   None    no load: what the machine alone does to the render thread.
// Counters: max_hold_ms, the loader thread's longest step under the mutex (Bare and Editor);
// max_editor_hold_ms, the longest the editor thread held it (the drop, the tick); max_lock_wait_ms,
// max_call_ms and max_late_ms over the blocks that ran while a load was under way; blocks.

#include "bench/BenchFiles.h"
#include "editor/MySample.h"
#include "engine/Kestrune.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace
{
using benchfiles::LargeSamples;
constexpr int kRenderFrames = 64;
constexpr double kRenderRate = 44100.0;
constexpr int64_t kNsPerSecond = 1000000000;
constexpr double kNsPerMs = 1e6;
constexpr int kPlayedNote = 60;
constexpr int kBaselineSleepMs = 40;

enum class LoadKind
{
  kBare,
  kEditor,
  kHost,
  kNone
};

VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  return opcode == audioMasterVersion ? 2400 : 0;
}

int64_t NowNs()
{
  timespec t = {};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec;
}

void SleepUntilNs(int64_t deadline)
{
  timespec t = {};
  t.tv_sec = static_cast<time_t>(deadline / kNsPerSecond);
  t.tv_nsec = static_cast<long>(deadline % kNsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0)
  {
  }
}

void RaiseTo(std::atomic<int64_t>& value, int64_t candidate)
{
  int64_t current = value.load(std::memory_order_relaxed);
  while (candidate > current && !value.compare_exchange_weak(current, candidate, std::memory_order_relaxed))
  {
  }
}

// The render thread: blocks at their deadlines, each block's lock wait, call and lateness apart.
class PacedRenderThread
{
public:
  explicit PacedRenderThread(CLS_KESTRUNE& plug) : mPlug(plug), mThread(&PacedRenderThread::Run, this) {}
  ~PacedRenderThread()
  {
    mStop.store(true);
    mThread.join();
  }
  // Blocks count while a load is under way: one that began or ended while measuring was on, or that
  // a whole measured part passed by (it waited through it).
  void Measure(bool on)
  {
    if (on) mMeasuredParts.fetch_add(1);
    mMeasuring.store(on);
  }
  double LongestLockWaitMs() const { return mLongestLockNs.load() / kNsPerMs; }
  double LongestCallMs() const { return mLongestCallNs.load() / kNsPerMs; }
  double LongestLateMs() const { return mLongestLateNs.load() / kNsPerMs; }
  double Blocks() const { return static_cast<double>(mBlocks.load()); }
  bool RealTime() const { return mRealTime.load(); }

private:
  void Run()
  {
    sched_param param = {};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1;
    mRealTime.store(pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0);
    AEffect* fx = mPlug.GetAEffect();
    double left[kRenderFrames], right[kRenderFrames];
    double* outs[2] = {left, right};
    const int64_t period = static_cast<int64_t>(kRenderFrames * kNsPerSecond / kRenderRate);
    int64_t deadline = NowNs() + period;
    for (long block = 0; !mStop.load(); ++block, deadline += period)
    {
      SleepUntilNs(deadline);
      const int64_t woke = NowNs();
      if (block == 1)
      {
        // With the second block: notes before the first render call are dropped.
        VstMidiEvent on = {};
        on.type = kVstMidiType;
        on.byteSize = sizeof(on);
        on.midiData[0] = static_cast<char>(0x90);
        on.midiData[1] = kPlayedNote;
        on.midiData[2] = 100;
        VstEvents events = {};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&on);
        fx->dispatcher(fx, effProcessEvents, 0, 0, &events, 0.0f);
      }
      const bool measuredBefore = mMeasuring.load();
      const long partsBefore = mMeasuredParts.load();
      mPlug.Mutex().lock();
      const int64_t locked = NowNs();
      mPlug.Mutex().unlock();
      const int64_t called = NowNs();
      fx->processDoubleReplacing(fx, nullptr, outs, kRenderFrames);
      const int64_t done = NowNs();
      if (measuredBefore || mMeasuring.load() || mMeasuredParts.load() != partsBefore)
      {
        RaiseTo(mLongestLateNs, woke - deadline);
        RaiseTo(mLongestLockNs, locked - woke);
        RaiseTo(mLongestCallNs, done - called);
        mBlocks.fetch_add(1);
      }
      // Far behind (the system stopped the thread): start again from now, as a host does.
      if (done > deadline + 8 * period) deadline = done;
    }
  }

  CLS_KESTRUNE& mPlug;
  std::atomic<bool> mStop{false}, mMeasuring{false}, mRealTime{false};
  std::atomic<int64_t> mLongestLockNs{0}, mLongestCallNs{0}, mLongestLateNs{0};
  std::atomic<long> mBlocks{0};
  std::atomic<long> mMeasuredParts{0};
  std::thread mThread; // last: starts once the rest is set up
};

void RenderWaitDuringLoad(benchmark::State& state, const std::string& path, LoadKind kind)
{
  IEffectInstanceInfo info;
  info.mHostCallback = &QuietHost;
  auto plug = std::make_unique<CLS_KESTRUNE>(info);
  AEffect* fx = plug->GetAEffect();
  fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRenderRate));
  fx->dispatcher(fx, effSetBlockSize, 0, kRenderFrames, nullptr, 0.0f);
  fx->dispatcher(fx, effOpen, 0, 0, nullptr, 0.0f);
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  auto* graphics = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(plug.get()));
  if (!graphics || !graphics->Open(nullptr))
  {
    state.SkipWithError("no editor");
    return;
  }
  plug->LoadFile(1, path.c_str());
  plug->LoadFile(0, path.c_str());
  graphics->Ticks(1);
  const IRECT view = plug->Views()->SampleView(0)->GetRECT();
  int64_t longestEditorHoldNs = 0;
  auto editorStep = [&](auto&& work)
  {
    std::lock_guard<InstanceMutex> lock(plug->Mutex());
    const int64_t since = NowNs();
    work();
    longestEditorHoldNs = std::max(longestEditorHoldNs, NowNs() - since);
  };

  plug->TakeLoaderLongestHoldNs();
  {
    PacedRenderThread render(*plug);
    for (auto _ : state)
    {
      // A restore of the file the slot holds keeps its buffer: the host's route loads into an empty
      // slot, emptied before the measured part.
      if (kind == LoadKind::kHost)
      {
        state.PauseTiming();
        plug->ClearSample(0, "");
        state.ResumeTiming();
      }
      render.Measure(true);
      switch (kind)
      {
      case LoadKind::kNone:
        std::this_thread::sleep_for(std::chrono::milliseconds(kBaselineSleepMs));
        break;
      case LoadKind::kBare:
        plug->LoadFile(0, path.c_str(), CLS_KESTRUNE::LoadRoute::kEditor);
        break;
      case LoadKind::kHost:
        plug->LoadFile(0, path.c_str(), CLS_KESTRUNE::LoadRoute::kHost);
        break;
      case LoadKind::kEditor:
        editorStep([&] { graphics->OnDrop(view.MW(), view.MH(), path.c_str()); });
        plug->WaitForLoads();
        editorStep([&] { graphics->Ticks(1); });
        break;
      }
      render.Measure(false);
    }
    state.counters["max_hold_ms"] = plug->LoaderLongestHoldNs() / kNsPerMs;
    state.counters["max_editor_hold_ms"] = longestEditorHoldNs / kNsPerMs;
    state.counters["max_lock_wait_ms"] = render.LongestLockWaitMs();
    state.counters["max_call_ms"] = render.LongestCallMs();
    state.counters["max_late_ms"] = render.LongestLateMs();
    state.counters["blocks"] = render.Blocks();
    if (!render.RealTime()) state.SetLabel("render thread without real-time priority");
  }
  fx->dispatcher(fx, effClose, 0, 0, nullptr, 0.0f);
  plug.release(); // effClose deleted it
}

void BM_RenderWaitWav24BareEditorRoute(benchmark::State& state)
{
  RenderWaitDuringLoad(state, LargeSamples::Get().Wav(), LoadKind::kBare);
}
void BM_RenderWaitOggBareEditorRoute(benchmark::State& state)
{
  RenderWaitDuringLoad(state, LargeSamples::Get().Ogg(), LoadKind::kBare);
}
void BM_RenderWaitWav24EditorDrop(benchmark::State& state)
{
  RenderWaitDuringLoad(state, LargeSamples::Get().Wav(), LoadKind::kEditor);
}
void BM_RenderWaitOggEditorDrop(benchmark::State& state)
{
  RenderWaitDuringLoad(state, LargeSamples::Get().Ogg(), LoadKind::kEditor);
}
void BM_RenderWaitWav24HostLoad(benchmark::State& state)
{
  RenderWaitDuringLoad(state, LargeSamples::Get().Wav(), LoadKind::kHost);
}
void BM_RenderWaitBaselineNoLoad(benchmark::State& state)
{
  RenderWaitDuringLoad(state, LargeSamples::Get().Wav(), LoadKind::kNone);
}
} // namespace

BENCHMARK(BM_RenderWaitWav24BareEditorRoute)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_RenderWaitOggBareEditorRoute)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RenderWaitWav24EditorDrop)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_RenderWaitOggEditorDrop)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RenderWaitWav24HostLoad)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RenderWaitBaselineNoLoad)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
