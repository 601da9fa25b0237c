// The replaced global operator new behind AllocationCounter.h, with its array and nothrow forms: the
// standard library's own forms call the plain one, but a sanitizer's runtime replaces each form apart,
// so a form left to it would allocate uncounted (the sample buffers are nothrow arrays).

#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace
{
std::atomic<long> gAllocations{0};
std::atomic<size_t> gLive{0};
std::atomic<size_t> gPeak{0};

size_t UsableSize(void* p)
{
#ifdef _WIN32
  return _msize(p);
#else
  return malloc_usable_size(p);
#endif
}

void NoteAllocated(void* p)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  const size_t live = gLive.fetch_add(UsableSize(p), std::memory_order_relaxed) + UsableSize(p);
  size_t peak = gPeak.load(std::memory_order_relaxed);
  while (live > peak && !gPeak.compare_exchange_weak(peak, live, std::memory_order_relaxed))
  {
  }
}

void Release(void* p)
{
  if (p == nullptr) return;
  gLive.fetch_sub(UsableSize(p), std::memory_order_relaxed);
  std::free(p);
}
} // namespace

long testalloc::Count()
{
  return gAllocations.load(std::memory_order_relaxed);
}

bool testalloc::Active()
{
  const long before = Count();
  ::operator delete(::operator new(16));
  return Count() != before;
}

size_t testalloc::LiveBytes()
{
  return gLive.load(std::memory_order_relaxed);
}

size_t testalloc::PeakBytes()
{
  return gPeak.load(std::memory_order_relaxed);
}

void testalloc::ResetPeak()
{
  gPeak.store(gLive.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

// Weak, so that another replacement in the program takes precedence instead of clashing; the tests
// then see that the count does not move and say so.
__attribute__((weak)) void* operator new(std::size_t size)
{
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  NoteAllocated(p);
  return p;
}
__attribute__((weak)) void operator delete(void* p) noexcept
{
  Release(p);
}
__attribute__((weak)) void operator delete(void* p, std::size_t) noexcept
{
  Release(p);
}
__attribute__((weak)) void* operator new[](std::size_t size)
{
  return ::operator new(size);
}
__attribute__((weak)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  void* p = std::malloc(size != 0 ? size : 1);
  if (p != nullptr) NoteAllocated(p);
  return p;
}
__attribute__((weak)) void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
  return ::operator new(size, tag);
}
__attribute__((weak)) void operator delete[](void* p) noexcept
{
  Release(p);
}
__attribute__((weak)) void operator delete[](void* p, std::size_t) noexcept
{
  Release(p);
}
__attribute__((weak)) void operator delete(void* p, const std::nothrow_t&) noexcept
{
  Release(p);
}
__attribute__((weak)) void operator delete[](void* p, const std::nothrow_t&) noexcept
{
  Release(p);
}
