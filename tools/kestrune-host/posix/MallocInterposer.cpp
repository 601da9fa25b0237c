// The host executable's own malloc family: each function notes the allocation for AllocationCounter
// and hands the work to the C library's allocator under its internal names, so the heap stays the C
// library's and memory passes freely between these functions and the library's others. Plug-ins
// opened with dlopen, and the C++ runtime's operator new, resolve to these definitions first.
// Sanitizer builds leave malloc to the sanitizer runtime and count nothing.

#include "tools/kestrune-host/AllocationCounter.h"

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

#include <cerrno>
#include <cstddef>

extern "C"
{
  void* __libc_malloc(size_t size);
  void* __libc_calloc(size_t count, size_t size);
  void* __libc_realloc(void* ptr, size_t size);
  void* __libc_memalign(size_t alignment, size_t size);
  void __libc_free(void* ptr);

#define KHOST_ALLOCATOR __attribute__((visibility("default")))

  KHOST_ALLOCATOR void* malloc(size_t size)
  {
    khost::AllocationCounter::NoteAllocation();
    return __libc_malloc(size);
  }

  KHOST_ALLOCATOR void* calloc(size_t count, size_t size)
  {
    khost::AllocationCounter::NoteAllocation();
    return __libc_calloc(count, size);
  }

  KHOST_ALLOCATOR void* realloc(void* ptr, size_t size)
  {
    khost::AllocationCounter::NoteAllocation();
    return __libc_realloc(ptr, size);
  }

  KHOST_ALLOCATOR void free(void* ptr)
  {
    __libc_free(ptr);
  }

  KHOST_ALLOCATOR void* memalign(size_t alignment, size_t size)
  {
    khost::AllocationCounter::NoteAllocation();
    return __libc_memalign(alignment, size);
  }

  KHOST_ALLOCATOR void* aligned_alloc(size_t alignment, size_t size)
  {
    khost::AllocationCounter::NoteAllocation();
    return __libc_memalign(alignment, size);
  }

  KHOST_ALLOCATOR int posix_memalign(void** out, size_t alignment, size_t size)
  {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    khost::AllocationCounter::NoteAllocation();
    void* p = __libc_memalign(alignment, size);
    if (!p && size != 0) return ENOMEM;
    *out = p;
    return 0;
  }
}

namespace
{
struct MarkCounting
{
  MarkCounting() { khost::AllocationCounter::MarkAvailable(); }
} gMarkCounting;
} // namespace

#endif
