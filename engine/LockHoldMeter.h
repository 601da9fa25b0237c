#pragma once
// LockHoldMeter: the longest time a thread of ours held the instance mutex in one go, for the loader
// thread's locked steps (the publish of a decoded file, the short reads before it). Benchmarks and tests
// read it to see that publishing stays short; MeteredLock takes the mutex and records how long it was
// held. Two clock reads per locked step of the loader, no allocation; the audio path never uses it.

#include "framework/InstanceMutex.h"

#include <atomic>
#include <chrono>
#include <cstdint>

class LockHoldMeter
{
public:
  // Any thread.
  void Record(int64_t heldNs)
  {
    int64_t longest = mLongestNs.load(std::memory_order_relaxed);
    while (heldNs > longest && !mLongestNs.compare_exchange_weak(longest, heldNs, std::memory_order_relaxed))
    {
    }
  }
  int64_t LongestNs() const { return mLongestNs.load(std::memory_order_relaxed); }
  // The longest hold so far, and from now on afresh.
  int64_t TakeLongestNs() { return mLongestNs.exchange(0, std::memory_order_relaxed); }

private:
  std::atomic<int64_t> mLongestNs{0};
};

// Holds mutex for its scope, like std::lock_guard, and records the hold with meter as it lets go.
class MeteredLock
{
public:
  using Clock = std::chrono::steady_clock;
  MeteredLock(InstanceMutex& mutex, LockHoldMeter& meter) : mMutex(mutex), mMeter(meter)
  {
    mMutex.lock();
    mSince = Clock::now();
  }
  ~MeteredLock()
  {
    mMeter.Record(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - mSince).count());
    mMutex.unlock();
  }
  MeteredLock(const MeteredLock&) = delete;
  MeteredLock& operator=(const MeteredLock&) = delete;

private:
  InstanceMutex& mMutex;
  LockHoldMeter& mMeter;
  Clock::time_point mSince;
};
