#pragma once
// Fixture of the tests that work on a sampler instance in-process: the instance is built directly
// (with the recording host's callback) so that its engine state can be read.

#include "engine/Kestrune.h"
#include "plugin/TestHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace plugintest
{

class KestruneTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    IEffectInstanceInfo info;
    info.mHostCallback = &TestHost::Callback;
    mPlug = std::make_unique<CLS_KESTRUNE>(info);
  }

  SamplerEngine& E() { return mPlug->Engine(); }

  // Sets parameter idx to value (own units) and applies it, as every parameter path does.
  void Apply(int idx, double value)
  {
    mPlug->GetParam(idx)->Set(value);
    mPlug->OnParamChange(idx);
  }

  // Puts planar data into a slot the way the loading flow does: under the mutex, with the file's rate
  // kept and the ratio computed against the engine's current rate (0 before the first Reset).
  void LoadSample(int slot, const std::vector<double>& planar, int channels, double fileRate)
  {
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    E().mSampleData[slot] = std::make_unique<double[]>(planar.size());
    for (size_t i = 0; i < planar.size(); ++i)
      E().mSampleData[slot][i] = planar[i];
    E().mSampleFrames[slot] = static_cast<uint32_t>(planar.size() / static_cast<size_t>(channels));
    E().mSampleChannels[slot] = static_cast<int16_t>(channels);
    E().mSampleFileRate[slot] = fileRate;
    E().mRateRatio[slot] = fileRate / E().mEngineSampleRate;
  }

  // Opens the instance as a host does: rate, Reset, every parameter applied.
  void OpenAt(double rate)
  {
    mPlug->SetSampleRate(rate);
    mPlug->Reset();
    mPlug->OnParamReset();
  }

  void NoteOn(int note, int velocity = 127, int offset = 0)
  {
    IMidiMsg msg(offset, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity));
    mPlug->ProcessMidiMsg(&msg);
  }

  // Renders n frames straight into mLeft and mRight.
  void Render(int n)
  {
    mLeft.assign(static_cast<size_t>(n > 0 ? n : 1), 7.0);
    mRight.assign(mLeft.size(), 7.0);
    double* outs[2] = {mLeft.data(), mRight.data()};
    mPlug->ProcessDoubleReplacing(nullptr, outs, n);
  }

  bool Silent() const
  {
    for (size_t i = 0; i < mLeft.size(); ++i)
      if (mLeft[i] != 0.0 || mRight[i] != 0.0) return false;
    return true;
  }

  TestHost mHost;
  std::unique_ptr<CLS_KESTRUNE> mPlug;
  std::vector<double> mLeft, mRight;
};
} // namespace plugintest
