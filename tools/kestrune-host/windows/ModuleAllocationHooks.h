#pragma once
// Counts what a loaded Windows module allocates. A module calls the C runtime's and the system heap's
// allocation functions through its import address table; Install points those entries at wrappers
// that note the allocation for AllocationCounter and call the original function. An allocator
// interposed in the program would not see these calls: each module binds its imports itself.

namespace khost
{

class ModuleAllocationHooks
{
public:
  // Hooks the allocation imports of the module (an HMODULE); returns how many entries were hooked and
  // marks the counter available when any were. Hooking the same module again changes nothing.
  static int Install(void* module);
};
} // namespace khost
