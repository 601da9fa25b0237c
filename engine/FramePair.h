#pragma once
// Two consecutive frames of one voice worked on together: their read positions, sample values, gains or
// output values, one frame in each half. Every operation is the same IEEE double operation on each
// half, so a pair gives the same bits as two scalars.
//
// Two forms: FramePairPlain in plain C++ (every target), and FramePairSse2 in one SSE2 register (part of
// the x86-64 base instruction set). FramePair is the one the target builds with; the mixer can be
// built with either, so that tests hold the plain form against the register form on x86-64.

#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define KESTRUNE_LIKELY(x) __builtin_expect(!!(x), 1)
#else
#define KESTRUNE_LIKELY(x) (x)
#endif

#if defined(__x86_64__) || defined(_M_X64) // SSE2 belongs to every x86-64 processor
#define KESTRUNE_FRAME_PAIR_SSE2 1
#include <emmintrin.h>
#else
#define KESTRUNE_FRAME_PAIR_SSE2 0
#endif

// The bits of the double 1.0.
constexpr uint64_t kDoubleOneBits = 0x3FF0000000000000u;

struct FramePairPlain
{
  double lo; // the first frame
  double hi; // the next frame

  static FramePairPlain Of(double lo, double hi) { return {lo, hi}; }
  static FramePairPlain Both(double x) { return {x, x}; }
  // Two read positions' fractions held as 64-bit whole numbers, each the fraction times 2^64 (the whole
  // part shifted out, so that additions wrap past it).
  struct Fixed
  {
    uint64_t lo;
    uint64_t hi;
  };
  static Fixed FixedOf(uint64_t lo, uint64_t hi) { return {lo, hi}; }
  static Fixed Add(Fixed a, Fixed b) { return {a.lo + b.lo, a.hi + b.hi}; }
  // The fractions as doubles, exact: the top 52 bits are the mantissa of 1 + f, and (1 + f) - 1 = f.
  static FramePairPlain Fraction(Fixed s) { return {FractionOf(s.lo), FractionOf(s.hi)}; }
  static double FractionOf(uint64_t s)
  {
    const uint64_t bits = (s >> 12) | kDoubleOneBits;
    double onePlus;
    std::memcpy(&onePlus, &bits, sizeof onePlus);
    return onePlus - 1.0;
  }
  // A hint that d[index] will be read soon (nothing here).
  static void Prefetch(const double*, uint32_t) {}
  // Bit 0: lo > 0, bit 1: hi > 0 (the halves whose fraction asks for an interpolation).
  static int Positive(FramePairPlain f) { return (f.lo > 0.0 ? 1 : 0) | (f.hi > 0.0 ? 2 : 0); }
  // now = (d[j0], d[j1]), next = (d[j0 + 1], d[j1 + 1])
  static void Gather(const double* d, uint32_t j0, uint32_t j1, FramePairPlain& now, FramePairPlain& next)
  {
    now = {d[j0], d[j1]};
    next = {d[j0 + 1], d[j1 + 1]};
  }
  // Per half: the linear interpolation (next - now) * f + now where f > 0, else now itself; positive is
  // Positive(f).
  static FramePairPlain Interpolate(FramePairPlain now, FramePairPlain next, FramePairPlain f, int positive)
  {
    return {(positive & 1) ? (next.lo - now.lo) * f.lo + now.lo : now.lo,
            (positive & 2) ? (next.hi - now.hi) * f.hi + now.hi : now.hi};
  }
  // The same for f > 0 in both halves.
  static FramePairPlain InterpolateBoth(FramePairPlain now, FramePairPlain next, FramePairPlain f)
  {
    return {(next.lo - now.lo) * f.lo + now.lo, (next.hi - now.hi) * f.hi + now.hi};
  }
  friend FramePairPlain operator*(FramePairPlain a, FramePairPlain b) { return {a.lo * b.lo, a.hi * b.hi}; }
  friend FramePairPlain operator+(FramePairPlain a, FramePairPlain b) { return {a.lo + b.lo, a.hi + b.hi}; }
  // dst[0] += lo, dst[1] += hi; dst is 16-byte aligned.
  void AddToAligned(double* dst) const
  {
    dst[0] += lo;
    dst[1] += hi;
  }
};

#if KESTRUNE_FRAME_PAIR_SSE2

struct FramePairSse2
{
  __m128d v; // the first frame in the low half

  static FramePairSse2 Of(double lo, double hi) { return {_mm_set_pd(hi, lo)}; }
  static FramePairSse2 Both(double x) { return {_mm_set1_pd(x)}; }
  struct Fixed
  {
    __m128i v;
  };
  static Fixed FixedOf(uint64_t lo, uint64_t hi)
  {
    return {_mm_set_epi64x(static_cast<long long>(hi), static_cast<long long>(lo))};
  }
  static Fixed Add(Fixed a, Fixed b) { return {_mm_add_epi64(a.v, b.v)}; }
  static FramePairSse2 Fraction(Fixed s)
  {
    const __m128i one = _mm_set1_epi64x(static_cast<long long>(kDoubleOneBits));
    return {_mm_sub_pd(_mm_castsi128_pd(_mm_or_si128(_mm_srli_epi64(s.v, 12), one)), _mm_set1_pd(1.0))};
  }
  // A hint that d[index] will be read soon. The address may lie past the end of the data: it is only
  // computed (as a number, not by pointer arithmetic) and a prefetch never faults.
  static void Prefetch(const double* d, uint32_t index)
  {
    const uintptr_t address = reinterpret_cast<uintptr_t>(d) + uintptr_t{index} * sizeof(double);
    _mm_prefetch(reinterpret_cast<const char*>(address), _MM_HINT_T0);
  }
  static int Positive(FramePairSse2 f) { return _mm_movemask_pd(_mm_cmpgt_pd(f.v, _mm_setzero_pd())); }
  static void Gather(const double* d, uint32_t j0, uint32_t j1, FramePairSse2& now, FramePairSse2& next)
  {
    const __m128d a = _mm_loadu_pd(d + j0); // d[j0], d[j0 + 1]
    const __m128d b = _mm_loadu_pd(d + j1); // d[j1], d[j1 + 1]
    now.v = _mm_unpacklo_pd(a, b);
    next.v = _mm_unpackhi_pd(a, b);
  }
  static FramePairSse2 Interpolate(FramePairSse2 now, FramePairSse2 next, FramePairSse2 f, int positive)
  {
    const __m128d mixed = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(next.v, now.v), f.v), now.v);
    // Both halves between two frames is the common case; a whole position (a step of exactly 1, say)
    // keeps its frame's value.
    if (KESTRUNE_LIKELY(positive == 3)) return {mixed};
    const __m128d interpolating = _mm_cmpgt_pd(f.v, _mm_setzero_pd());
    return {_mm_or_pd(_mm_and_pd(interpolating, mixed), _mm_andnot_pd(interpolating, now.v))};
  }
  static FramePairSse2 InterpolateBoth(FramePairSse2 now, FramePairSse2 next, FramePairSse2 f)
  {
    return {_mm_add_pd(_mm_mul_pd(_mm_sub_pd(next.v, now.v), f.v), now.v)};
  }
  friend FramePairSse2 operator*(FramePairSse2 a, FramePairSse2 b) { return {_mm_mul_pd(a.v, b.v)}; }
  friend FramePairSse2 operator+(FramePairSse2 a, FramePairSse2 b) { return {_mm_add_pd(a.v, b.v)}; }
  void AddToAligned(double* dst) const { _mm_store_pd(dst, _mm_add_pd(_mm_load_pd(dst), v)); }
};

using FramePair = FramePairSse2;

#else

using FramePair = FramePairPlain;

#endif
