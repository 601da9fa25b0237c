#pragma once
// The pieces the engine's mixer (SamplerEngineMix.cpp) builds its voice runs from: the state of one voice
// on its way through a chunk, its envelope step, one frame read and added alone, and the steady stretches
// that read and add two and four frames at once. Each frame's values come from the same operations in the
// same order as in the frame-by-frame definition of the mix.
//
// Real time: no allocation, no lock, no system call.

#include "engine/EngineConstants.h"
#include "engine/ExactSteps.h"
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

// Frames i and i + 1 (i even: acc is 16-byte aligned there) read at frames j0 and j1 (both below the
// last frame) with fractions f and gains amp, added to frames i and i + 1. MayBeWhole: a fraction may be
// 0, whose frame is read without interpolation; when it is false, every fraction is above 0.
template <class Pair, bool Stereo, bool MayBeWhole, bool Prefetch>
inline void ReadAndAddTwo(const VoiceRun& r, uint32_t j0, uint32_t j1, Pair f, Pair amp, Pair panLeft,
                          Pair panRight, Sums acc, int i)
{
  const int positive = MayBeWhole ? Pair::Positive(f) : 3;
  auto interpolate = [&](Pair now, Pair next)
  { return MayBeWhole ? Pair::Interpolate(now, next, f, positive) : Pair::InterpolateBoth(now, next, f); };
  Pair now;
  Pair next;
  if (Prefetch)
  {
    Pair::Prefetch(r.d0, j0 + kPrefetchFrames);
    if (Stereo) Pair::Prefetch(r.d1, j0 + kPrefetchFrames);
  }
  Pair::Gather(r.d0, j0, j1, now, next);
  const Pair left = interpolate(now, next) * amp;
  Pair right = left;
  if (Stereo)
  {
    Pair::Gather(r.d1, j0, j1, now, next);
    right = interpolate(now, next) * amp;
  }
  (left * panLeft).AddToAligned(acc.left + i);
  (right * panRight).AddToAligned(acc.right + i);
}

// Frames i .. i + n - 1 (i and n even) whose positions are the values of `at` (at.first + k * at.step
// in units, k = 0 .. n - 1) and, in attack or release, whose levels (after their envelope step) are
// level + (k + 1) * levelInc, all exact and inside the counted run: no envelope stage ends and no
// position reaches the last frame. Four frames at a time. The positions are added up as whole numbers
// of units, the frames read being their top bits and the fractions their low ones, which gives the
// same frames and fractions as truncating the rounded double positions; the levels move in two pairs
// by four increments (exact as well). MayBeWhole as for ReadAndAddTwo.
template <uint16_t Stage, class Pair, bool Stereo, bool MayBeWhole>
inline void SteadyFrames(const VoiceRun& r, Sums acc, int i, int n, const exactsteps::Units& at, double level,
                         double levelInc, Pair sustainAmp, Pair panLeft, Pair panRight)
{
  constexpr bool kMoving = Stage == kStageAttack || Stage == kStageRelease;
  const int end = i + n;
  const int bits = at.fractionBits;
  const uint64_t step = at.step;
  uint64_t units = at.first;
  // The fractions times 2^64: the units shifted left until the whole part has left the word.
  const int up = 64 - bits;
  typename Pair::Fixed frac0 = Pair::FixedOf(units << up, (units + step) << up);
  typename Pair::Fixed frac1 = Pair::FixedOf((units + 2 * step) << up, (units + 3 * step) << up);
  const typename Pair::Fixed fracStep = Pair::FixedOf((4 * step) << up, (4 * step) << up);
  Pair level0 = Pair::Of(level + levelInc, level + 2.0 * levelInc);
  Pair level1 = Pair::Of(level + 3.0 * levelInc, level + 4.0 * levelInc);
  const Pair levelStep = Pair::Both(4.0 * levelInc);
  const Pair gain = Pair::Both(r.gain);
  for (; i + 3 < end; i += 4)
  {
    const auto j0 = static_cast<uint32_t>(units >> bits);
    const auto j1 = static_cast<uint32_t>((units + step) >> bits);
    const auto j2 = static_cast<uint32_t>((units + 2 * step) >> bits);
    const auto j3 = static_cast<uint32_t>((units + 3 * step) >> bits);
    // One prefetch per channel for four frames: at most a few frames of data apart.
    ReadAndAddTwo<Pair, Stereo, MayBeWhole, true>(
        r, j0, j1, Pair::Fraction(frac0), kMoving ? gain * level0 : sustainAmp, panLeft, panRight, acc, i);
    ReadAndAddTwo<Pair, Stereo, MayBeWhole, false>(r, j2, j3, Pair::Fraction(frac1),
                                                   kMoving ? gain * level1 : sustainAmp, panLeft, panRight,
                                                   acc, i + 2);
    units += 4 * step;
    frac0 = Pair::Add(frac0, fracStep);
    frac1 = Pair::Add(frac1, fracStep);
    if (kMoving)
    {
      level0 = level0 + levelStep;
      level1 = level1 + levelStep;
    }
  }
  if (i < end)
  {
    const auto j0 = static_cast<uint32_t>(units >> bits);
    const auto j1 = static_cast<uint32_t>((units + step) >> bits);
    ReadAndAddTwo<Pair, Stereo, MayBeWhole, true>(
        r, j0, j1, Pair::Fraction(frac0), kMoving ? gain * level0 : sustainAmp, panLeft, panRight, acc, i);
  }
}
} // namespace mixframes
