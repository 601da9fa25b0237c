#pragma once
// A render thread paced like a host's audio thread, for the edit command's --play: it sleeps until
// each block's deadline (block frames / sample rate apart), sends a note-on with the second block,
// makes one process call per block and measures it. Per call it keeps apart how late the thread woke
// (the system's doing) and how long the call took (the plug-in's wait for its lock plus its render),
// and the loudest sample, so that a driver can see that the sound really plays while the editor
// loads files and that no call waited long.
//
// The thread is the instance's only processing thread while it runs; it allocates nothing after it
// started. Stats and Total may be asked from any thread.

#include "tools/kestrune-host/HostedPlugin.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace khost
{

struct PlayStats
{
  long blocks = 0;
  int64_t longestCallNs = 0; // the longest process call (events and processing)
  long slowCalls = 0;        // calls longer than kSlowProcessCallMs
  int64_t longestLateNs = 0; // the latest wake-up after a block's deadline
  float peak = 0.0f;         // the largest magnitude of any output sample
  // One line: "N blocks of F frames at R Hz SPAN, peak P, longest process call X ms, calls over 2 ms:
  // C, longest wake-up lateness Y ms".
  std::string Describe(int blockFrames, double rateHz, const char* span) const;
};

class PacedRender
{
public:
  PacedRender(HostedPlugin& plugin, int note, int velocity);
  ~PacedRender();
  PacedRender(const PacedRender&) = delete;
  PacedRender& operator=(const PacedRender&) = delete;

  // Starts the thread at the instance's block size and sample rate.
  void Start();
  void Stop();
  // The figures since the last call of Window (or since the start), and from now on afresh.
  PlayStats Window();
  // The figures since the start.
  PlayStats Total() const;
  // Whether the system gave the thread a real-time priority.
  bool RealTime() const { return mRealTime.load(); }
  int BlockFrames() const { return mPlugin.BlockSize(); }
  double Rate() const { return mPlugin.SampleRate(); }

private:
  struct Counters
  {
    std::atomic<long> blocks{0};
    std::atomic<int64_t> longestCallNs{0};
    std::atomic<long> slowCalls{0};
    std::atomic<int64_t> longestLateNs{0};
    std::atomic<float> peak{0.0f};
    void Add(int64_t callNs, int64_t lateNs, float peak);
    PlayStats Read() const;
    void Clear();
  };

  void Run();
  float BlockPeak(int frames) const;

  HostedPlugin& mPlugin;
  int mNote, mVelocity;
  std::atomic<bool> mStop{false};
  std::atomic<bool> mRealTime{false};
  Counters mWindow, mTotal;
  std::thread mThread;
};
} // namespace khost
