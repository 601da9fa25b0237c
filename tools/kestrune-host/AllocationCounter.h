#pragma once
// Counts heap allocations made on one thread while a plug-in call runs. The counting itself lives in
// the host executable, which replaces malloc and its relatives (MallocInterposer.cpp): a plug-in opened
// with dlopen resolves its allocations, and those of the C++ runtime it calls, to the executable's
// definitions. Builds without that file (the test program, sanitizer builds, whose runtime owns malloc)
// report the counter as unavailable.

#include <cstdint>

namespace khost
{

class AllocationCounter
{
public:
  // True when the running program counts allocations.
  static bool Available();
  // Counted allocations since the last Reset, over all threads that had counting on.
  static uint64_t Count();
  static void Reset();

  // Turns counting on for the calling thread for the scope's life.
  class Scope
  {
  public:
    explicit Scope(bool on = true);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    bool mWas;
  };

  // Called by the interposed allocation functions.
  static void NoteAllocation();
  static void MarkAvailable();
};
} // namespace khost
