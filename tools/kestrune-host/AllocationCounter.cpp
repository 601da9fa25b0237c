#include "tools/kestrune-host/AllocationCounter.h"

#include <atomic>

namespace khost
{

namespace
{
// Plain-initialised, so reading them from inside malloc needs no initialisation call and no allocation.
std::atomic<uint64_t> gCount{0};
std::atomic<bool> gAvailable{false};
thread_local bool gCounting = false;
} // namespace

bool AllocationCounter::Available()
{
  return gAvailable.load(std::memory_order_relaxed);
}

uint64_t AllocationCounter::Count()
{
  return gCount.load(std::memory_order_relaxed);
}

void AllocationCounter::Reset()
{
  gCount.store(0, std::memory_order_relaxed);
}

void AllocationCounter::NoteAllocation()
{
  if (gCounting) gCount.fetch_add(1, std::memory_order_relaxed);
}

void AllocationCounter::MarkAvailable()
{
  gAvailable.store(true, std::memory_order_relaxed);
}

AllocationCounter::Scope::Scope(bool on) : mWas(gCounting)
{
  gCounting = on;
}

AllocationCounter::Scope::~Scope()
{
  gCounting = mWas;
}
} // namespace khost
