#include "tools/kestrune-host/PacedRender.h"

#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/PacedClock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace khost
{

namespace
{
constexpr uint8_t kNoteOn = 0x90;
constexpr double kNsPerMs = 1e6;

template <class T> void RaiseTo(std::atomic<T>& value, T candidate)
{
  T current = value.load(std::memory_order_relaxed);
  while (candidate > current && !value.compare_exchange_weak(current, candidate, std::memory_order_relaxed))
  {
  }
}
} // namespace

std::string PlayStats::Describe(int blockFrames, double rateHz, const char* span) const
{
  char line[320];
  std::snprintf(line, sizeof(line),
                "%ld blocks of %d frames at %.0f Hz %s, peak %.3f, longest process call %.3f ms, calls over "
                "%.0f ms: %ld, longest wake-up lateness %.3f ms",
                blocks, blockFrames, rateHz, span, static_cast<double>(peak), longestCallNs / kNsPerMs,
                kSlowProcessCallMs, slowCalls, longestLateNs / kNsPerMs);
  return line;
}

void PacedRender::Counters::Add(int64_t callNs, int64_t lateNs, float blockPeak)
{
  blocks.fetch_add(1, std::memory_order_relaxed);
  RaiseTo(longestCallNs, callNs);
  if (callNs > static_cast<int64_t>(kSlowProcessCallMs * kNsPerMs))
    slowCalls.fetch_add(1, std::memory_order_relaxed);
  RaiseTo(longestLateNs, lateNs);
  RaiseTo(peak, blockPeak);
}

PlayStats PacedRender::Counters::Read() const
{
  PlayStats s;
  s.blocks = blocks.load();
  s.longestCallNs = longestCallNs.load();
  s.slowCalls = slowCalls.load();
  s.longestLateNs = longestLateNs.load();
  s.peak = peak.load();
  return s;
}

void PacedRender::Counters::Clear()
{
  blocks.store(0);
  longestCallNs.store(0);
  slowCalls.store(0);
  longestLateNs.store(0);
  peak.store(0.0f);
}

PacedRender::PacedRender(HostedPlugin& plugin, int note, int velocity)
    : mPlugin(plugin), mNote(note), mVelocity(velocity)
{
}

PacedRender::~PacedRender()
{
  Stop();
}

void PacedRender::Start()
{
  if (mThread.joinable()) return;
  mStop.store(false);
  mThread = std::thread(&PacedRender::Run, this);
}

void PacedRender::Stop()
{
  mStop.store(true);
  if (mThread.joinable()) mThread.join();
}

PlayStats PacedRender::Window()
{
  PlayStats s = mWindow.Read();
  mWindow.Clear();
  return s;
}

PlayStats PacedRender::Total() const
{
  return mTotal.Read();
}

float PacedRender::BlockPeak(int frames) const
{
  float peak = 0.0f;
  for (int ch = 0; ch < std::min(mPlugin.NumOutputs(), 2); ++ch)
  {
    const float* out = mPlugin.OutputFloat(ch);
    for (int i = 0; i < frames; ++i)
      peak = std::max(peak, std::fabs(out[i]));
  }
  return peak;
}

void PacedRender::Run()
{
  mRealTime.store(PacedClock::RaiseToAudioPriority());
  mPlugin.Census().SetAudioThread();
  PacedClock clock;
  const int frames = std::clamp(mPlugin.BlockSize(), 1, kMaxBlockFrames);
  const double rate = mPlugin.SampleRate() > 0.0 ? mPlugin.SampleRate() : kDefaultSampleRateHz;
  const int64_t periodNs = std::max<int64_t>(1, std::llround(frames * 1e9 / rate));
  int64_t deadline = PacedClock::NowNs() + periodNs;
  long block = 0;
  while (!mStop.load())
  {
    clock.SleepUntil(deadline);
    const int64_t woke = PacedClock::NowNs();
    // With the second block: plug-ins may drop what arrives before their first render call.
    if (++block == 2)
      mPlugin.QueueMidi(0, kNoteOn, static_cast<uint8_t>(mNote), static_cast<uint8_t>(mVelocity));
    mPlugin.Process(frames);
    const int64_t done = PacedClock::NowNs();
    const float peak = BlockPeak(frames);
    mWindow.Add(done - woke, woke - deadline, peak);
    mTotal.Add(done - woke, woke - deadline, peak);
    deadline += periodNs;
    // Far behind (the system stopped the thread for a while): start again from now, as a host's
    // audio thread does after a dropout, rather than making up the blocks in a burst.
    if (done - deadline > kMaxRenderBehindBlocks * periodNs) deadline = done + periodNs;
  }
}
} // namespace khost
