#include "TestPlug.h"

#include <cstring>

TestHost* TestHost::sCurrent = nullptr;

int TestHost::Count(VstInt32 opcode) const
{
  int n = 0;
  for (const Call& call : mCalls)
    n += call.mOpcode == opcode;
  return n;
}

std::vector<TestHost::Call> TestHost::CallsOf(VstInt32 opcode) const
{
  std::vector<Call> calls;
  for (const Call& call : mCalls)
  {
    if (call.mOpcode == opcode) calls.push_back(call);
  }
  return calls;
}

VstIntPtr TestHost::Callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  TestHost* host = sCurrent;
  if (!host) return 0;
  host->mCalls.push_back({opcode, index, value, opt});
  switch (opcode)
  {
  case audioMasterGetProductString:
    std::strcpy(static_cast<char*>(ptr), host->mProductString.c_str());
    return 1;
  case audioMasterGetVendorVersion:
    return host->mVendorVersion;
  case audioMasterGetCurrentProcessLevel:
    return host->mProcessLevel;
  case audioMasterGetTime:
    return host->mHasTimeInfo ? reinterpret_cast<VstIntPtr>(&host->mTimeInfo) : 0;
  case audioMasterProcessEvents:
  {
    const auto* events = static_cast<const VstEvents*>(ptr);
    for (int i = 0; i < events->numEvents; ++i)
    {
      if (events->events[i]->type == kVstMidiType)
        host->mMidiOut.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
    }
    return host->mProcessEventsAnswer;
  }
  default:
    return 0;
  }
}

TestPlug::TestPlug(IEffectInstanceInfo info, TestPlugLog* log, const char* channelIO, int nPresets)
    : IEffectVST(info, kNumTestParams, channelIO, nPresets, "TestPlug", "", "Test Maker", 0x10100,
                 VstFourCC('t', 's', 't', 'p'), VstFourCC('T', 'e', 's', 't'), 0, 1, true, true),
      mLog(log)
{
  GetParam(kPower)->InitBool("Power", true);
  GetParam(kLevel)->InitInt("Level", 0, -100, 100);
  GetParam(kTime)->InitDouble("Time", 1.5, 0.0, 16.0, 0.01, "s");
  GetParam(kMode)->InitEnum("Mode", 1, 2);
  GetParam(kMode)->SetDisplayText(0, "No");
  GetParam(kMode)->SetDisplayText(1, "Yes");
  GetParam(kGain)->InitDouble("Gain", 0.0, -48.0, 24.0, 1.0, "dB");
  GetParam(kGain)->SetNegateDisplay(true);
  InitExtraParams(kNumTestExtras);
}

void TestPlug::OnParamChange(int paramIdx)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  mLog->mParamChanges.push_back(paramIdx);
  if (paramIdx == NParams() - 1) mParamsReady = true;
}

void TestPlug::ProcessSysExMsg(ISysEx* msg)
{
  mLog->mSysEx.emplace_back(msg->mData, msg->mData + msg->mSize);
}

void TestPlug::OnExtraParam(int idx, char* text)
{
  mLog->mExtraParams.emplace_back(idx, text);
  SetExtraParam(idx, text);
}

bool TestPlug::GetMidiNoteName(int noteNumber, char* name)
{
  if (noteNumber != 60) return IEffectVST::GetMidiNoteName(noteNumber, name);
  std::strcpy(name, "Middle C");
  return true;
}

void TestPlug::ProcessDoubleReplacing(double**, double** outputs, int nFrames)
{
  mLog->mRenderFrames.push_back(nFrames);
  for (int s = 0; s < nFrames; ++s)
  {
    mCounter += 1.0;
    for (int c = 0; c < NOutChannels(); ++c)
      outputs[c][s] = mCounter;
  }
}

#include "framework/VSTEntry.h"

TestPlugLog* PlugFixture::sFactoryLog = nullptr;

IEffectVST* PlugFixture::Factory(IEffectInstanceInfo info)
{
  return new TestPlug(info, sFactoryLog);
}

void PlugFixture::SetUp()
{
  TestHost::sCurrent = &mHost;
  sFactoryLog = &mLog;
  mEffect = VSTCreateInstance(TestHost::Callback, Factory);
  ASSERT_NE(mEffect, nullptr);
  mPlug = static_cast<TestPlug*>(mEffect->object);
}

void PlugFixture::TearDown()
{
  if (mEffect && mEffect->object) Dispatch(effClose);
  TestHost::sCurrent = nullptr;
}

void PlugFixture::Open()
{
  Dispatch(effOpen);
  mLog.mParamChanges.clear();
  mHost.mCalls.clear();
}

TestGraphicsLog* PlugFixture::AttachEditor()
{
  mPlug->AttachGraphics(new TestGraphics(&mGraphicsLog));
  return &mGraphicsLog;
}
