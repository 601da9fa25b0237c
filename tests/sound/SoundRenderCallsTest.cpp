// Process calls as hosts make them, heard through the built module: blocks longer than the announced
// size (rendered in pieces, every note still at its own frame, in both precisions) and calls of 0
// frames (which write nothing but do the render's per-call work: the first call's start-up, the reset
// of the voice offsets, the pause clock and the transport check).

#include "sound/SoundFixture.h"

#include <chrono>
#include <thread>

using namespace soundtest;

using SoundRenderCalls = SoundTest;

namespace
{
constexpr int kAnnounced = 64;
constexpr int kHostBlock = 512;

// Two notes of one slot in the block after the first: key 60 at frame 100 (in the second piece of 64)
// and key 72 at frame 300.
const std::vector<plugintest::SentMidi> kTwoNotes = {{100, {0x90, 60, 127}}, {300, {0x90, 72, 100}}};

// A fresh instance with the fixture's slots, announced block size `announced`, after its first call.
void OpenLike(plugintest::PluginInstance& plug, const std::vector<uint8_t>& state, int announced)
{
  plug.Open(1000.0f, announced);
  ASSERT_EQ(plug.SetChunk(state), 1);
  std::vector<double> l, r;
  RenderInto(plug.Effect(), &l, &r, 1);
}
} // namespace

TEST_F(SoundRenderCalls, NotesInABlockLongerThanAnnouncedSoundAtTheirOwnFramesInBothPrecisions)
{
  mSlots[0].active = 1;
  mSlots[0].attack = 0.01; // ten frames at 1000 Hz: the envelope shows where a note starts
  mSlots[0].path = WriteWav("ramp.wav", {Ramp(1000)}, 1000);
  const std::vector<uint8_t> state = StateChunk(mSlots);

  // The reference: the same notes in a block that fits the announced size.
  Start(1000.0f, kHostBlock);
  Midi(kTwoNotes);
  Render(kHostBlock);
  const std::vector<double> refL = mL;
  const std::vector<double> refR = mR;
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(refL[static_cast<size_t>(i)], 0.0) << i;
  EXPECT_EQ(refL[100], 1.0 * 0.1);
  EXPECT_EQ(refL[101], 2.0 * 0.2);
  EXPECT_NE(refL[300] - refL[299], refL[299] - refL[298]); // the second note starts at 300

  // 64-bit: the host's block of 512 frames is rendered in eight pieces of 64.
  {
    plugintest::PluginInstance plug;
    OpenLike(plug, state, kAnnounced);
    plug.SendMidi(kTwoNotes);
    std::vector<double> l, r;
    RenderInto(plug.Effect(), &l, &r, kHostBlock);
    EXPECT_EQ(l, refL);
    EXPECT_EQ(r, refR);
  }
  // 32-bit, replacing and accumulating.
  for (bool accumulate : {false, true})
  {
    SCOPED_TRACE(accumulate ? "accumulating" : "replacing");
    plugintest::PluginInstance plug;
    OpenLike(plug, state, kAnnounced);
    plug.SendMidi(kTwoNotes);
    std::vector<float> l(kHostBlock, 0.0f), r(kHostBlock, 0.0f);
    float* outs[2] = {l.data(), r.data()};
    if (accumulate)
      plug.Effect()->process(plug.Effect(), nullptr, outs, kHostBlock);
    else
      plug.Effect()->processReplacing(plug.Effect(), nullptr, outs, kHostBlock);
    for (size_t i = 0; i < l.size(); ++i)
    {
      ASSERT_EQ(l[i], static_cast<float>(refL[i])) << i;
      ASSERT_EQ(r[i], static_cast<float>(refR[i])) << i;
    }
  }
}

TEST_F(SoundRenderCalls, NoteAtAnOffsetPastTheBlockStartsAtTheNextBlocksFirstFrameAlsoInPieces)
{
  mSlots[0].active = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(2000, 1.0)}, 1000);
  Start(1000.0f, kAnnounced);
  NoteOn(60, 127, 700); // beyond the host's block of 512
  Render(kHostBlock);
  EXPECT_TRUE(Silent());
  Render(4);
  EXPECT_EQ(mL[0], 1.0);
}

TEST_F(SoundRenderCalls, ZeroFrameCallsWriteNothingInEitherPrecision)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  NoteOn(60);
  std::vector<double> dl(4, 7.0), dr(4, 7.0);
  double* douts[2] = {dl.data(), dr.data()};
  std::vector<float> fl(4, 7.0f), fr(4, 7.0f);
  float* fouts[2] = {fl.data(), fr.data()};
  for (int n : {0, -5})
  {
    Fx()->processDoubleReplacing(Fx(), nullptr, douts, n);
    Fx()->processReplacing(Fx(), nullptr, fouts, n);
    Fx()->process(Fx(), nullptr, fouts, n);
  }
  EXPECT_EQ(dl, std::vector<double>(4, 7.0));
  EXPECT_EQ(dr, std::vector<double>(4, 7.0));
  EXPECT_EQ(fl, std::vector<float>(4, 7.0f));
  EXPECT_EQ(fr, std::vector<float>(4, 7.0f));
  Render(4);
  EXPECT_EQ(mL[3], 1.0); // the note goes on
}

TEST_F(SoundRenderCalls, ZeroFrameFirstCallDoesTheStartUpSoTheNextNoteIsHeard)
{
  mSlots[0].active = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  mPlug->Open();
  ASSERT_EQ(mPlug->SetChunk(StateChunk(mSlots)), 1);
  Render(0);
  NoteOn(60);
  Render(4);
  EXPECT_EQ(mL[0], 1.0);
}

TEST_F(SoundRenderCalls, ZeroFrameCallEndsTheBlockSoAPendingNoteStartsAtTheNextFirstFrame)
{
  mSlots[0].active = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(2000, 1.0)}, 1000);
  Start(1000.0f, 512);
  NoteOn(60, 127, 100);
  Render(0);
  Render(8);
  EXPECT_EQ(mL[0], 1.0);
}

TEST_F(SoundRenderCalls, ZeroFrameCallsKeepThePauseClockGoing)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  NoteOn(60);
  Render(4);
  // Three calls 0.3 s apart: no pause of more than half a second, though 0.9 s pass without audio.
  for (int k = 0; k < 3; ++k)
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Render(0);
  }
  Render(4);
  EXPECT_EQ(mL[3], 1.0);
}

TEST_F(SoundRenderCalls, TransportStopSeenByAZeroFrameCallSilences)
{
  mSlots[0].active = 1;
  mSlots[0].loop = 1;
  mSlots[0].path = WriteWav("one.wav", {std::vector<double>(64, 1.0)}, 44100);
  Start();
  mHost.mTimeInfo.flags |= kVstTransportPlaying;
  NoteOn(60);
  Render(4);
  EXPECT_EQ(mL[3], 1.0);
  mHost.mTimeInfo.flags &= ~kVstTransportPlaying; // stopped during an empty call ...
  Render(0);
  mHost.mTimeInfo.flags |= kVstTransportPlaying; // ... and running again at the next block
  Render(4);
  EXPECT_TRUE(Silent());
}
