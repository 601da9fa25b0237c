#include "tools/kestrune-host/windows/ModuleAllocationHooks.h"

#include "tools/kestrune-host/AllocationCounter.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <utility>
#include <windows.h>

namespace khost
{

namespace
{
// The functions counted: the C runtimes' (msvcrt, the universal CRT and its api-set names), the C++
// runtimes' operator new in both manglings, and the system heap. Each takes at most four integer or
// pointer arguments and returns one; Win64 passes those in registers, so one wrapper shape forwards
// every function of the table unchanged.
const char* const kCountedImports[] = {
    "malloc", "calloc", "realloc", "_recalloc", "_malloc_base", "_calloc_base", "_realloc_base",
    "_aligned_malloc", "_aligned_realloc", "_aligned_recalloc", "_aligned_offset_malloc",
    "_aligned_offset_realloc", "strdup", "_strdup", "_wcsdup",
    // operator new and new[]: plain, nothrow, aligned (GCC's and MSVC's names).
    "_Znwy", "_Znay", "_ZnwyRKSt9nothrow_t", "_ZnayRKSt9nothrow_t", "_ZnwySt11align_val_t",
    "_ZnaySt11align_val_t", "_ZnwySt11align_val_tRKSt9nothrow_t", "_ZnaySt11align_val_tRKSt9nothrow_t",
    "??2@YAPEAX_K@Z", "??_U@YAPEAX_K@Z", "??2@YAPEAX_KAEBUnothrow_t@std@@@Z",
    "??_U@YAPEAX_KAEBUnothrow_t@std@@@Z", "??2@YAPEAX_KW4align_val_t@std@@@Z",
    "??_U@YAPEAX_KW4align_val_t@std@@@Z",
    // The system heap.
    "HeapAlloc", "HeapReAlloc", "RtlAllocateHeap", "RtlReAllocateHeap", "LocalAlloc", "LocalReAlloc",
    "GlobalAlloc", "GlobalReAlloc"};
constexpr int kCounted = static_cast<int>(sizeof(kCountedImports) / sizeof(kCountedImports[0]));

using Forwarded = uintptr_t (*)(uintptr_t, uintptr_t, uintptr_t, uintptr_t);
// The function each entry pointed at before it was hooked; set once, before the entry is changed.
std::atomic<Forwarded> gOriginal[kCounted];

template <int I> uintptr_t Counted(uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d)
{
  AllocationCounter::NoteAllocation();
  return gOriginal[I].load(std::memory_order_relaxed)(a, b, c, d);
}

template <int... I> constexpr auto MakeWrappers(std::integer_sequence<int, I...>)
{
  return std::array<Forwarded, sizeof...(I)>{&Counted<I>...};
}
const auto kWrappers = MakeWrappers(std::make_integer_sequence<int, kCounted>());

int FindCounted(const char* name)
{
  for (int i = 0; i < kCounted; ++i)
    if (std::strcmp(name, kCountedImports[i]) == 0) return i;
  return -1;
}

bool WriteEntry(uintptr_t* entry, uintptr_t value)
{
  DWORD old = 0;
  if (!VirtualProtect(entry, sizeof(*entry), PAGE_READWRITE, &old)) return false;
  *entry = value;
  DWORD ignored = 0;
  VirtualProtect(entry, sizeof(*entry), old, &ignored);
  FlushInstructionCache(GetCurrentProcess(), entry, sizeof(*entry));
  return true;
}
} // namespace

int ModuleAllocationHooks::Install(void* module)
{
  auto* base = static_cast<uint8_t*>(module);
  if (!base) return 0;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE ||
      nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
    return 0;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return 0;
  int hooked = 0;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       d->Name != 0; ++d)
  {
    // Without the name table the entries cannot be told apart once bound.
    if (d->OriginalFirstThunk == 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++entries)
    {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      const int i = FindCounted(reinterpret_cast<const char*>(byName->Name));
      if (i < 0) continue;
      const auto bound = reinterpret_cast<Forwarded>(entries->u1.Function);
      if (bound == kWrappers[i]) continue;
      // One original per name: a function of the same name from a second runtime stays unhooked, so
      // memory never passes between two runtimes' heaps.
      Forwarded expected = nullptr;
      if (!gOriginal[i].compare_exchange_strong(expected, bound) && expected != bound) continue;
      if (WriteEntry(reinterpret_cast<uintptr_t*>(&entries->u1.Function),
                     reinterpret_cast<uintptr_t>(kWrappers[i])))
        ++hooked;
    }
  }
  if (hooked > 0) AllocationCounter::MarkAvailable();
  return hooked;
}
} // namespace khost
