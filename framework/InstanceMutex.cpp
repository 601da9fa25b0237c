#include "framework/InstanceMutex.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

thread_local int InstanceMutex::sHeldByThread = 0;

namespace
{
std::atomic<long> gViolations{0};

#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kStopOnViolation = true;
#else
constexpr bool kStopOnViolation = false;
#endif
} // namespace

void CheckNoInstanceLockHeld(const char* where)
{
  if (InstanceMutex::HeldByThisThread() == 0) return;
  gViolations.fetch_add(1, std::memory_order_relaxed);
  if (kStopOnViolation)
  {
    std::fprintf(stderr, "Kestrune: %s entered with the instance mutex held\n", where);
    std::abort();
  }
}

long LockRuleViolations()
{
  return gViolations.load(std::memory_order_relaxed);
}
