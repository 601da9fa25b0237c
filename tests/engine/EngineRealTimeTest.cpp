// The audio path of the engine allocates nothing: note handling and a busy block are counted through a
// replaced global operator new.

#include "AllocationCounter.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> gAllocations{0};
}

long enginetest::AllocationCount()
{
  return gAllocations.load(std::memory_order_relaxed);
}

bool enginetest::AllocationCounterActive()
{
  const long before = AllocationCount();
  ::operator delete(::operator new(16));
  return AllocationCount() != before;
}

// Weak, so that another replacement in the test program takes precedence instead of clashing; the test
// then sees that its counter does not move and says so.
__attribute__((weak)) void* operator new(std::size_t size)
{
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
__attribute__((weak)) void operator delete(void* p) noexcept
{
  std::free(p);
}
__attribute__((weak)) void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}

using namespace enginetest;

TEST(EngineRealTime, NotesAndABusyBlockAllocateNothing)
{
  const long before = gAllocations.load();
  ::operator delete(::operator new(16));
  if (gAllocations.load() == before) GTEST_SKIP() << "another operator new replacement is in force";

  SamplerEngine e;
  e.ChangeEngineRate(48000.0);
  for (int s = 0; s < kNumSlots; ++s)
  {
    SetUpSlot(e, s, 12, 127, 60, 1, 1, s % 2 == 0);
    LoadSample(e, s, Ramp(4000, 1 + s % 2), 1 + s % 2, 44100.0);
  }
  RecordingViews views;
  views.events.reserve(1024);
  e.SetViews(&views);
  Block b(512);

  const long start = gAllocations.load();
  for (int n = 0; n < 5; ++n)
  {
    e.HandleMidi(0x90, static_cast<uint8_t>(50 + 5 * n), 100, n * 10);
  }
  e.HandleMidi(0xB0, 64, 127, 0);
  e.Mix(b.Out(), 512);
  const int sounding = e.mVoiceCount;
  const double last = b.left[511];
  e.HandleMidi(0x80, 50, 0, 3);
  e.ApplySlotParam(ParamIndex(0, kReverse), 1);
  e.ApplySlotParam(ParamIndex(1, kActive), 0);
  e.Mix(b.Out(), 512);
  e.SilenceAllVoices();
  EXPECT_EQ(gAllocations.load() - start, 0);
  EXPECT_EQ(sounding, kNumVoices);
  EXPECT_NE(last, 0.0);
}
