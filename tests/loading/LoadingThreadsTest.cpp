// Loading from the editor while the audio thread renders and a host thread restores paths: each slot
// always holds a frame count that belongs to its data (run it under ThreadSanitizer to see the rest).

#include "loading/LoadingFixture.h"

#include <atomic>
#include <thread>

using namespace loadingtest;

using LoadingThreads = LoadingTest;

TEST_F(LoadingThreads, EditorLoadsHostRestoresAndRenderingRunTogether)
{
  OpenAt(44100.0);
  const std::string a = WriteWav("a.wav", 2, 44100, 20000);
  const std::string b = WriteWav("b.wav", 1, 22050, 3000);
  Load(0, a);
  Load(1, b);
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio(
      [&]
      {
        std::vector<double> left(256), right(256);
        double* outs[2] = {left.data(), right.data()};
        AEffect* fx = mPlug->GetAEffect();
        int n = 0;
        while (!stop.load() || n < 8)
        {
          VstMidiEvent on = {};
          on.type = kVstMidiType;
          on.byteSize = sizeof(on);
          on.midiData[0] = static_cast<char>(n % 2 == 0 ? 0x90 : 0x80);
          on.midiData[1] = static_cast<char>(48 + n % 24);
          on.midiData[2] = 100;
          VstEvents events = {};
          events.numEvents = 1;
          events.events[0] = reinterpret_cast<VstEvent*>(&on);
          fx->dispatcher(fx, effProcessEvents, 0, 0, &events, 0.0f);
          fx->processDoubleReplacing(fx, nullptr, outs, 256);
          ++n;
        }
        blocks.store(n);
      });
  std::thread host(
      [&]
      {
        for (int i = 0; i < 10; ++i)
        {
          std::string path = i % 2 == 0 ? b : a;
          mPlug->GetAEffect()->dispatcher(mPlug->GetAEffect(), effVendorSpecific, 56, 3, path.data(), 0.0f);
        }
      });
  for (int i = 0; i < 10; ++i)
  {
    Load(0, i % 2 == 0 ? b : a, Route::kEditor);
    Load(2, i % 2 == 0 ? a : b, Route::kEditor);
  }
  host.join();
  stop.store(true);
  audio.join();
  EXPECT_GE(blocks.load(), 8);
  EXPECT_EQ(Frames(0), 20000u);
  EXPECT_EQ(Frames(2), 3000u);
  EXPECT_EQ(Frames(3), 20000u);
  EXPECT_EQ(E().mSampleData[0][19999], Pcm(0, 19999) / 32768.0);
  EXPECT_EQ(Saved(0), a);
}

TEST(LockRule, SlowWorkEnteredWithTheInstanceMutexHeldIsCaught)
{
  InstanceMutex mutex;
  const long before = LockRuleViolations();
  CheckNoInstanceLockHeld("a test without the mutex");
  EXPECT_EQ(LockRuleViolations(), before);
  EXPECT_EQ(InstanceMutex::HeldByThisThread(), 0);
  std::lock_guard<InstanceMutex> lock(mutex);
  EXPECT_EQ(InstanceMutex::HeldByThisThread(), 1);
  if (LockRuleStops())
  {
    // Debug and sanitizer builds stop at the place.
    EXPECT_DEATH(CheckNoInstanceLockHeld("a test holding the mutex"), "a test holding the mutex");
  }
  else
  {
    CheckNoInstanceLockHeld("a test holding the mutex");
    EXPECT_EQ(LockRuleViolations(), before + 1);
  }
}
