#pragma once
// InstanceMutex: the one recursive mutex of a plug-in instance, with a count of the instance locks each
// thread holds. The count is what lets slow work (reading or decoding a file, freeing a large buffer)
// check that it runs without any instance mutex: such work entered by a thread that holds one would
// stop the audio thread for its whole length.
//
// Satisfies Lockable, so std::lock_guard and std::unique_lock take it as they take std::recursive_mutex.

#include <mutex>

class InstanceMutex
{
public:
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

  // How many instance locks (of any instance, counting recursion) the calling thread holds.
  static int HeldByThisThread() { return sHeldByThread; }

private:
  std::recursive_mutex mMutex;
  static thread_local int sHeldByThread;
};

// Slow work calls this first. A thread that holds an instance mutex there is a programming error: debug
// and sanitizer builds stop at once with the place; other builds count it (LockRuleViolations) so that
// tests of an optimised build still see it, and go on.
void CheckNoInstanceLockHeld(const char* where);
long LockRuleViolations();
