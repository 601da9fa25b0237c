// The mixer of the sampler engine: every sounding voice into the two output channels.
//
// The result is defined frame by frame: for each output frame, both channels are set to 0, then every
// voice below mVoiceCount, in index order, takes one envelope step, reads its sample with linear
// interpolation, adds its panned values and advances. This file computes the same numbers voice by voice
// instead (each voice runs through the block with its state in registers): the voices of a frame still
// reach each output sample in index order, no voice depends on another within a block, and a voice that
// ends only frees itself, so the sums, the voice states and mVoiceCount come out bit for bit the same.
//
// Real time: no allocation, no lock, no system call.

#include "engine/SamplerEngine.h"

#include <algorithm>
#include <cmath>

namespace
{
// Brings a read position that has left [0, frames) by more than one pass of the sample (a step longer
// than the whole sample, or a position that is not a number) back inside, so that no read leaves the
// data array.
double WrapPosition(double pos, double frames)
{
  pos = std::fmod(pos, frames);
  if (pos < 0.0) pos += frames;
  if (!(pos >= 0.0 && pos < frames)) pos = 0.0;
  return pos;
}
} // namespace

void SamplerEngine::Mix(double** out, int nFrames)
{
  if (nFrames > 0)
  {
    double* left = out[0];
    double* right = out[1];
    std::fill(left, left + nFrames, 0.0);
    std::fill(right, right + nFrames, 0.0);

    // Voices at or above mVoiceCount are free; the count only falls during the block.
    const int count = mVoiceCount;
    for (int v = 0; v < count; ++v)
    {
      const int start = std::max(0, mVoiceOffset[v]);
      if (mVoiceSlot[v] == 0 || start >= nFrames) continue;
      const int s = mVoiceSlot[v] - 1;
      if (s >= kNumSlots || s < 0 || mSampleFrames[s] == 0 || !mSampleData[s])
      {
        // Only reachable by misuse (a voice on a slot that holds nothing): end it without a read.
        ClearVoice(v);
        TrimVoiceCount();
        continue;
      }
      if (mSampleChannels[s] >= 2)
      {
        MixVoice<true>(v, s, left, right, start, nFrames);
      }
      else
      {
        MixVoice<false>(v, s, left, right, start, nFrames);
      }
    }
  }
  std::fill(mVoiceOffset, mVoiceOffset + kNumVoices, 0);
}

template <bool Stereo>
void SamplerEngine::MixVoice(int v, int s, double* left, double* right, int start, int nFrames)
{
  const uint32_t frames = mSampleFrames[s];
  const double framesD = static_cast<double>(frames);
  const double* d0 = mSampleData[s].get();
  const double* d1 = Stereo ? d0 + frames : d0;
  const bool loop = mLoop[s];
  const double attackStep = mAttackStep[s];
  const double releaseStep = mReleaseStep[s];
  const double gain = static_cast<double>(mVoiceGain[v]);
  const double panLeft = static_cast<double>(mVoicePanLeft[v]);
  const double panRight = static_cast<double>(mVoicePanRight[v]);
  const double step = mVoiceStep[v];

  double pos = mVoicePos[v];
  double level = mVoiceLevel[v];
  double amp = mVoiceAmp[v];
  uint16_t stage = mVoiceStage[v];
  // A position outside the sample (only through misuse) is brought inside before the first read.
  if (!(pos >= 0.0 && pos < framesD)) pos = WrapPosition(pos, framesD);

  for (int i = start; i < nFrames; ++i)
  {
    // Envelope step (the same as ApplyEnvelope).
    if (stage == kStageRelease)
    {
      level -= releaseStep;
      if (!(level > 0.0))
      {
        // Ended by its release: it adds nothing from this frame on.
        mVoicePos[v] = pos;
        mVoiceAmp[v] = 0.0;
        mVoiceLevel[v] = 0.0;
        mVoiceStage[v] = kStageIdle;
        mVoiceSlot[v] = 0;
        TrimVoiceCount();
        return;
      }
    }
    else if (stage == kStageAttack)
    {
      level += attackStep;
      if (level >= 1.0)
      {
        level = 1.0;
        stage = kStageSustain;
      }
    }
    amp = gain * level;

    // Linear interpolation; past the last frame it reads toward frame 0. 0 <= pos < frames here.
    const uint32_t j = static_cast<uint32_t>(pos);
    const double f = pos - static_cast<double>(j);
    double l;
    double r;
    if (f > 0.0)
    {
      const uint32_t k = (j + 1 < frames) ? j + 1 : 0;
      l = ((d0[k] - d0[j]) * f + d0[j]) * amp;
      r = Stereo ? ((d1[k] - d1[j]) * f + d1[j]) * amp : l;
    }
    else
    {
      l = d0[j] * amp;
      r = Stereo ? d1[j] * amp : l;
    }
    left[i] += panLeft * l;
    right[i] += panRight * r;

    // Advance; the whole sample is the loop.
    pos += step;
    if (!(pos < framesD && pos >= 0.0))
    {
      if (!loop)
      {
        ClearVoice(v);
        TrimVoiceCount();
        return;
      }
      if (pos >= framesD) pos -= framesD;
      if (!(pos < framesD && pos >= 0.0)) pos = WrapPosition(pos, framesD);
    }
  }
  mVoicePos[v] = pos;
  mVoiceLevel[v] = level;
  mVoiceAmp[v] = amp;
  mVoiceStage[v] = stage;
}
