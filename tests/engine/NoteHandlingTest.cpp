// Note messages into voices: allocation, release, pitch, gain, pan, envelope and the voice clean-ups.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace enginetest;

namespace
{
// Engine at 100 Hz (a hundredth of a second is one frame) with slot 0 playing keys 12..127 from root
// 60 on a looping 16-frame mono sample of ones.
struct NoteFixture : ::testing::Test
{
  NoteFixture()
  {
    e.ChangeEngineRate(100.0);
    SetUpSlot(e, 0, 12, 127, 60, 4, 16, true);
    LoadSample(e, 0, std::vector<double>(16, 1.0), 1);
    e.SetViews(&views);
  }
  SamplerEngine e;
  RecordingViews views;
};
} // namespace

TEST_F(NoteFixture, NoteOnStartsAVoiceInAttackAndNoteOffReleasesIt)
{
  EXPECT_TRUE(e.HandleMidi(0x93, 64, 127, 17)); // channel is not looked at
  EXPECT_EQ(e.mVoiceSlot[0], 1);
  EXPECT_EQ(e.mVoiceNote[0], 64);
  EXPECT_EQ(e.mVoiceStage[0], kStageAttack);
  EXPECT_EQ(e.mVoiceOffset[0], 17);
  EXPECT_EQ(e.mVoiceLevel[0], 0.0);
  EXPECT_EQ(e.mVoicePos[0], 0.0);
  EXPECT_EQ(e.mVoiceGain[0], 1.0f);
  EXPECT_EQ(e.mVoiceCount, 1);
  const std::vector<ViewEvent> on = {{"note", 0, 64, true}, {"played", 0, 0, false}};
  EXPECT_EQ(views.events, on);

  views.events.clear();
  EXPECT_TRUE(e.HandleMidi(0x8F, 64, 40, 0));
  EXPECT_EQ(e.mVoiceStage[0], kStageRelease);
  EXPECT_EQ(e.mVoiceNote[0], 0);
  EXPECT_EQ(e.mVoiceSlot[0], 1);
  const std::vector<ViewEvent> off = {{"note", 0, 64, false}};
  EXPECT_EQ(views.events, off);
}

TEST_F(NoteFixture, NoteOnWithVelocityZeroReleasesLikeNoteOff)
{
  e.HandleMidi(0x90, 64, 100, 0);
  EXPECT_TRUE(e.HandleMidi(0x90, 64, 0, 0));
  EXPECT_EQ(e.mVoiceStage[0], kStageRelease);
  EXPECT_EQ(e.mVoiceNote[0], 0);
  // A second note-off finds nothing.
  e.HandleMidi(0x80, 64, 0, 0);
  EXPECT_EQ(e.mVoiceStage[0], kStageRelease);
  EXPECT_EQ(e.mVoiceCount, 1);
}

TEST_F(NoteFixture, OtherMessagesArePassedOnWithoutEffect)
{
  const uint8_t messages[][3] = {{0xB0, 123, 0}, {0xB0, 64, 127}, {0xE0, 0, 64},  {0xD0, 90, 0},
                                 {0xA0, 60, 90}, {0xC0, 5, 0},    {0xF0, 60, 100}};
  for (const auto& m : messages)
  {
    EXPECT_TRUE(e.HandleMidi(m[0], m[1], m[2], 0)) << int(m[0]);
  }
  EXPECT_EQ(e.mVoiceCount, 0);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_TRUE(views.events.empty());
}

TEST_F(NoteFixture, NotesBelowTwelveAreNeitherPlayedNorPassedOn)
{
  EXPECT_FALSE(e.HandleMidi(0x90, 11, 100, 0));
  EXPECT_FALSE(e.HandleMidi(0x80, 0, 0, 0));
  EXPECT_EQ(e.mVoiceCount, 0);
  EXPECT_TRUE(views.events.empty());
  EXPECT_TRUE(e.HandleMidi(0x90, 12, 100, 0));
  EXPECT_EQ(e.mVoiceCount, 1);
}

TEST_F(NoteFixture, InactiveOrEmptySlotsIgnoreNotesAndKeepTheirKeyboardQuiet)
{
  e.ApplySlotParam(ParamIndex(0, kActive), 0);
  SetUpSlot(e, 1, 12, 127, 60, 4, 16, true); // active, but no sample
  views.events.clear();
  EXPECT_TRUE(e.HandleMidi(0x90, 60, 100, 0));
  EXPECT_EQ(e.mVoiceCount, 0);
  EXPECT_TRUE(views.events.empty());
}

TEST_F(NoteFixture, LowNoteAboveHighNoteNeverSoundsButTheKeyboardShowsTheKeys)
{
  e.ApplySlotParam(ParamIndex(0, kLowNote), 80);
  e.ApplySlotParam(ParamIndex(0, kHighNote), 70);
  views.events.clear();
  e.HandleMidi(0x90, 75, 100, 0);
  e.HandleMidi(0x80, 75, 0, 0);
  EXPECT_EQ(e.mVoiceCount, 0);
  const std::vector<ViewEvent> expected = {{"note", 0, 75, true}, {"note", 0, 75, false}};
  EXPECT_EQ(views.events, expected);
}

TEST_F(NoteFixture, OverlappingRangesStartOneVoicePerSlotWithThatSlotsPitchGainAndPan)
{
  SetUpSlot(e, 2, 50, 70, 48, 4, 16, true);
  LoadSample(e, 2, std::vector<double>(8, 1.0), 1, 50.0); // half the engine rate
  e.ApplySlotParam(ParamIndex(2, kVolume), -6);
  e.ApplySlotParam(ParamIndex(2, kPan), -100);
  e.HandleMidi(0x90, 60, 127, 0);
  ASSERT_EQ(e.mVoiceCount, 2);
  EXPECT_EQ(e.mVoiceSlot[0], 1);
  EXPECT_EQ(e.mVoiceSlot[1], 3);
  EXPECT_EQ(e.mVoiceStep[0], 1.0);
  EXPECT_EQ(e.mVoiceStep[1], 2.0 * 0.5); // an octave up at half the rate
  EXPECT_EQ(e.mVoiceGain[0], 1.0f);
  EXPECT_EQ(e.mVoiceGain[1], e.mVolumeGain[2]);
  EXPECT_EQ(e.mVoicePanLeft[1], 1.5f);
  EXPECT_EQ(e.mVoicePanRight[1], 0.0f);
  EXPECT_EQ(e.mVoicePanLeft[0], 1.0f);
}

TEST_F(NoteFixture, SameKeyTwiceReleasesTheLowerVoiceFirst)
{
  e.HandleMidi(0x90, 60, 100, 0);
  e.HandleMidi(0x90, 60, 100, 0);
  ASSERT_EQ(e.mVoiceCount, 2);
  e.HandleMidi(0x80, 60, 0, 0);
  EXPECT_EQ(e.mVoiceStage[0], kStageRelease);
  EXPECT_EQ(e.mVoiceStage[1], kStageAttack);
  e.HandleMidi(0x80, 60, 0, 0);
  EXPECT_EQ(e.mVoiceStage[1], kStageRelease);
}

TEST_F(NoteFixture, TwentyFifthVoiceIsDroppedAndTheLowestFreeVoiceIsReused)
{
  for (int n = 0; n < kNumVoices; ++n)
  {
    e.HandleMidi(0x90, static_cast<uint8_t>(40 + n), 100, 0);
  }
  ASSERT_EQ(e.mVoiceCount, kNumVoices);
  views.events.clear();
  EXPECT_TRUE(e.HandleMidi(0x90, 100, 100, 0));
  for (int v = 0; v < kNumVoices; ++v)
  {
    EXPECT_NE(e.mVoiceNote[v], 100);
  }
  const std::vector<ViewEvent> shown = {{"note", 0, 100, true}};
  EXPECT_EQ(views.events, shown);

  e.StopSlotVoices(0); // frees everything; now keep voices 0..2 busy and free 1 by its release
  e.HandleMidi(0x90, 40, 100, 0);
  e.HandleMidi(0x90, 41, 100, 0);
  e.HandleMidi(0x90, 42, 100, 0);
  e.mVoiceSlot[1] = 0; // voice 1 ended
  e.HandleMidi(0x90, 43, 100, 0);
  EXPECT_EQ(e.mVoiceNote[1], 43);
  EXPECT_EQ(e.mVoiceCount, 3);
}

TEST_F(NoteFixture, NoteOnAndOffInTheSameBlockIsNotHeard)
{
  e.HandleMidi(0x90, 60, 127, 0);
  e.HandleMidi(0x80, 60, 0, 10);
  Block b(32);
  e.Mix(b.Out(), 32);
  for (int i = 0; i < 32; ++i)
  {
    EXPECT_EQ(b.left[i], 0.0) << i;
    EXPECT_EQ(b.right[i], 0.0) << i;
  }
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(NoteFixture, PitchStepIsTwoToTheTranspositionTimesTheRateRatio)
{
  e.HandleMidi(0x90, 72, 100, 0);
  EXPECT_EQ(e.mVoiceStep[0], 2.0);
  e.ApplySlotParam(ParamIndex(0, kSemitonesMultiply), 5);
  e.HandleMidi(0x90, 72, 100, 0);
  EXPECT_EQ(e.mVoiceStep[1], std::exp2(static_cast<double>(12.0f * 0.5f) * 0.08333333333333333));
  EXPECT_NEAR(e.mVoiceStep[1], 1.41421356, 1e-8);
  e.ApplySlotParam(ParamIndex(0, kSemitonesMultiply), 20);
  e.HandleMidi(0x90, 48, 100, 0);
  EXPECT_EQ(e.mVoiceStep[2], 0.25);
  e.ApplySlotParam(ParamIndex(0, kSemitonesMultiply), 1); // 0.1f: single-precision transposition
  e.HandleMidi(0x90, 63, 100, 0);
  EXPECT_EQ(e.mVoiceStep[3], std::exp2(static_cast<double>(3.0f * 0.1f) * 0.08333333333333333));
  EXPECT_NE(e.mVoiceStep[3], std::exp2(0.3 * 0.08333333333333333));
}

TEST_F(NoteFixture, VelocityGainFallsWithTheSquareOfTheMissingVelocity)
{
  e.ApplySlotParam(ParamIndex(0, kVolume), -6);
  const float volume = e.mVolumeGain[0];
  e.HandleMidi(0x90, 60, 127, 0);
  e.HandleMidi(0x90, 61, 64, 0);
  e.HandleMidi(0x90, 62, 1, 0);
  EXPECT_EQ(e.mVoiceGain[0], volume);
  const float q64 = 63.0f * 0.007874016f;
  EXPECT_EQ(e.mVoiceGain[1], (1.0f - q64 * q64) * volume);
  EXPECT_NEAR(e.mVoiceGain[1] / volume, 0.754, 0.001);
  EXPECT_NEAR(e.mVoiceGain[2] / volume, 0.0157, 0.0001);
}

TEST_F(NoteFixture, AlternatePanMirrorsEveryOtherNoteStartingUnmirrored)
{
  e.ApplySlotParam(ParamIndex(0, kPan), -80);
  e.ApplySlotParam(ParamIndex(0, kAlternatePan), 1);
  for (int n = 0; n < 3; ++n)
  {
    e.HandleMidi(0x90, 60, 100, 0);
  }
  EXPECT_FLOAT_EQ(e.mVoicePanLeft[0], 1.4f);
  EXPECT_FLOAT_EQ(e.mVoicePanRight[0], 0.2f);
  EXPECT_EQ(e.mVoicePanLeft[1], e.mVoicePanRight[0]);
  EXPECT_EQ(e.mVoicePanRight[1], e.mVoicePanLeft[0]);
  EXPECT_EQ(e.mVoicePanLeft[2], e.mVoicePanLeft[0]);
  EXPECT_EQ(e.mVoicePanRight[2], e.mVoicePanRight[0]);
  // Switched off, every note takes the unmirrored pan.
  e.ApplySlotParam(ParamIndex(0, kAlternatePan), 0);
  e.HandleMidi(0x90, 60, 100, 0);
  e.HandleMidi(0x90, 60, 100, 0);
  EXPECT_EQ(e.mVoicePanLeft[3], e.mPanLeft[0]);
  EXPECT_EQ(e.mVoicePanLeft[4], e.mPanLeft[0]);
}

TEST_F(NoteFixture, ReleaseDuringAttackStartsFromTheLevelReached)
{
  // Attack 4 frames (step 1/4), release 16 frames (step 1/16).
  e.HandleMidi(0x90, 60, 127, 0);
  Block b(1);
  e.Mix(b.Out(), 1);
  EXPECT_EQ(e.mVoiceLevel[0], 0.25);
  e.HandleMidi(0x80, 60, 0, 0);
  Block r(8);
  e.Mix(r.Out(), 8);
  // 0.1875, 0.125, 0.0625, then 0: the voice ends on the fourth frame of the release.
  EXPECT_EQ(r.left[0], 0.1875);
  EXPECT_EQ(r.left[2], 0.0625);
  EXPECT_EQ(r.left[3], 0.0);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(NoteFixture, EnvelopeRisesLinearlyThenHoldsAndZeroTimesAreImmediate)
{
  e.HandleMidi(0x90, 60, 127, 0);
  const double expected[] = {0.25, 0.5, 0.75, 1.0, 1.0};
  for (double level : expected)
  {
    e.ApplyEnvelope(0, 0);
    EXPECT_EQ(e.mVoiceLevel[0], level);
    EXPECT_EQ(e.mVoiceAmp[0], level);
  }
  EXPECT_EQ(e.mVoiceStage[0], kStageSustain);

  e.ApplySlotParam(ParamIndex(0, kAttack), 0);
  e.ApplySlotParam(ParamIndex(0, kRelease), 0);
  e.HandleMidi(0x90, 61, 64, 0);
  e.ApplyEnvelope(0, 1);
  EXPECT_EQ(e.mVoiceLevel[1], 1.0);
  EXPECT_EQ(e.mVoiceAmp[1], static_cast<double>(e.mVoiceGain[1]));
  e.HandleMidi(0x80, 61, 0, 0);
  e.ApplyEnvelope(0, 1);
  EXPECT_EQ(e.mVoiceSlot[1], 0);
  EXPECT_EQ(e.mVoiceAmp[1], 0.0);
  EXPECT_EQ(e.mVoiceCount, 1); // voice 0 still sounds
}

TEST_F(NoteFixture, StopSlotVoicesLowersTheCountOnlyPastTheSlotsTopRun)
{
  e.ApplySlotParam(ParamIndex(0, kHighNote), 70);
  SetUpSlot(e, 1, 71, 127, 60, 4, 16, true);
  LoadSample(e, 1, std::vector<double>(4, 1.0), 1);
  e.HandleMidi(0x90, 60, 100, 0); // voice 0: slot 0
  e.HandleMidi(0x90, 80, 100, 0); // voice 1: slot 1
  e.HandleMidi(0x90, 61, 100, 0); // voice 2: slot 0
  e.HandleMidi(0x90, 62, 100, 0); // voice 3: slot 0
  ASSERT_EQ(e.mVoiceCount, 4);

  e.StopSlotVoices(0);
  EXPECT_EQ(e.mVoiceCount, 2);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceSlot[1], 2);

  e.StopSlotVoices(1);
  EXPECT_EQ(e.mVoiceCount, 1); // the free voice 0 below stops the lowering
  e.TrimVoiceCount();
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(NoteFixture, SilenceAllVoicesFreesEveryVoiceAndClearsHeldKeys)
{
  SetUpSlot(e, 3, 12, 127, 60, 4, 16, true); // active but empty: no keyboard clearing
  e.HandleMidi(0x90, 60, 100, 0);
  e.HandleMidi(0x90, 61, 100, 0);
  views.events.clear();
  e.SilenceAllVoices();
  EXPECT_EQ(e.mVoiceCount, 0);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceSlot[1], 0);
  EXPECT_EQ(e.mVoiceAmp[0], 0.0);
  const std::vector<ViewEvent> expected = {{"clear", 0, 0, false}};
  EXPECT_EQ(views.events, expected);
}
