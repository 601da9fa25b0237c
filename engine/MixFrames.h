#pragma once
// The pieces the engine's mixer (SamplerEngineMix.cpp) builds its voice runs from: the state of one voice
// on its way through a chunk, its envelope step, one frame read and added alone, and the steady stretches
// that read and add two and four frames at once. Each frame's values come from the same operations in the
// same order as in the frame-by-frame definition of the mix.
//
// Real time: no allocation, no lock, no system call.

#include "engine/EngineConstants.h"
#include "engine/FramePair.h"

#include <cstdint>

namespace mixframes
{
// One voice on its way through a chunk: what stays fixed, and the state that moves.
struct VoiceRun
{
  const double* d0; // channel 0
  const double* d1; // channel 1, or null for a mono sample (whose right value is its left one)
  uint32_t frames;  // > 0
  double framesD;   // frames as a double
  double lastFrame; // frames - 1: below it, the next frame of the interpolation is j + 1
  bool loop;
  double attackStep;
  double releaseStep;
  double gain;
  double step;
  double panLeft;
  double panRight;

  double pos; // 0 <= pos < frames before every read
  double level;
  double amp;
  uint16_t stage;
};

// The chunk's sums, one array per channel; frame 0 is the chunk's first.
struct Sums
{
  double* left;
  double* right;
};

// How far ahead of its reads a voice asks for its sample data (frames): the data of 24 voices does not
// stay in the caches, and the processor does not follow that many streams by itself.
constexpr uint32_t kPrefetchFrames = 256;

// One frame's envelope step for the stage the run was entered with (the same as ApplyEnvelope). Returns
// false when the release ends the voice: the frame then adds nothing.
template <uint16_t Stage>
inline bool EnvelopeStep(double& level, double& amp, uint16_t& stage, const VoiceRun& r)
{
  if (Stage == kStageRelease)
  {
    level -= r.releaseStep;
    if (!(level > 0.0)) return false;
    amp = r.gain * level;
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
  }
  return true;
}

// One frame at pos (0 <= pos < frames - 1, so the next frame is j + 1) with gain amp, added to frame i.
inline void ReadAndAdd(const VoiceRun& r, double pos, double amp, Sums acc, int i)
{
  const int32_t j = static_cast<int32_t>(pos);
  const double f = pos - static_cast<double>(j);
  double left = r.d0[j];
  if (f > 0.0) left = (r.d0[j + 1] - left) * f + left;
  left = left * amp;
  double right = left;
  if (r.d1)
  {
    right = r.d1[j];
    if (f > 0.0) right = (r.d1[j + 1] - right) * f + right;
    right = right * amp;
  }
  acc.left[i] += left * r.panLeft;
  acc.right[i] += right * r.panRight;
}

// Frames i and i + 1 (i even: acc is 16-byte aligned there) at pos (both below the last frame) with
// gains amp, added to frames i and i + 1.
template <class Pair, bool Stereo>
inline void ReadAndAddTwo(const VoiceRun& r, Pair pos, Pair amp, Pair panLeft, Pair panRight, Sums acc, int i)
{
  uint32_t j0;
  uint32_t j1;
  const Pair f = Pair::Split(pos, j0, j1);
  const int positive = Pair::Positive(f);
  Pair now;
  Pair next;
  Pair::Prefetch(r.d0, j0 + kPrefetchFrames);
  if (Stereo) Pair::Prefetch(r.d1, j0 + kPrefetchFrames);
  Pair::Gather(r.d0, j0, j1, now, next);
  const Pair left = Pair::Interpolate(now, next, f, positive) * amp;
  Pair right = left;
  if (Stereo)
  {
    Pair::Gather(r.d1, j0, j1, now, next);
    right = Pair::Interpolate(now, next, f, positive) * amp;
  }
  (left * panLeft).AddToAligned(acc.left + i);
  (right * panRight).AddToAligned(acc.right + i);
}

// Frames i .. i + n - 1 (i and n even) whose positions are pos + k * posInc and, in attack or release,
// whose levels (after their envelope step) are level + (k + 1) * levelInc, k = 0 .. n - 1, all exact and
// inside the counted run: no envelope stage ends and no position reaches the last frame. Four frames at a
// time, in two pairs whose positions and levels each move by four increments (exact as well).
template <uint16_t Stage, class Pair, bool Stereo>
inline void SteadyFrames(const VoiceRun& r, Sums acc, int i, int n, double pos, double posInc, double level,
                         double levelInc, Pair sustainAmp, Pair panLeft, Pair panRight)
{
  constexpr bool kMoving = Stage == kStageAttack || Stage == kStageRelease;
  const int end = i + n;
  Pair pos0 = Pair::Of(pos, pos + posInc);
  Pair pos1 = Pair::Of(pos + 2.0 * posInc, pos + 3.0 * posInc);
  const Pair posStep = Pair::Both(4.0 * posInc);
  Pair level0 = Pair::Of(level + levelInc, level + 2.0 * levelInc);
  Pair level1 = Pair::Of(level + 3.0 * levelInc, level + 4.0 * levelInc);
  const Pair levelStep = Pair::Both(4.0 * levelInc);
  const Pair gain = Pair::Both(r.gain);
  for (; i + 3 < end; i += 4)
  {
    ReadAndAddTwo<Pair, Stereo>(r, pos0, kMoving ? gain * level0 : sustainAmp, panLeft, panRight, acc, i);
    ReadAndAddTwo<Pair, Stereo>(r, pos1, kMoving ? gain * level1 : sustainAmp, panLeft, panRight, acc, i + 2);
    pos0 = pos0 + posStep;
    pos1 = pos1 + posStep;
    if (kMoving)
    {
      level0 = level0 + levelStep;
      level1 = level1 + levelStep;
    }
  }
  if (i < end)
    ReadAndAddTwo<Pair, Stereo>(r, pos0, kMoving ? gain * level0 : sustainAmp, panLeft, panRight, acc, i);
}
} // namespace mixframes
