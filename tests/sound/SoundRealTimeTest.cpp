// The audio path of a whole instance allocates nothing: samples loaded through the loading flow, then
// MIDI handled and busy blocks rendered while a replaced global operator new counts.

#include "engine/AllocationCounter.h"
#include "plugin/KestruneFixture.h"
#include "samplefiles/WavTestFiles.h"
#include "sound/SoundFixture.h"

#include <string>

using namespace plugintest;

using SoundRealTime = KestruneTest;

TEST_F(SoundRealTime, MidiAndBusyBlocksOfALoadedInstanceAllocateNothing)
{
  if (!enginetest::AllocationCounterActive()) GTEST_SKIP() << "another operator new replacement is in force";

  wavtest::TempDir dir;
  const std::string mono = dir.Write(
      "m.wav", wavtest::Riff({wavtest::Fmt(1, 1, 48000, 16),
                              wavtest::Chunk("data", wavtest::Pcm16(std::vector<int16_t>(4000, 1000)))}));
  const std::string stereo = dir.Write(
      "s.wav", wavtest::Riff({wavtest::Fmt(1, 2, 44100, 16),
                              wavtest::Chunk("data", wavtest::Pcm16(std::vector<int16_t>(6000, -700)))}));
  OpenAt(48000.0);
  for (int s = 0; s < kNumSlots; ++s)
  {
    std::string path = s % 2 == 0 ? mono : stereo;
    mPlug->OnExtraParam(s, path.data());
    ASSERT_NE(E().mSampleFrames[s], 0u) << s;
    Apply(s * kParamsPerSlot + kAlternatePan, 1);
  }
  Apply(kReverse, 1);
  std::vector<double> left(512), right(512);
  double* outs[2] = {left.data(), right.data()};
  mPlug->ProcessDoubleReplacing(nullptr, outs, 512); // the first call's start-up

  // The recording host keeps what it is told in vectors: room for all of it, so that only the
  // instance's own allocations are counted.
  mHost.ClearRecord();
  mHost.mCalls.reserve(4096);
  mHost.mMidiOut.reserve(4096);
  const long start = enginetest::AllocationCount();
  for (int n = 0; n < 5; ++n)
  {
    IMidiMsg on(n * 10, 0x90, static_cast<uint8_t>(50 + 5 * n), 100);
    mPlug->ProcessMidiMsg(&on);
  }
  IMidiMsg pedal(0, 0xB0, 64, 127);
  mPlug->ProcessMidiMsg(&pedal);
  mPlug->ProcessDoubleReplacing(nullptr, outs, 512);
  const int sounding = E().mVoiceCount;
  IMidiMsg off(3, 0x80, 50, 0);
  mPlug->ProcessMidiMsg(&off);
  Apply(kReverse, 0); // host automation on the audio thread: an in-place reversal
  mPlug->ProcessDoubleReplacing(nullptr, outs, 512);
  EXPECT_EQ(enginetest::AllocationCount() - start, 0);
  EXPECT_EQ(sounding, kNumVoices);
  EXPECT_NE(left[511], 0.0);
}
