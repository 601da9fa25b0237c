// The engine's mixer as it was before it held two frames of a voice in one register: one voice frame's
// left and right value in one register (StereoPair), summed into an interleaved scratch. Kept for the
// benchmarks only, to measure the mixer against it side by side; the same bits as the engine's Mix.

#include "BaselineMix.h"

#include "StereoPair.h"
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

// One voice on its way through a chunk: what stays fixed, and the state that moves.
struct VoiceRun
{
  const double* d0; // channel 0
  const double* d1; // channel 1, or channel 0 again for a mono sample
  uint32_t frames;  // > 0
  double framesD;   // frames as a double
  double lastFrame; // frames - 1: below it, the next frame of the interpolation is j + 1
  bool loop;
  double attackStep;
  double releaseStep;
  double gain;
  double step;
  StereoPair pan;

  double pos; // 0 <= pos < frames before every read
  double level;
  double amp;
  uint16_t stage;
};

// Smallest step for which the number of frames that stay below the last frame is counted ahead: over
// a chunk, the rounding of the repeated additions stays far below such a step.
constexpr double kMinCountedStep = 1.0 / 1024.0;
// The runs split positions with 32-bit integers; longer samples (16 GiB a channel) take the general path.
constexpr uint32_t kMaxRunFrames = 0x7FFFFFFFu;

// One frame's envelope step for the stage the run was entered with (the same as ApplyEnvelope). Returns
// false when the release ends the voice: the frame then adds nothing.
template <uint16_t Stage>
inline bool EnvelopeStep(double& level, double& amp, StereoPair& ampPair, uint16_t& stage, const VoiceRun& r)
{
  if (Stage == kStageRelease)
  {
    level -= r.releaseStep;
    if (!(level > 0.0)) return false;
    amp = r.gain * level;
    ampPair = StereoPair::Both(amp);
  }
  else if (Stage == kStageAttack)
  {
    level += r.attackStep;
    if (level >= 1.0)
    {
      level = 1.0;
      stage = kStageSustain;
    }
    amp = r.gain * level;
    ampPair = StereoPair::Both(amp);
  }
  return true;
}

// Reads the sample at pos (held in both halves; 0 <= pos < frames - 1, so the next frame is j + 1) and adds
// the voice's panned values to dst[0] (left) and dst[1] (right).
inline void ReadAndAdd(const double* d0, const double* d1, StereoPair pos, StereoPair ampPair, StereoPair pan,
                       double* dst)
{
  StereoPair f;
  const int32_t j = StereoPair::Split(pos, f);
  StereoPair x;
  StereoPair next;
  StereoPair::LoadTwo(d0 + j, d1 + j, x, next);
  if (f.Lo() > 0.0) x = (next - x) * f + x;
  ((x * ampPair) * pan).AddTo(dst);
}

// Frames of one envelope stage while the read position stays below the last frame, so that neither the
// interpolation's wrap to frame 0 nor the end of the sample can occur. Stops after the frame whose
// advance reaches the last frame (the caller completes that advance), when the attack reaches full
// level, or at `to`. Returns the next frame; sets releaseEnded when the release ended the voice at the
// returned frame (which then adds nothing).
template <uint16_t Stage> int RunFrames(VoiceRun& r, double* acc, int i, int to, bool& releaseEnded)
{
  const double* d0 = r.d0;
  const double* d1 = r.d1;
  const double limit = r.lastFrame;
  const double step = r.step;
  const StereoPair stepPair = StereoPair::Both(step);
  const StereoPair pan = r.pan;
  // The position is kept in both halves of a pair: the fraction for the interpolation then comes out
  // ready for both channels. Each half adds exactly as a scalar would.
  StereoPair pos = StereoPair::Both(r.pos);
  double level = r.level;
  double amp = r.amp;
  uint16_t stage = r.stage;
  if (Stage != kStageAttack && Stage != kStageRelease) amp = r.gain * level; // the same on every frame
  StereoPair ampPair = StereoPair::Both(amp);

  // First the frames that surely keep the position below the last frame, advance included: no checks.
  int counted = 0;
  if (step >= kMinCountedStep)
  {
    const double room = (limit - r.pos) / step - 2.0;
    counted = room >= static_cast<double>(to - i) ? to - i : (room > 0.0 ? static_cast<int>(room) : 0);
  }
  const int countedEnd = i + counted;
  bool done = false;
  while (i < countedEnd)
  {
    if (!EnvelopeStep<Stage>(level, amp, ampPair, stage, r))
    {
      releaseEnded = true;
      done = true;
      break;
    }
    ReadAndAdd(d0, d1, pos, ampPair, pan, acc + 2 * i);
    pos = pos + stepPair;
    ++i;
    if (Stage == kStageAttack && stage != kStageAttack)
    {
      done = true;
      break;
    }
  }
  // Then frame by frame, checking the position after each advance.
  while (!done && i < to)
  {
    if (!EnvelopeStep<Stage>(level, amp, ampPair, stage, r))
    {
      releaseEnded = true;
      break;
    }
    ReadAndAdd(d0, d1, pos, ampPair, pan, acc + 2 * i);
    pos = pos + stepPair;
    ++i;
    if (!(pos.Lo() < limit)) break;
    if (Stage == kStageAttack && stage != kStageAttack) break;
  }
  r.pos = pos.Lo();
  r.level = level;
  r.amp = amp;
  r.stage = stage;
  return i;
}

enum class FrameResult
{
  kGoing,
  kReleaseEnded,
  kSampleEnded
};

// Completes an advance that took the position out of [0, frames): wraps it when the slot loops.
FrameResult FinishAdvance(VoiceRun& r)
{
  if (r.pos < r.framesD && r.pos >= 0.0) return FrameResult::kGoing;
  if (!r.loop) return FrameResult::kSampleEnded;
  if (r.pos >= r.framesD) r.pos -= r.framesD; // the whole sample is the loop
  if (!(r.pos < r.framesD && r.pos >= 0.0)) r.pos = WrapPosition(r.pos, r.framesD);
  return FrameResult::kGoing;
}

// One frame with every check: used near the end of the sample and for steps that are not >= 0.
FrameResult GeneralFrame(VoiceRun& r, double* acc, int i)
{
  if (r.stage == kStageRelease)
  {
    r.level -= r.releaseStep;
    if (!(r.level > 0.0)) return FrameResult::kReleaseEnded;
  }
  else if (r.stage == kStageAttack)
  {
    r.level += r.attackStep;
    if (r.level >= 1.0)
    {
      r.level = 1.0;
      r.stage = kStageSustain;
    }
  }
  r.amp = r.gain * r.level;

  // Past the last frame the interpolation reads toward frame 0.
  const uint32_t j = static_cast<uint32_t>(r.pos);
  const double f = r.pos - static_cast<double>(j);
  StereoPair x = StereoPair::Load(r.d0 + j, r.d1 + j);
  if (f > 0.0)
  {
    const uint32_t k = (j + 1 < r.frames) ? j + 1 : 0;
    const StereoPair next = StereoPair::Load(r.d0 + k, r.d1 + k);
    x = (next - x) * StereoPair::Both(f) + x;
  }
  ((x * StereoPair::Both(r.amp)) * r.pan).AddTo(acc + 2 * i);

  r.pos += r.step;
  return FinishAdvance(r);
}
} // namespace

namespace
{
// Frees one voice as the engine does.
void ClearVoice(SamplerEngine& e, int voice)
{
  e.mVoiceAmp[voice] = 0.0;
  e.mVoicePos[voice] = 0.0;
  e.mVoiceLevel[voice] = 0.0;
  e.mVoiceNote[voice] = 0;
  e.mVoiceStage[voice] = kStageIdle;
  e.mVoiceSlot[voice] = 0;
}

void MixVoice(SamplerEngine& e, int v, int s, double* acc, int from, int to)
{
  VoiceRun r;
  r.frames = e.mSampleFrames[s];
  r.framesD = static_cast<double>(r.frames);
  r.lastFrame = r.framesD - 1.0;
  r.d0 = e.mSampleData[s].get();
  r.d1 = e.mSampleChannels[s] >= 2 ? r.d0 + r.frames : r.d0;
  r.loop = e.mLoop[s];
  r.attackStep = e.mAttackStep[s];
  r.releaseStep = e.mReleaseStep[s];
  r.gain = static_cast<double>(e.mVoiceGain[v]);
  r.step = e.mVoiceStep[v];
  r.pan = StereoPair::Of(static_cast<double>(e.mVoicePanLeft[v]), static_cast<double>(e.mVoicePanRight[v]));
  r.pos = e.mVoicePos[v];
  r.level = e.mVoiceLevel[v];
  r.amp = e.mVoiceAmp[v];
  r.stage = e.mVoiceStage[v];
  if (!(r.pos >= 0.0 && r.pos < r.framesD)) r.pos = WrapPosition(r.pos, r.framesD);

  const bool forward = r.step >= 0.0;
  FrameResult result = FrameResult::kGoing;
  int i = from;
  while (i < to && result == FrameResult::kGoing)
  {
    if (forward && r.pos < r.lastFrame && r.frames <= kMaxRunFrames)
    {
      bool releaseEnded = false;
      switch (r.stage)
      {
      case kStageRelease:
        i = RunFrames<kStageRelease>(r, acc, i, to, releaseEnded);
        break;
      case kStageAttack:
        i = RunFrames<kStageAttack>(r, acc, i, to, releaseEnded);
        break;
      default:
        i = RunFrames<kStageSustain>(r, acc, i, to, releaseEnded);
        break;
      }
      result = releaseEnded ? FrameResult::kReleaseEnded : FinishAdvance(r);
    }
    else
    {
      result = GeneralFrame(r, acc, i);
      ++i;
    }
  }

  switch (result)
  {
  case FrameResult::kGoing:
    e.mVoicePos[v] = r.pos;
    e.mVoiceLevel[v] = r.level;
    e.mVoiceAmp[v] = r.amp;
    e.mVoiceStage[v] = r.stage;
    break;
  case FrameResult::kReleaseEnded:
    e.mVoicePos[v] = r.pos;
    e.mVoiceAmp[v] = 0.0;
    e.mVoiceLevel[v] = 0.0;
    e.mVoiceStage[v] = kStageIdle;
    e.mVoiceSlot[v] = 0;
    e.TrimVoiceCount();
    break;
  case FrameResult::kSampleEnded:
    ClearVoice(e, v);
    e.TrimVoiceCount();
    break;
  }
}
} // namespace

void BaselineMix(SamplerEngine& e, double** out, int nFrames)
{
  constexpr int kChunkFrames = 512;
  static thread_local double scratch[2 * kChunkFrames];
  double* left = out[0];
  double* right = out[1];
  for (int c0 = 0; c0 < nFrames; c0 += kChunkFrames)
  {
    const int len = std::min(kChunkFrames, nFrames - c0);
    double* acc = scratch;
    std::fill(acc, acc + 2 * len, 0.0);
    const int count = std::min<int>(e.mVoiceCount, kNumVoices);
    for (int v = 0; v < count; ++v)
    {
      if (e.mVoiceSlot[v] == 0) continue;
      const int from = std::max(0, e.mVoiceOffset[v] - c0);
      if (from >= len) continue;
      const int s = e.mVoiceSlot[v] - 1;
      if (s < 0 || s >= kNumSlots || e.mSampleFrames[s] == 0 || !e.mSampleData[s])
      {
        ClearVoice(e, v);
        e.TrimVoiceCount();
        continue;
      }
      MixVoice(e, v, s, acc, from, len);
    }
    for (int i = 0; i < len; ++i)
    {
      left[c0 + i] = acc[2 * i];
      right[c0 + i] = acc[2 * i + 1];
    }
  }
  std::fill(e.mVoiceOffset, e.mVoiceOffset + kNumVoices, 0);
}
