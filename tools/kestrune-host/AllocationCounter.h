#pragma once
// Counts heap allocations made on one thread while a plug-in call runs. What feeds the counter
// depends on the system. On Linux the host executable replaces malloc and its relatives
// (posix/MallocInterposer.cpp): a plug-in opened with dlopen resolves its allocations, and those of the
// C++ runtime it calls, to the executable's definitions. On Windows each module binds its own imports,
// so the loader points the plug-in module's allocation imports at counting wrappers
// (windows/ModuleAllocationHooks.cpp). Builds without either (the test program, sanitizer builds,
// whose runtime owns malloc) report the counter as unavailable.

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

  // Called by the interposed or hooked allocation functions.
  static void NoteAllocation();
  static void MarkAvailable();
};
} // namespace khost
