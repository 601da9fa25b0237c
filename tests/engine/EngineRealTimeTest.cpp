// The audio path of the engine allocates nothing: note handling and a busy block are counted through a
// replaced global operator new (AllocationCounter.h).

#include "AllocationCounter.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

TEST(EngineRealTime, NotesAndABusyBlockAllocateNothing)
{
  if (!testalloc::Active()) GTEST_SKIP() << "another operator new replacement is in force";

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

  const long start = testalloc::Count();
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
  EXPECT_EQ(testalloc::Count() - start, 0);
  EXPECT_EQ(sounding, kNumVoices);
  EXPECT_NE(last, 0.0);
}
