#include "framework/InstanceMutex.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

thread_local int InstanceMutex::sHeldByThread = 0;

#ifndef _WIN32
InstanceMutex::InstanceMutex()
{
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  // A system without priority inheritance keeps the ordinary protocol: the lock still works.
  pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT);
  if (pthread_mutex_init(&mMutex, &attributes) != 0)
  {
    pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_NONE);
    pthread_mutex_init(&mMutex, &attributes);
  }
  pthread_mutexattr_destroy(&attributes);
}

InstanceMutex::~InstanceMutex()
{
  pthread_mutex_destroy(&mMutex);
}
#endif

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

bool LockRuleStops()
{
  return kStopOnViolation;
}

long LockRuleViolations()
{
  return gViolations.load(std::memory_order_relaxed);
}
