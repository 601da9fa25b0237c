// The render call's clean-ups around the engine's mixer: first call, transport stop, long pauses.

#include "plugin/KestruneFixture.h"

#include <chrono>

using namespace plugintest;

namespace
{
CLS_KESTRUNE::Clock::time_point gFakeNow;
CLS_KESTRUNE::Clock::time_point FakeNow()
{
  return gFakeNow;
}
} // namespace

class KestruneRender : public KestruneTest
{
protected:
  void SetUp() override
  {
    KestruneTest::SetUp();
    gFakeNow = CLS_KESTRUNE::Clock::time_point{};
    mPlug->SetRenderClock(&FakeNow);
    OpenAt(44100.0);
    LoadSample(0, std::vector<double>(100000, 0.5), 1, 44100.0);
    Apply(5, 0.0); // attack 0: full level on the first frame
  }

  void Advance(double seconds)
  {
    gFakeNow +=
        std::chrono::duration_cast<CLS_KESTRUNE::Clock::duration>(std::chrono::duration<double>(seconds));
  }
};

TEST_F(KestruneRender, FirstCallDropsNotesReceivedBeforeIt)
{
  NoteOn(60);
  EXPECT_EQ(E().mVoiceCount, 1);
  Render(64);
  EXPECT_TRUE(Silent());
  EXPECT_EQ(E().mVoiceCount, 0);
  NoteOn(60);
  Render(64);
  EXPECT_FALSE(Silent());
  EXPECT_DOUBLE_EQ(mLeft[0], 0.5); // full level, pan centre, velocity 127
}

TEST_F(KestruneRender, TransportStopSilencesAndStartDoesNothingRecordingCountingAsRunning)
{
  for (VstInt32 running : {kVstTransportPlaying, kVstTransportRecording})
  {
    SCOPED_TRACE(running);
    Render(8);
    NoteOn(60);
    Render(8);
    EXPECT_FALSE(Silent());
    mHost.mTimeInfo.flags |= running; // starting: nothing happens
    Render(8);
    EXPECT_FALSE(Silent());
    mHost.mTimeInfo.flags &= ~running; // stopping: every voice ends at once
    Render(8);
    EXPECT_TRUE(Silent());
    EXPECT_EQ(E().mVoiceCount, 0);
  }
}

TEST_F(KestruneRender, PauseOfMoreThanHalfASecondSilencesEveryVoice)
{
  Render(8);
  NoteOn(60);
  NoteOn(67);
  Advance(0.5); // exactly half a second is not a gap
  Render(8);
  EXPECT_FALSE(Silent());
  Advance(0.501);
  Render(8);
  EXPECT_TRUE(Silent());
  EXPECT_EQ(E().mVoiceCount, 0);
}

TEST_F(KestruneRender, ZeroFramesStillRunTheCleanUpsAndResetOffsets)
{
  Render(8);
  NoteOn(60, 127, 100);
  Render(0);
  EXPECT_EQ(mLeft[0], 7.0); // nothing written
  EXPECT_EQ(E().mVoiceOffset[0], 0);
  Render(8);
  EXPECT_NE(mLeft[0], 0.0); // the voice sounds from the first frame of the next block

  mHost.mTimeInfo.flags |= kVstTransportPlaying;
  Render(0);
  mHost.mTimeInfo.flags &= ~kVstTransportPlaying;
  Render(-3);
  EXPECT_EQ(E().mVoiceCount, 0);
}
