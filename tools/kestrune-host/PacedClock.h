#pragma once
// The clock and the sleep of a thread paced like a host's audio thread: a monotonic time in
// nanoseconds, a sleep until an absolute deadline on it, and the real-time priority a host gives its
// audio thread where the system allows it. posix/PacedClock.cpp (clock_nanosleep on CLOCK_MONOTONIC,
// SCHED_FIFO) and windows/PacedClock.cpp (a high-resolution waitable timer where there is one, time
// critical priority).

#include <cstdint>

namespace khost
{

class PacedClock
{
public:
  // Monotonic time in nanoseconds (the epoch is arbitrary).
  static int64_t NowNs();
  // Sleeps until NowNs() reaches deadlineNs (returns at once when it has). The calling thread only.
  void SleepUntil(int64_t deadlineNs);
  // Asks for the calling thread to run at an audio thread's priority; false when the system refused
  // (the figures then include the machine's other load).
  static bool RaiseToAudioPriority();

  PacedClock();
  ~PacedClock();
  PacedClock(const PacedClock&) = delete;
  PacedClock& operator=(const PacedClock&) = delete;

private:
  void* mTimer = nullptr; // Windows: the waitable timer
};
} // namespace khost
