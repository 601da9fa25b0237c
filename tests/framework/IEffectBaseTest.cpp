#include "TestPlug.h"

#include <cmath>
#include <cstring>

namespace
{
IEffectVST* MakeBare(const char* channelIO, int nParams = 0, int nPresets = 1)
{
  return new IEffectVST(IEffectInstanceInfo{}, nParams, channelIO, nPresets, "Bare", "", "Maker", 0x10100, 1,
                        2, 0, 0, true, false);
}
} // namespace

TEST(IEffectBase, ChannelStringGivesCountsAndPairs)
{
  std::unique_ptr<IEffectVST> synth(MakeBare("0-2"));
  EXPECT_EQ(synth->NInChannels(), 0);
  EXPECT_EQ(synth->NOutChannels(), 2);
  EXPECT_FALSE(synth->LegalIO(1, -1));
  EXPECT_TRUE(synth->LegalIO(0, 2));
  EXPECT_EQ(synth->GetAEffect()->flags & effFlagsCanMono, 0);

  std::unique_ptr<IEffectVST> fx(MakeBare("1-1 2-2"));
  EXPECT_EQ(fx->NInChannels(), 2);
  EXPECT_EQ(fx->NOutChannels(), 2);
  EXPECT_TRUE(fx->LegalIO(1, -1));
  EXPECT_TRUE(fx->LegalIO(-1, 2));
  EXPECT_FALSE(fx->LegalIO(1, 2));
  EXPECT_NE(fx->GetAEffect()->flags & effFlagsCanMono, 0);
}

TEST(IEffectBase, VersionsInDecimalAndText)
{
  std::unique_ptr<IEffectVST> plug(MakeBare("0-2"));
  char text[MAX_VERSION_STR_LEN];
  plug->GetEffectVersionStr(text);
  EXPECT_STREQ(text, "v1.01");
  EXPECT_EQ(plug->GetEffectVersion(true), 10100);
  EXPECT_EQ(plug->GetEffectVersion(false), 0x10100);
  int major = 0, revision = 0, minor = 0;
  GetVersionParts(0x20A03, &major, &revision, &minor);
  EXPECT_EQ(major, 2);
  EXPECT_EQ(revision, 10);
  EXPECT_EQ(minor, 3);
  EXPECT_EQ(plug->GetAEffect()->version, 10100);
}

using IEffectBaseDeathTest = ::testing::Test;

TEST(IEffectBaseDeathTest, ConstructionErrorsStopWithTheExpression)
{
  EXPECT_DEATH(delete MakeBare("2"), "channelIOStrValid");
  EXPECT_DEATH(delete MakeBare("1-1  2-2"), "channelIOStrValid");
  EXPECT_DEATH(
      delete new IEffectVST(IEffectInstanceInfo{}, 0, "0-2", 0, "x", "", "m", 0, 0, 0, 0, 4, false, false),
      "plugDoesMidi >= 0 && plugDoesMidi <= 3");
  const std::string longName(MAX_EFFECT_NAME_LEN, 'e');
  EXPECT_DEATH(delete new IEffectVST(IEffectInstanceInfo{}, 0, "0-2", 0, longName.c_str(), "", "m", 0, 0, 0,
                                     0, 0, false, false),
               "strlen\\(effectName\\) < MAX_EFFECT_NAME_LEN");
  EXPECT_DEATH(delete new IEffectVST(IEffectInstanceInfo{}, 0, "0-2", 0, "x", "", longName.c_str(), 0, 0, 0,
                                     0, 0, false, false),
               "strlen\\(mfrName\\) < MAX_MFR_NAME_LEN");
}

// ---- Buffers and the ready gate ----

using ProcessBuffers = PlugFixture;

TEST_F(ProcessBuffers, CallsBeforeReadyNeverRenderFloatGetsZerosDoubleKeepsTheHostBuffers)
{
  float left[4] = {9, 9, 9, 9}, right[4] = {9, 9, 9, 9};
  float* outs[] = {left, right};
  mEffect->processReplacing(mEffect, nullptr, outs, 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(left[i] == 0.0f && right[i] == 0.0f) << i;
  double dleft[2] = {9, 9}, dright[2] = {9, 9};
  double* douts[] = {dleft, dright};
  mEffect->processDoubleReplacing(mEffect, nullptr, douts, 2);
  EXPECT_EQ(dleft[1], 9.0);
  EXPECT_TRUE(mLog.mRenderFrames.empty());
}

TEST_F(ProcessBuffers, AccumulatingCallAddsToWhatTheHostHolds)
{
  Open();
  float left[3] = {10, 20, 30}, right[3] = {0, 0, 0};
  float* outs[] = {left, right};
  mEffect->process(mEffect, nullptr, outs, 3);
  EXPECT_EQ(left[0], 11.0f);
  EXPECT_EQ(left[2], 33.0f);
  EXPECT_EQ(right[2], 3.0f);
}

TEST_F(ProcessBuffers, SameBlockSizeKeepsScratchContentsANewOneZeroesThem)
{
  Open();
  float left[2] = {}, right[2] = {};
  float* outs[] = {left, right};
  mEffect->processReplacing(mEffect, nullptr, outs, 2); // scratch now holds 1, 2
  mPlug->mParamsReady = false;                          // the gate closes: scratch goes out unchanged
  mPlug->SetBlockSize(mPlug->GetBlockSize());
  left[0] = left[1] = 0;
  mEffect->processReplacing(mEffect, nullptr, outs, 2);
  EXPECT_EQ(left[0], 1.0f);
  EXPECT_EQ(left[1], 2.0f);
  mPlug->SetBlockSize(mPlug->GetBlockSize() + 1);
  mEffect->processReplacing(mEffect, nullptr, outs, 2);
  EXPECT_EQ(left[0], 0.0f);
  EXPECT_EQ(left[1], 0.0f);
}

// ---- Editor-facing parameter paths ----

using ParamGestures = PlugFixture;

TEST_F(ParamGestures, EndWithoutEditorIsSentAtOnceAndABurstIsOneBracketClosedByAnotherParameter)
{
  mPlug->DelayEndInformHostOfParamChange(3); // without an editor the end is sent at once
  ASSERT_EQ(mHost.CallsOf(audioMasterEndEdit).size(), 1u);
  EXPECT_EQ(mHost.CallsOf(audioMasterEndEdit)[0].mIndex, 3);
  mHost.mCalls.clear();

  TestGraphicsLog* editor = AttachEditor();
  mPlug->BeginDelayedInformHostOfParamChange(2);
  mPlug->DelayEndInformHostOfParamChange(2);
  mPlug->BeginDelayedInformHostOfParamChange(2);
  mPlug->DelayEndInformHostOfParamChange(2);
  EXPECT_EQ(mHost.Count(audioMasterBeginEdit), 1);
  EXPECT_EQ(mHost.Count(audioMasterEndEdit), 0);
  ASSERT_EQ(editor->mTimerStarts.size(), 2u);
  EXPECT_EQ(editor->mTimerStarts[0], 12); // half a second at 24 ticks per second

  mPlug->BeginDelayedInformHostOfParamChange(4);
  auto ends = mHost.CallsOf(audioMasterEndEdit);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0].mIndex, 2);
  EXPECT_EQ(mHost.CallsOf(audioMasterBeginEdit).back().mIndex, 4);

  mPlug->DelayEndInformHostOfParamChange(4);
  mPlug->EndDelayedInformHostOfParamChange(); // the countdown expired
  ends = mHost.CallsOf(audioMasterEndEdit);
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_EQ(ends[1].mIndex, 4);
  mPlug->EndDelayedInformHostOfParamChange();
  EXPECT_EQ(mHost.Count(audioMasterEndEdit), 2);
}

TEST_F(ParamGestures, EditorEditStoresInformsAndApplies)
{
  mPlug->SetParameterFromGUI(TestPlug::kTime, 0.25);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(TestPlug::kTime)->Value(), 4.0);
  const auto automates = mHost.CallsOf(audioMasterAutomate);
  ASSERT_EQ(automates.size(), 1u);
  EXPECT_EQ(automates[0].mIndex, TestPlug::kTime);
  EXPECT_EQ(automates[0].mOpt, 0.25f);
  EXPECT_EQ(mLog.mParamChanges, std::vector<int>{TestPlug::kTime});
  mPlug->SetParameterFromGUI(99, 0.5); // outside the list: nothing
  EXPECT_EQ(mHost.Count(audioMasterAutomate), 1);
}

TEST_F(ParamGestures, AttachingShowsNormalisedValuesAndRedrawShowsRealOnes)
{
  TestGraphicsLog* editor = AttachEditor();
  ASSERT_EQ(editor->mShown.size(), static_cast<size_t>(TestPlug::kNumTestParams));
  EXPECT_EQ(editor->mPrepDraws, 1);
  EXPECT_TRUE(editor->mShown[TestPlug::kTime].mNormalized);
  EXPECT_DOUBLE_EQ(editor->mShown[TestPlug::kTime].mValue, 1.5 / 16.0);
  editor->mShown.clear();
  mPlug->RedrawParamControls();
  ASSERT_EQ(editor->mShown.size(), static_cast<size_t>(TestPlug::kNumTestParams));
  EXPECT_FALSE(editor->mShown[TestPlug::kTime].mNormalized);
  EXPECT_EQ(editor->mShown[TestPlug::kTime].mValue, 1.5);
}

TEST_F(ParamGestures, SendMidiMsgsIsTrueOnlyWhenEveryMessageWasTaken)
{
  std::vector<IMidiMsg> msgs(2);
  msgs[0].MakeNoteOnMsg(60, 100, 1);
  msgs[1].MakeNoteOffMsg(60, 2);
  EXPECT_TRUE(mPlug->SendMidiMsgs(&msgs));
  ASSERT_EQ(mHost.mMidiOut.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(mHost.mMidiOut[0].midiData[0]), 0x90);
  EXPECT_EQ(mHost.mMidiOut[1].deltaFrames, 2);
  mHost.mProcessEventsAnswer = 0;
  EXPECT_FALSE(mPlug->SendMidiMsgs(&msgs));
}
