// Voices, key ranges, block offsets, the render's clean-ups and the MIDI pass-through, heard and
// recorded through the built module.

#include "sound/SoundFixture.h"

#include <chrono>
#include <thread>

using namespace soundtest;

using SoundVoices = SoundTest;

TEST_F(SoundVoices, TwentyFourVoicesSoundAtOnceAndAFreedVoiceIsTakenAgain)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  std::vector<plugintest::SentMidi> notes;
  for (int n = 0; n < 25; ++n)
    notes.push_back({0, {0x90, static_cast<uint8_t>(40 + n), 100}});
  Midi(notes);
  Render(4);
  const double one = mL[0] / 24.0; // one voice at velocity 100
  EXPECT_GT(one, 0.0);
  EXPECT_EQ(mL[3], 24 * one);

  NoteOff(64); // the 25th key never got a voice: nothing changes
  Render(2);
  EXPECT_EQ(mL[1], 24 * one);
  NoteOff(41);
  Render(2);
  EXPECT_EQ(mL[1], 23 * one);
  Midi({{0, {0x90, 90, 100}}, {0, {0x90, 91, 100}}});
  Render(2);
  EXPECT_EQ(mL[1], 24 * one);
}

TEST_F(SoundVoices, OverlappingRangesPlayEverySlotWithItsOwnPitchAndPan)
{
  mSlots[0].active = 1;
  mSlots[0].pan = -100;
  mSlots[0].path = WriteWav("a.wav", {Ramp(64)}, 44100);
  mSlots[1].active = 1;
  mSlots[1].pan = 100;
  mSlots[1].root = 48; // an octave down: key 60 reads two frames per output frame
  mSlots[1].path = WriteWav("b.wav", {Ramp(64, 1000.0)}, 44100);
  mSlots[2].active = 1;
  mSlots[2].low = 61; // out of range for key 60
  mSlots[2].path = mSlots[0].path;
  Start();
  NoteOn(60);
  Render(8);
  for (int i = 0; i < 8; ++i)
  {
    EXPECT_EQ(mL[i], 1.5 * RampAt(i, 64)) << i;
    EXPECT_EQ(mR[i], 1.5 * RampAt(2.0 * i, 64, 1000.0)) << i;
  }
}

TEST_F(SoundVoices, NoteAtAnOffsetIsSilentBeforeItAndStartsItsEnvelopeThere)
{
  mSlots[0].active = 1;
  mSlots[0].attack = 0.01;
  mSlots[0].path = WriteWav("ramp.wav", {Ramp(200)}, 1000);
  Start(1000.0f, 256);
  NoteOn(60, 127, 100);
  Render(256);
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(mL[i], 0.0) << i;
  EXPECT_EQ(mL[100], 1.0 * 0.1);
  EXPECT_EQ(mL[101], 2.0 * (0.1 + 0.1));
  // The next block plays on from where the voice is, from its first frame.
  Render(4);
  EXPECT_NE(mL[0], 0.0);
}

TEST_F(SoundVoices, TransportStopSilencesAtTheNextBlockStartDoesNothingAndRecordingCountsAsRunning)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].release = 2.0;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  NoteOn(60);
  Render(4);
  EXPECT_EQ(mL[3], 1.0);
  mHost.mTimeInfo.flags |= kVstTransportPlaying; // starting: the note goes on
  Render(4);
  EXPECT_EQ(mL[3], 1.0);
  mHost.mTimeInfo.flags &= ~kVstTransportPlaying; // stopping: silence at once, no release tail
  Render(4);
  EXPECT_TRUE(Silent());
  NoteOn(60); // recording counts as running
  mHost.mTimeInfo.flags |= kVstTransportRecording;
  Render(4);
  EXPECT_EQ(mL[3], 1.0);
  mHost.mTimeInfo.flags &= ~kVstTransportRecording;
  Render(4);
  EXPECT_TRUE(Silent());
}

TEST_F(SoundVoices, PauseOfMoreThanHalfASecondBetweenBlocksSilencesEveryVoice)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  NoteOn(60);
  Render(4);
  EXPECT_EQ(mL[3], 1.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  Render(4);
  EXPECT_TRUE(Silent());
}

TEST_F(SoundVoices, EveryMessageButLowNotesIsPassedOnOnceInOrder)
{
  mSlots[0].active = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  mHost.ClearRecord();
  std::vector<plugintest::SentMidi> in, expected;
  int offset = 0;
  for (int status = 0x80; status <= 0xEF; status += 0x10)
  {
    for (int channel : {0, 9, 15})
    {
      for (int data1 : {0, 11, 12, 60, 127})
      {
        const plugintest::SentMidi m{
            offset++ % 64, {static_cast<uint8_t>(status | channel), static_cast<uint8_t>(data1), 64}};
        in.push_back(m);
        const bool note = (status >> 4) == 8 || (status >> 4) == 9;
        if (!note || data1 >= 12) expected.push_back(m);
      }
    }
  }
  Midi(in);
  ASSERT_EQ(mHost.mMidiOut.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
  {
    EXPECT_EQ(mHost.mMidiOut[i].deltaFrames, expected[i].deltaFrames) << i;
    for (int b = 0; b < 3; ++b)
      EXPECT_EQ(mHost.mMidiOut[i].bytes[b], expected[i].bytes[b]) << i;
  }
  Render(64);
  EXPECT_FALSE(Silent()); // the notes among them were played as well
}

TEST_F(SoundVoices, SinglePrecisionCallbacksCarryTheSameSound)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("ramp.wav", {Ramp(64)}, 66150);
  Start();
  NoteOn(60);
  Render(16);
  const std::vector<double> reference = mL;

  // A second instance, same state, same note, rendered by the 32-bit callbacks.
  plugintest::PluginInstance other;
  other.Open(44100.0f, 512);
  ASSERT_EQ(other.SetChunk(StateChunk(mSlots)), 1);
  std::vector<float> l(16, 0.0f), r(16, 0.0f);
  float* outs[2] = {l.data(), r.data()};
  other.Effect()->processReplacing(other.Effect(), nullptr, outs, 1);
  other.SendMidi({{0, {0x90, 60, 127}}});
  other.Effect()->processReplacing(other.Effect(), nullptr, outs, 8);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(l[i], static_cast<float>(reference[i])) << i;
  // The accumulating callback adds the next eight frames to what the buffers hold.
  std::vector<float> al(8, 0.25f), ar(8, 0.25f);
  float* aouts[2] = {al.data(), ar.data()};
  other.Effect()->process(other.Effect(), nullptr, aouts, 8);
  for (int i = 0; i < 8; ++i)
    EXPECT_FLOAT_EQ(al[i], 0.25f + static_cast<float>(reference[8 + i])) << i;
}
