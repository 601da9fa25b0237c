#include "TestPlug.h"

#include "framework/VSTEntry.h"

#include <cstring>
#include <stdexcept>

using VstProcess = PlugFixture;

TEST_F(VstProcess, LongerBlockThanAnnouncedIsRenderedInPieces)
{
  Dispatch(effSetBlockSize, 0, 4);
  Open();
  float left[10] = {}, right[10] = {};
  float* outs[] = {left, right};
  mEffect->processReplacing(mEffect, nullptr, outs, 10);
  EXPECT_EQ(mLog.mRenderFrames, (std::vector<int>{4, 4, 2}));
  for (int s = 0; s < 10; ++s)
    EXPECT_EQ(left[s], static_cast<float>(s + 1)) << s;
  EXPECT_EQ(right[9], 10.0f);

  double dl[6] = {}, dr[6] = {};
  double* douts[] = {dl, dr};
  mEffect->processDoubleReplacing(mEffect, nullptr, douts, 6);
  EXPECT_EQ(dl[0], 11.0);
  EXPECT_EQ(dr[5], 16.0);
}

TEST_F(VstProcess, EmptyOrMissingBuffersDoNothingHarmful)
{
  Open();
  float left[4] = {7, 7, 7, 7};
  float* outs[] = {left, nullptr};
  mEffect->processReplacing(mEffect, nullptr, outs, 0);
  mEffect->processReplacing(mEffect, nullptr, outs, -5);
  EXPECT_TRUE(mLog.mRenderFrames.empty());
  EXPECT_EQ(left[0], 7.0f);
  mEffect->processReplacing(mEffect, nullptr, outs, 4); // the missing right channel renders to scratch
  EXPECT_EQ(left[3], 4.0f);
  mEffect->processReplacing(mEffect, nullptr, nullptr, 4);
  mEffect->processDoubleReplacing(mEffect, nullptr, nullptr, 4);
  mEffect->process(mEffect, nullptr, nullptr, 4);
  EXPECT_EQ(mLog.mRenderFrames.size(), 4u);
  mEffect->processReplacing(nullptr, nullptr, outs, 4);
}

TEST_F(VstProcess, EveryProcessCallAsksForMidi)
{
  float left[2] = {}, right[2] = {};
  float* outs[] = {left, right};
  mEffect->processReplacing(mEffect, nullptr, outs, 2);
  mEffect->processReplacing(mEffect, nullptr, outs, 2);
  EXPECT_EQ(mHost.Count(audioMasterWantMidi), 2);
}

TEST_F(VstProcess, ZeroOrNegativeBlockSizeAndRateKeepTheLastGoodOnes)
{
  Dispatch(effSetBlockSize, 0, 0);
  Dispatch(effSetBlockSize, 0, -3);
  EXPECT_EQ(mPlug->GetBlockSize(), kDefaultBlockSize);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(mPlug->GetSampleRate(), 48000.0);
  EXPECT_EQ(mLog.mResets, 4);
}

TEST_F(VstProcess, EventsBecomeMessagesWithTheirOffsets)
{
  VstMidiEvent note = {};
  note.type = kVstMidiType;
  note.deltaFrames = 17;
  note.midiData[0] = static_cast<char>(0x91);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  uint8_t dump[] = {0xF0, 0x01, 0xF7};
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  sysex.deltaFrames = 3;
  sysex.dumpBytes = 3;
  sysex.sysexDump = reinterpret_cast<char*>(dump);
  VstEvent other = {};
  other.type = kVstAudioType;

  struct
  {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[4];
  } list = {4, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &other, reinterpret_cast<VstEvent*>(&sysex)}};
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(mLog.mMidi.size(), 1u);
  EXPECT_EQ(mLog.mMidi[0].mOffset, 17);
  EXPECT_EQ(mLog.mMidi[0].mStatus, 0x91);
  EXPECT_EQ(mLog.mMidi[0].NoteNumber(), 60);
  ASSERT_EQ(mLog.mSysEx.size(), 1u);
  EXPECT_EQ(mLog.mSysEx[0], (std::vector<uint8_t>{0xF0, 0x01, 0xF7}));
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, nullptr), 1);
  list.numEvents = -4;
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(mLog.mMidi.size(), 1u);
}

TEST_F(VstProcess, TransportIsReadThroughGetTime)
{
  mHost.mTimeInfo.samplePos = 99.6;
  mHost.mTimeInfo.tempo = 140.0;
  mHost.mTimeInfo.timeSigNumerator = 7;
  mHost.mTimeInfo.timeSigDenominator = 8;
  mHost.mTimeInfo.flags = kVstTempoValid | kVstTimeSigValid | kVstTransportRecording;
  EXPECT_EQ(mPlug->GetSamplePos(), 100);
  EXPECT_EQ(mPlug->GetTempo(), 140.0);
  int num = -1, den = -1;
  mPlug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  EXPECT_EQ(mPlug->GetPlaying(), 2);
  mHost.mTimeInfo.flags |= kVstTransportPlaying;
  EXPECT_EQ(mPlug->GetPlaying(), 1);
  EXPECT_EQ(mHost.CallsOf(audioMasterGetTime)[1].mValue, kVstTempoValid);

  mHost.mTimeInfo.samplePos = -5;
  mHost.mTimeInfo.timeSigDenominator = -1;
  mHost.mTimeInfo.flags = kVstTimeSigValid;
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  EXPECT_EQ(mPlug->GetTempo(), 0.0);
  mPlug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);

  mHost.mHasTimeInfo = false;
  EXPECT_EQ(mPlug->GetPlaying(), 0);
  EXPECT_EQ(mPlug->GetSamplePos(), 0);
  EXPECT_FALSE(mPlug->IsRenderingOffline());
  mHost.mProcessLevel = kVstProcessLevelOffline;
  EXPECT_TRUE(mPlug->IsRenderingOffline());
}

TEST_F(VstProcess, ActivityOpcodesReachTheHook)
{
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effSetBypass, 0, 1);
  Dispatch(effStartProcess);
  Dispatch(effStopProcess);
  Dispatch(effBeginSetProgram);
  EXPECT_EQ(mLog.mActiveChanges, (std::vector<bool>{true, false, false, true, false, true}));
  EXPECT_EQ(mLog.mResets, 1);
}

TEST_F(VstProcess, MidiKeyNamesComeFromThePlugIn)
{
  MidiKeyName key = {};
  key.thisKeyNumber = 60;
  EXPECT_EQ(Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
  EXPECT_STREQ(key.keyName, "Middle C");
  key.thisKeyNumber = 61;
  EXPECT_EQ(Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
}

TEST_F(VstProcess, EditorOpcodesNeedAnAttachedEditor)
{
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, this), 0);
  EXPECT_EQ(Dispatch(effEditClose), 0);

  TestGraphicsLog* editor = AttachEditor();
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->bottom, 492);
  EXPECT_EQ(rect->right, 808);
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, nullptr), 0);
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, nullptr), 0); // the window could not open
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, this), 1);
  EXPECT_EQ(Dispatch(effEditClose), 1);
  EXPECT_EQ(Dispatch(effEditClose), 1); // unpaired close
  EXPECT_EQ(editor->mCloses, 2);
}

TEST_F(VstProcess, CloseDestroysTheInstanceAndItsEditor)
{
  AttachEditor();
  EXPECT_EQ(Dispatch(effClose), 0);
  EXPECT_EQ(mLog.mInstanceCloses, 1);
  EXPECT_TRUE(mLog.mDestroyed);
  EXPECT_TRUE(mGraphicsLog.mDestroyed);
  mEffect = nullptr; // the record lived inside the instance
}

// ---- Entry logic ----

namespace
{
TestPlugLog gEntryLog;
IEffectVST* MakeWithoutPresets(IEffectInstanceInfo info)
{
  return new TestPlug(info, &gEntryLog, "0-2", 0);
}
IEffectVST* MakeThrowing(IEffectInstanceInfo)
{
  throw std::runtime_error("no memory");
}
IEffectVST* MakeNothing(IEffectInstanceInfo)
{
  return nullptr;
}
} // namespace

TEST(VstEntry, PlugInWithoutPresetsGetsOneDefaultProgram)
{
  AEffect* effect = VSTCreateInstance(TestHost::Callback, MakeWithoutPresets);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->numPrograms, 1);
  char name[kVstMaxProgNameLen + 1];
  effect->dispatcher(effect, effGetProgramName, 0, 0, name, 0.0f);
  EXPECT_STREQ(name, "Default");
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(VstEntry, FailedConstructionAnswersNull)
{
  EXPECT_EQ(VSTCreateInstance(TestHost::Callback, MakeThrowing), nullptr);
  EXPECT_EQ(VSTCreateInstance(TestHost::Callback, MakeNothing), nullptr);
  EXPECT_EQ(VSTCreateInstance(nullptr, MakeWithoutPresets), nullptr);
  EXPECT_EQ(VSTCreateInstance(TestHost::Callback, nullptr), nullptr);
}
