#pragma once
// A small plug-in, host and editor for driving the framework in-process: the plug-in records what the
// base hands it, the host callback records what the plug-in tells the host, the editor records what
// the base shows on it.

#include "framework/IEffectVST.h"

#include <string>
#include <vector>

// What the test host saw and what it answers.
struct TestHost
{
  struct Call
  {
    VstInt32 mOpcode;
    VstInt32 mIndex;
    VstIntPtr mValue;
    float mOpt;
  };
  std::vector<Call> mCalls;
  std::string mProductString;
  VstIntPtr mVendorVersion = 0;
  VstIntPtr mProcessLevel = kVstProcessLevelRealtime;
  bool mHasTimeInfo = true;
  VstTimeInfo mTimeInfo = {};
  VstIntPtr mProcessEventsAnswer = 1;
  std::vector<VstMidiEvent> mMidiOut;

  int Count(VstInt32 opcode) const;
  std::vector<Call> CallsOf(VstInt32 opcode) const;

  // The host callback; it serves the TestHost made current by the fixture.
  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);
  static TestHost* sCurrent;
};

struct TestGraphicsLog
{
  struct Shown
  {
    int mParamIdx;
    double mValue;
    bool mNormalized;
  };
  std::vector<Shown> mShown;
  std::vector<int> mTimerStarts;
  int mTimerCancels = 0;
  int mPrepDraws = 0;
  int mOpens = 0;
  int mCloses = 0;
  float mLastWheel = 0.0f;
  bool mDestroyed = false;
};

class TestGraphics : public IGraphicsSeam
{
public:
  explicit TestGraphics(TestGraphicsLog* log) : mLog(log) {}
  ~TestGraphics() override { mLog->mDestroyed = true; }
  void ShowParamValue(int paramIdx, double value, bool normalized) override
  {
    mLog->mShown.push_back({paramIdx, value, normalized});
  }
  void PrepDraw() override { ++mLog->mPrepDraws; }
  void SetParamChangeTimer(int ticks) override { mLog->mTimerStarts.push_back(ticks); }
  void CancelParamChangeTimer() override { ++mLog->mTimerCancels; }
  int Width() const override { return 808; }
  int Height() const override { return 492; }
  int FPS() const override { return 24; }
  bool OpenWindow(void* parent) override
  {
    ++mLog->mOpens;
    return parent != nullptr;
  }
  void CloseWindow() override { ++mLog->mCloses; }
  int ProcessMouseWheel(float delta) override
  {
    mLog->mLastWheel = delta;
    return 1;
  }

private:
  TestGraphicsLog* mLog;
};

// What the plug-in saw.
struct TestPlugLog
{
  std::vector<int> mParamChanges;
  std::vector<std::pair<int, std::string>> mExtraParams;
  std::vector<IMidiMsg> mMidi;
  std::vector<std::vector<uint8_t>> mSysEx;
  std::vector<int> mRenderFrames;
  std::vector<bool> mActiveChanges;
  std::vector<int> mStateVersions;
  int mResets = 0;
  int mInstanceCloses = 0;
  bool mDestroyed = false;
};

// Parameters: 0 bool "Power" (on), 1 int "Level" -100..100 (0), 2 double "Time" 0..16 step 0.01 "s"
// (1.5), 3 enum "Mode" 0..1 with "No"/"Yes" (1), 4 double "Gain" -48..24 "dB" (0) shown negated.
// Two extra-parameter texts. Channels "0-2", three presets, MIDI receive and send, chunks, instrument.
// The render writes 1, 2, 3, ... into every output, counting across calls, so pieces are visible.
class TestPlug : public IEffectVST
{
public:
  enum
  {
    kPower,
    kLevel,
    kTime,
    kMode,
    kGain,
    kNumTestParams
  };
  static constexpr int kNumTestPresets = 3;
  static constexpr int kNumTestExtras = 2;

  TestPlug(IEffectInstanceInfo info, TestPlugLog* log, const char* channelIO = "0-2",
           int nPresets = kNumTestPresets);
  ~TestPlug() override { mLog->mDestroyed = true; }

  void OnParamChange(int paramIdx) override;
  void Reset() override { ++mLog->mResets; }
  void OnActiveChange(bool active) override { mLog->mActiveChanges.push_back(active); }
  void ProcessMidiMsg(IMidiMsg* msg) override { mLog->mMidi.push_back(*msg); }
  void ProcessSysExMsg(ISysEx* msg) override;
  void OnExtraParam(int idx, char* text) override;
  void OnStateVersion(int version) override { mLog->mStateVersions.push_back(version); }
  void OnInstanceClose() override { ++mLog->mInstanceCloses; }
  bool GetMidiNoteName(int noteNumber, char* name) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  double mCounter = 0.0;

private:
  TestPlugLog* mLog;
};

#include <gtest/gtest.h>

// Creates a TestPlug through the entry logic, as a host would, and closes it at the end.
class PlugFixture : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f)
  {
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
  }
  // Opens the plug-in (applies every parameter, so it renders) and clears the logs.
  void Open();
  TestGraphicsLog* AttachEditor();

  TestHost mHost;
  TestPlugLog mLog;
  TestGraphicsLog mGraphicsLog;
  AEffect* mEffect = nullptr;
  TestPlug* mPlug = nullptr;

  static TestPlugLog* sFactoryLog;
  static IEffectVST* Factory(IEffectInstanceInfo info);
};
