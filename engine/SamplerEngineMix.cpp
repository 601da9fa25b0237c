// The mixer of the sampler engine: every sounding voice into the two output channels.
//
// The result is defined frame by frame: for each output frame, both channels are set to 0, then every
// voice below mVoiceCount, in index order, takes one envelope step, reads its sample with linear
// interpolation, adds its panned values and advances. This file computes the same numbers voice by voice
// instead, in chunks of kMixChunkFrames: each voice runs through the chunk with its state in registers and
// adds into a left and a right scratch that are copied to the outputs at the end of the chunk. The voices
// of a frame still reach each output sample in index order, no voice depends on another within a block,
// and a voice that ends only frees itself, so the sums, the voice states and mVoiceCount come out bit for
// bit the same (the tests hold a frame-by-frame mixer to compare with).
//
// Inside a voice, two consecutive frames share a register (FramePair): their fractions, the samples they
// read, their interpolation, gain, pan and sums, each half with the same operations in the same order as
// the frame-by-frame mixer. Each position is the previous one plus the step, rounded, and so is each
// level in attack and release; within one binade such a chain moves by the same exact increment every
// frame (ExactSteps.h), so there positions and levels are taken four frames ahead with the same bits,
// instead of one rounded addition after the other. Positions are then added up as whole numbers of the
// binade's unit, which gives the frame to read and the fraction without a conversion; a stretch in
// which no position is a whole number interpolates every frame without looking.
//
// Real time: no allocation, no lock, no system call.

#include "engine/ExactSteps.h"
#include "engine/MixFrames.h"
#include "engine/SamplerEngine.h"

#include <algorithm>
#include <cmath>

namespace
{
using namespace mixframes;

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

// Smallest step for which the number of frames that stay below the last frame is counted ahead: over
// a chunk, the rounding of the repeated additions stays far below such a step.
constexpr double kMinCountedStep = 1.0 / 1024.0;
// The runs split positions with 32-bit integers; longer samples (16 GiB a channel) take the general path.
constexpr uint32_t kMaxRunFrames = 0x7FFFFFFFu;

// Frames of one envelope stage while the read position stays below the last frame, so that neither the
// interpolation's wrap to frame 0 nor the end of the sample can occur. Stops after the frame whose
// advance reaches the last frame (the caller completes that advance), when the attack reaches full
// level, or at `to`. Returns the next frame; sets releaseEnded when the release ended the voice at the
// returned frame (which then adds nothing).
template <uint16_t Stage, class Pair, bool Stereo>
int RunFrames(VoiceRun& r, Sums acc, int i, int to, bool& releaseEnded)
{
  const double limit = r.lastFrame;
  const double step = r.step;
  double pos = r.pos;
  double level = r.level;
  double amp = r.amp;
  uint16_t stage = r.stage;
  if (Stage != kStageAttack && Stage != kStageRelease) amp = r.gain * level; // the same on every frame
  const Pair sustainAmp = Pair::Both(amp);
  const Pair panLeft = Pair::Both(r.panLeft);
  const Pair panRight = Pair::Both(r.panRight);

  // First the frames that surely keep the position below the last frame, advance included: no checks
  // of the position.
  int counted = 0;
  if (step >= kMinCountedStep)
  {
    const double room = (limit - pos) / step - 2.0;
    counted = room >= static_cast<double>(to - i) ? to - i : (room > 0.0 ? static_cast<int>(room) : 0);
  }
  const int countedEnd = i + counted;
  bool done = false;
  // One frame alone: an odd first frame, an odd last one, a frame that leaves a binade.
  auto single = [&]()
  {
    if (!EnvelopeStep<Stage>(level, amp, stage, r))
    {
      releaseEnded = true;
      done = true;
      return;
    }
    ReadAndAdd(r, pos, amp, acc, i);
    pos += step;
    ++i;
    if (Stage == kStageAttack && stage != kStageAttack) done = true;
  };
  while (!done && i < countedEnd)
  {
    // As many frames as the position (and a moving level) advance by exact multiples of one increment,
    // from an even frame: these go two or four at a time. Positions below 1 (the first frames of the
    // sample) go one at a time: the stretches count positions in units of 2^-52 or coarser.
    if ((i & 1) != 0 || pos < 1.0)
    {
      single();
      continue;
    }
    double posInc;
    double levelInc = 0.0;
    int n = exactsteps::Count(pos, step, false, countedEnd - i, posInc);
    if (Stage == kStageAttack) n = exactsteps::Count(level, r.attackStep, false, n, levelInc);
    if (Stage == kStageRelease) n = exactsteps::Count(level, r.releaseStep, true, n, levelInc);
    if (n < 2)
    {
      single();
      continue;
    }
    n &= ~1;
    if (Stage == kStageRelease) levelInc = -levelInc;
    const exactsteps::Units at = exactsteps::InUnits(pos, posInc);
    if (exactsteps::AnyWhole(at, n))
      SteadyFrames<Stage, Pair, Stereo, true>(r, acc, i, n, at, level, levelInc, sustainAmp, panLeft,
                                              panRight);
    else
      SteadyFrames<Stage, Pair, Stereo, false>(r, acc, i, n, at, level, levelInc, sustainAmp, panLeft,
                                               panRight);
    i += n;
    pos += static_cast<double>(n) * posInc;
    if (Stage == kStageAttack || Stage == kStageRelease)
    {
      level += static_cast<double>(n) * levelInc;
      amp = r.gain * level;
    }
  }
  // Then frame by frame, checking the position after each advance.
  while (!done && i < to)
  {
    if (!EnvelopeStep<Stage>(level, amp, stage, r))
    {
      releaseEnded = true;
      break;
    }
    ReadAndAdd(r, pos, amp, acc, i);
    pos += step;
    ++i;
    if (!(pos < limit)) break;
    if (Stage == kStageAttack && stage != kStageAttack) break;
  }
  r.pos = pos;
  r.level = level;
  r.amp = amp;
  r.stage = stage;
  return i;
}

// The run of one envelope stage for a mono or a stereo sample.
template <uint16_t Stage, class Pair> int RunStage(VoiceRun& r, Sums acc, int i, int to, bool& releaseEnded)
{
  return r.d1 ? RunFrames<Stage, Pair, true>(r, acc, i, to, releaseEnded)
              : RunFrames<Stage, Pair, false>(r, acc, i, to, releaseEnded);
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
FrameResult GeneralFrame(VoiceRun& r, Sums acc, int i)
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
  const uint32_t k = (j + 1 < r.frames) ? j + 1 : 0;
  double left = r.d0[j];
  if (f > 0.0) left = (r.d0[k] - left) * f + left;
  left = left * r.amp;
  double right = left;
  if (r.d1)
  {
    right = r.d1[j];
    if (f > 0.0) right = (r.d1[k] - right) * f + right;
    right = right * r.amp;
  }
  acc.left[i] += left * r.panLeft;
  acc.right[i] += right * r.panRight;

  r.pos += r.step;
  return FinishAdvance(r);
}

// Mixes one voice (its run prepared) into the chunk's frames from..to-1.
template <class Pair> FrameResult MixRun(VoiceRun& r, Sums acc, int from, int to)
{
  const bool forward = r.step >= 0.0; // false for NaN too
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
        i = RunStage<kStageRelease, Pair>(r, acc, i, to, releaseEnded);
        break;
      case kStageAttack:
        i = RunStage<kStageAttack, Pair>(r, acc, i, to, releaseEnded);
        break;
      default:
        i = RunStage<kStageSustain, Pair>(r, acc, i, to, releaseEnded);
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
  return result;
}
} // namespace

void SamplerEngine::Mix(double** out, int nFrames)
{
  MixPiece(out, nFrames, 0);
  EndBlock();
}

void SamplerEngine::EndBlock()
{
  std::fill(mVoiceOffset, mVoiceOffset + kNumVoices, 0);
}

void SamplerEngine::MixPiece(double** out, int nFrames, int blockStart)
{
  MixPieceWith<FramePair>(out, nFrames, blockStart);
}

void SamplerEngine::MixPiecePlain(double** out, int nFrames, int blockStart)
{
  MixPieceWith<FramePairPlain>(out, nFrames, blockStart);
}

template <class Pair> void SamplerEngine::MixPieceWith(double** out, int nFrames, int blockStart)
{
  if (nFrames <= 0) return;
  double* left = out[0];
  double* right = out[1];
  for (int c0 = 0; c0 < nFrames; c0 += kMixChunkFrames)
  {
    const int len = std::min(kMixChunkFrames, nFrames - c0);
    const Sums acc{mMixSums, mMixSums + kMixChunkFrames + kMixRightGap};
    std::fill(acc.left, acc.left + len, 0.0);
    std::fill(acc.right, acc.right + len, 0.0);

    // Voices at or above mVoiceCount are free; the count only falls during the block.
    const int count = std::min<int>(mVoiceCount, kNumVoices);
    for (int v = 0; v < count; ++v)
    {
      if (mVoiceSlot[v] == 0) continue;
      // The offset counts from the host block's start; compare in 64 bits, as it is the host's number.
      const int64_t start = static_cast<int64_t>(mVoiceOffset[v]) - blockStart - c0;
      const int from = start > 0 ? static_cast<int>(std::min<int64_t>(start, len)) : 0;
      if (from >= len) continue;
      const int s = mVoiceSlot[v] - 1;
      if (s < 0 || s >= kNumSlots || mSampleFrames[s] == 0 || !mSampleData[s])
      {
        // Only reachable by misuse (a voice on a slot that holds nothing): end it without a read.
        ClearVoice(v);
        TrimVoiceCount();
        continue;
      }
      MixVoice<Pair>(v, s, acc.left, acc.right, from, len);
    }

    std::copy(acc.left, acc.left + len, left + c0);
    std::copy(acc.right, acc.right + len, right + c0);
  }
}

template <class Pair>
void SamplerEngine::MixVoice(int v, int s, double* accLeft, double* accRight, int from, int to)
{
  VoiceRun r;
  r.frames = mSampleFrames[s];
  r.framesD = static_cast<double>(r.frames);
  r.lastFrame = r.framesD - 1.0;
  r.d0 = mSampleData[s].get();
  r.d1 = mSampleChannels[s] >= 2 ? r.d0 + r.frames : nullptr;
  r.loop = mLoop[s];
  r.attackStep = mAttackStep[s];
  r.releaseStep = mReleaseStep[s];
  r.gain = static_cast<double>(mVoiceGain[v]);
  r.step = mVoiceStep[v];
  r.panLeft = static_cast<double>(mVoicePanLeft[v]);
  r.panRight = static_cast<double>(mVoicePanRight[v]);
  r.pos = mVoicePos[v];
  r.level = mVoiceLevel[v];
  r.amp = mVoiceAmp[v];
  r.stage = mVoiceStage[v];
  // A position outside the sample (only through misuse) is brought inside before the first read.
  if (!(r.pos >= 0.0 && r.pos < r.framesD)) r.pos = WrapPosition(r.pos, r.framesD);

  switch (MixRun<Pair>(r, Sums{accLeft, accRight}, from, to))
  {
  case FrameResult::kGoing:
    mVoicePos[v] = r.pos;
    mVoiceLevel[v] = r.level;
    mVoiceAmp[v] = r.amp;
    mVoiceStage[v] = r.stage;
    break;
  case FrameResult::kReleaseEnded:
    // As the envelope ends a voice: the position stays where it was.
    mVoicePos[v] = r.pos;
    mVoiceAmp[v] = 0.0;
    mVoiceLevel[v] = 0.0;
    mVoiceStage[v] = kStageIdle;
    mVoiceSlot[v] = 0;
    TrimVoiceCount();
    break;
  case FrameResult::kSampleEnded:
    ClearVoice(v);
    TrimVoiceCount();
    break;
  }
}
