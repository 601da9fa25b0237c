#include "framework/HostCallRouter.h"

#include <chrono>

namespace
{
thread_local bool tBackground = false;

int64_t NowNs()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
} // namespace

void HostCallRouter::IdleCalled()
{
  mIdleThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  mLastIdleNs.store(NowNs(), std::memory_order_relaxed);
}

void HostCallRouter::IdleStopped()
{
  mLastIdleNs.store(0, std::memory_order_relaxed);
}

bool HostCallRouter::IdleFresh() const
{
  const int64_t last = mLastIdleNs.load(std::memory_order_relaxed);
  return last != 0 && NowNs() - last < kIdleFreshNs;
}

bool HostCallRouter::MayCallHostHere() const
{
  if (tBackground) return false;
  return !IdleFresh() || mIdleThread.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void HostCallRouter::Queue(const Call& call)
{
  std::lock_guard<std::mutex> lock(mMutex);
  mQueued.push_back(call);
}

std::vector<HostCallRouter::Call> HostCallRouter::TakeDeliverable()
{
  std::vector<Call> taken;
  if (!MayCallHostHere()) return taken;
  std::lock_guard<std::mutex> lock(mMutex);
  taken.swap(mQueued);
  return taken;
}

void HostCallRouter::MarkBackgroundThread()
{
  tBackground = true;
}
