// Parameters, sample rate, note handling, envelope and voice bookkeeping of the sampler engine.
// The mixer is in SamplerEngineMix.cpp.

#include "engine/SamplerEngine.h"

#include <algorithm>
#include <cmath>

namespace
{
// 1/127 as a float: turns a velocity into the fraction of the way from full to silent.
constexpr float kVelocityScale = 0.007874016f;
// ln(10) / 20: exp(dB * this) is the linear gain of dB decibels.
constexpr double kDecibelToExponent = 0.11512925464970228;
// 1/12: 2^(semitones * this) is the pitch ratio of a number of semitones.
constexpr double kOctavesPerSemitone = 0.08333333333333333;

constexpr uint8_t kStatusNoteOff = 8;
constexpr uint8_t kStatusNoteOn = 9;
} // namespace

SamplerEngine::SamplerEngine()
{
  for (int s = 0; s < kNumSlots; ++s)
  {
    mSampleData[s] = std::make_unique<double[]>(1); // value-initialised: one 0.0
  }
}

void SamplerEngine::SetViews(EngineViews* views)
{
  mViews = views ? views : &mNoViews;
}

void SamplerEngine::ApplySlotParam(int paramIdx, int v)
{
  if (paramIdx < 0 || paramIdx >= kNumParams) return;
  const int s = paramIdx / kParamsPerSlot;
  switch (paramIdx % kParamsPerSlot)
  {
  case kActive:
    mActive[s] = v > 0;
    if (v <= 0) StopSlotVoices(s);
    break;
  case kLowNote:
    mLowNote[s] = static_cast<int16_t>(v);
    mViews->SetLowKey(s, v - kLowestNote);
    break;
  case kHighNote:
    mHighNote[s] = static_cast<int16_t>(v);
    mViews->SetHighKey(s, v - kLowestNote);
    break;
  case kRootNote:
    mRootNote[s] = static_cast<int16_t>(v);
    mViews->SetRootKey(s, v - kLowestNote);
    break;
  case kSemitonesMultiply:
    mSemitoneMul[s] = static_cast<float>(v) * 0.1f;
    break;
  case kAttack:
    // v hundredths of a second from 0 to 1. A time of 0 (or an engine rate still 0) gives an
    // infinite step: full level on the first frame. IEEE division, no trap.
    mAttackStep[s] = 100.0 / (v * mEngineSampleRate);
    break;
  case kRelease:
    mReleaseStep[s] = 100.0 / (v * mEngineSampleRate);
    break;
  case kPan:
  {
    // Centre is 1 on both sides; the side the sound moves to rises to at most 1.5, the other falls to 0.
    const float r = static_cast<float>(v) * 0.01f + 1.0f;
    float right = r;
    float left = 2.0f - r;
    if (right > 1.0f) right = (right + 1.0f) * 0.5f;
    if (left > 1.0f) left = (left + 1.0f) * 0.5f;
    mPanLeft[s] = left;
    mPanRight[s] = right;
    break;
  }
  case kAlternatePan:
    mAltPan[s] = v > 0;
    mAltPanFlip[s] = v <= 0;
    break;
  case kVolume:
    mVolumeGain[s] = static_cast<float>(std::exp(v * kDecibelToExponent));
    break;
  case kReverse:
  {
    // Only a change of the flag flips the data, so the data is held reversed exactly while the flag is
    // set, also when the same value arrives twice.
    const bool reverse = v > 0;
    const bool flip = reverse != mReverse[s];
    mReverse[s] = reverse;
    if (flip && mSampleFrames[s] != 0) ReverseSampleData(s);
    break;
  }
  case kLoop:
    mLoop[s] = v > 0;
    break;
  default:
    break;
  }
}

void SamplerEngine::ChangeEngineRate(double rate)
{
  // A rate that is not a positive number would make every ratio infinite or NaN: keep the old one.
  if (!(rate > 0.0) || !std::isfinite(rate)) return;

  const double factor = mEngineSampleRate / rate; // 0 before the first rate is known
  for (int v = 0; v < mVoiceCount; ++v)
  {
    // Sounding voices keep their pitch at the new rate.
    const double step = mVoiceStep[v] * factor;
    mVoiceStep[v] = std::isfinite(step) ? step : 0.0;
  }
  for (int s = 0; s < kNumSlots; ++s)
  {
    if (mSampleFileRate[s] > 0.0)
    {
      // Computed afresh from the file's rate: right also when the engine rate was still 0, and free of
      // the rounding that repeated rescaling would pile up.
      mRateRatio[s] = mSampleFileRate[s] / rate;
    }
    else
    {
      const double ratio = mRateRatio[s] * factor;
      mRateRatio[s] = std::isfinite(ratio) ? ratio : 0.0;
    }
  }
  mEngineSampleRate = rate;
}

bool SamplerEngine::HandleMidi(uint8_t status, uint8_t data1, uint8_t data2, int offset)
{
  const uint8_t kind = static_cast<uint8_t>(status >> 4);
  if (kind != kStatusNoteOff && kind != kStatusNoteOn) return true;

  const int n = data1;
  if (n < kLowestNote) return false;

  // A note-on with velocity 0 is a note-off.
  const int vel = (kind == kStatusNoteOn && data2 > 0) ? data2 : 0;
  const float scaled = static_cast<float>(127 - vel) * kVelocityScale;
  const float q = scaled * scaled;
  const float velocityGain = 1.0f - q;

  for (int s = 0; s < kNumSlots; ++s)
  {
    if (!mActive[s] || mSampleFrames[s] == 0) continue;
    // Before the range test: the keyboard shows every key played while the slot is active.
    mViews->SetNoteHeld(s, n, vel > 0);
    if (n < mLowNote[s] || n > mHighNote[s]) continue;

    if (vel == 0)
    {
      for (int v = 0; v < kNumVoices; ++v)
      {
        if (mVoiceSlot[v] == s + 1 && mVoiceNote[v] == n)
        {
          mVoiceStage[v] = kStageRelease;
          mVoiceNote[v] = 0; // a second note-off cannot find it again
          break;
        }
      }
      continue;
    }

    int v = 0;
    while (v < kNumVoices && mVoiceSlot[v] != 0)
    {
      ++v;
    }
    if (v == kNumVoices) continue; // no voice stealing

    mVoiceSlot[v] = static_cast<int16_t>(s + 1);
    mVoiceCount = static_cast<int16_t>(std::max<int>(mVoiceCount, v + 1));
    mVoiceNote[v] = static_cast<int16_t>(n);
    mVoiceOffset[v] = offset;
    mViews->SamplePlayed(s);
    mVoiceStage[v] = kStageAttack;
    mVoiceGain[v] = velocityGain * mVolumeGain[s];
    const float semitones = static_cast<float>(n - mRootNote[s]) * mSemitoneMul[s];
    mVoiceStep[v] = std::exp2(static_cast<double>(semitones) * kOctavesPerSemitone) * mRateRatio[s];
    mVoiceLevel[v] = 0.0;
    mVoicePos[v] = 0.0;
    if (mAltPan[s] && mAltPanFlip[s])
    {
      mVoicePanLeft[v] = mPanRight[s];
      mVoicePanRight[v] = mPanLeft[s];
      mAltPanFlip[s] = false;
    }
    else
    {
      mVoicePanLeft[v] = mPanLeft[s];
      mVoicePanRight[v] = mPanRight[s];
      if (mAltPan[s]) mAltPanFlip[s] = true;
    }
  }
  return true;
}

void SamplerEngine::ApplyEnvelope(int slot, int voice)
{
  if (mVoiceStage[voice] == kStageRelease)
  {
    mVoiceLevel[voice] -= mReleaseStep[slot];
    if (!(mVoiceLevel[voice] > 0.0))
    {
      mVoiceAmp[voice] = 0.0;
      mVoiceLevel[voice] = 0.0;
      mVoiceStage[voice] = kStageIdle;
      mVoiceSlot[voice] = 0;
      TrimVoiceCount();
    }
  }
  else if (mVoiceStage[voice] == kStageAttack)
  {
    mVoiceLevel[voice] += mAttackStep[slot];
    if (mVoiceLevel[voice] >= 1.0)
    {
      mVoiceLevel[voice] = 1.0;
      mVoiceStage[voice] = kStageSustain;
    }
  }
  mVoiceAmp[voice] = static_cast<double>(mVoiceGain[voice]) * mVoiceLevel[voice];
}

void SamplerEngine::ClearVoice(int voice)
{
  mVoiceAmp[voice] = 0.0;
  mVoicePos[voice] = 0.0;
  mVoiceLevel[voice] = 0.0;
  mVoiceNote[voice] = 0;
  mVoiceStage[voice] = kStageIdle;
  mVoiceSlot[voice] = 0;
}

void SamplerEngine::StopSlotVoices(int slot)
{
  // Walking down, a run of the slot's voices at the top of the table lowers the count.
  for (int v = mVoiceCount - 1; v >= 0; --v)
  {
    if (mVoiceSlot[v] != slot + 1) continue;
    ClearVoice(v);
    if (v == mVoiceCount - 1) --mVoiceCount;
  }
}

void SamplerEngine::SilenceAllVoices()
{
  for (int v = 0; v < kNumVoices; ++v)
  {
    if (mVoiceSlot[v] != 0) ClearVoice(v);
  }
  mVoiceCount = 0;
  for (int s = 0; s < kNumSlots; ++s)
  {
    if (mActive[s] && mSampleFrames[s] != 0) mViews->ClearHeldNotes(s);
  }
}

void SamplerEngine::TrimVoiceCount()
{
  while (mVoiceCount > 0 && mVoiceSlot[mVoiceCount - 1] == 0)
  {
    --mVoiceCount;
  }
}

void SamplerEngine::ClearVoiceTable()
{
  for (int v = 0; v < kNumVoices; ++v)
  {
    mVoiceSlot[v] = 0;
    mVoiceNote[v] = 0;
    mVoiceStage[v] = kStageIdle;
    mVoicePos[v] = 0.0;
    mVoiceAmp[v] = 0.0;
    mVoiceLevel[v] = 0.0;
    mVoiceGain[v] = 0.0f;
  }
  mVoiceCount = 0;
}

void SamplerEngine::ReverseSampleData(int slot)
{
  const uint32_t frames = mSampleFrames[slot];
  if (frames == 0 || !mSampleData[slot]) return;
  double* data = mSampleData[slot].get();
  std::reverse(data, data + frames);
  if (mSampleChannels[slot] >= 2) std::reverse(data + frames, data + 2 * static_cast<size_t>(frames));
  mViews->SampleChanged(slot);
}
