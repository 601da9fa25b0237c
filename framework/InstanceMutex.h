#pragma once
// InstanceMutex: the one recursive mutex of a plug-in instance, with a count of the instance locks each
// thread holds. The count is what lets slow work (reading or decoding a file, freeing a large buffer)
// check that it runs without any instance mutex: such work entered by a thread that holds one would
// stop the audio thread for its whole length.
//
// Satisfies Lockable, so std::lock_guard and std::unique_lock take it as they take std::recursive_mutex.
//
// Where the system offers it (POSIX), the mutex inherits priority: while the audio thread, which runs at
// a real-time priority, waits for it, the thread that holds it (the editor's, the loader's, a host
// thread in a dispatcher call, all of ordinary priority) runs at the audio thread's priority until it
// lets go. Without that, a holder that the system preempts in the middle of a short locked step keeps
// the audio thread waiting for as long as the other programs of a busy machine run: milliseconds for a
// step of some microseconds.

#include <mutex>
#ifndef _WIN32
#include <pthread.h>
#endif

class InstanceMutex
{
public:
#ifdef _WIN32
  void lock()
  {
    mMutex.lock();
    ++sHeldByThread;
  }
  bool try_lock()
  {
    if (!mMutex.try_lock()) return false;
    ++sHeldByThread;
    return true;
  }
  void unlock()
  {
    --sHeldByThread;
    mMutex.unlock();
  }
#else
  InstanceMutex();
  ~InstanceMutex();
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;
  void lock()
  {
    pthread_mutex_lock(&mMutex);
    ++sHeldByThread;
  }
  bool try_lock()
  {
    if (pthread_mutex_trylock(&mMutex) != 0) return false;
    ++sHeldByThread;
    return true;
  }
  void unlock()
  {
    --sHeldByThread;
    pthread_mutex_unlock(&mMutex);
  }
#endif

  // How many instance locks (of any instance, counting recursion) the calling thread holds.
  static int HeldByThisThread()
  {
    return sHeldByThread;
  }

private:
#ifdef _WIN32
  std::recursive_mutex mMutex;
#else
  pthread_mutex_t mMutex; // recursive, with priority inheritance where the system has it
#endif
  static thread_local int sHeldByThread;
};

// Slow work calls this first. A thread that holds an instance mutex there is a programming error: debug
// and sanitizer builds stop at once with the place; other builds count it (LockRuleViolations) so that
// tests of an optimised build still see it, and go on.
void CheckNoInstanceLockHeld(const char* where);
long LockRuleViolations();
// Whether this build stops at a violation (debug and sanitizer builds) rather than counting it.
bool LockRuleStops();
