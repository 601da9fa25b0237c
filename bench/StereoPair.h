#pragma once
// Two doubles worked on together: the left and right value of one voice frame in the benchmarks'
// baseline mixer (BaselineMix.cpp). Every operation is the same IEEE double operation on each half, so a
// pair gives the same bits as two scalars. On x86-64 (SSE2 is part of the base instruction set) the pair
// is one register; elsewhere it is two plain doubles.

#include <cstdint>

#if (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define KESTRUNE_STEREO_PAIR_SSE2 1
#include <emmintrin.h>
#else
#define KESTRUNE_STEREO_PAIR_SSE2 0
#endif

#if KESTRUNE_STEREO_PAIR_SSE2

struct StereoPair
{
  __m128d v;

  // (*lo, *hi)
  static StereoPair Load(const double* lo, const double* hi) { return {_mm_loadh_pd(_mm_load_sd(lo), hi)}; }
  // now = (lo[0], hi[0]), next = (lo[1], hi[1])
  static void LoadTwo(const double* lo, const double* hi, StereoPair& now, StereoPair& next)
  {
    const __m128d a = _mm_loadu_pd(lo);
    const __m128d b = _mm_loadu_pd(hi);
    now.v = _mm_unpacklo_pd(a, b);
    next.v = _mm_unpackhi_pd(a, b);
  }
  static StereoPair Both(double x) { return {_mm_set1_pd(x)}; }
  static StereoPair Of(double lo, double hi) { return {_mm_set_pd(hi, lo)}; }
  double Lo() const { return _mm_cvtsd_f64(v); }
  // For 0 <= pos < 2^31 in both halves (the same value): returns pos truncated, and pos minus that.
  static int32_t Split(StereoPair pos, StereoPair& fraction)
  {
    const __m128i whole = _mm_cvttpd_epi32(pos.v);
    fraction.v = _mm_sub_pd(pos.v, _mm_cvtepi32_pd(whole));
    return _mm_cvtsi128_si32(whole);
  }
  friend StereoPair operator+(StereoPair a, StereoPair b) { return {_mm_add_pd(a.v, b.v)}; }
  friend StereoPair operator-(StereoPair a, StereoPair b) { return {_mm_sub_pd(a.v, b.v)}; }
  friend StereoPair operator*(StereoPair a, StereoPair b) { return {_mm_mul_pd(a.v, b.v)}; }
  // dst[0] += lo, dst[1] += hi
  void AddTo(double* dst) const { _mm_storeu_pd(dst, _mm_add_pd(_mm_loadu_pd(dst), v)); }
};

#else

struct StereoPair
{
  double lo;
  double hi;

  static StereoPair Load(const double* l, const double* h) { return {*l, *h}; }
  static void LoadTwo(const double* l, const double* h, StereoPair& now, StereoPair& next)
  {
    now = {l[0], h[0]};
    next = {l[1], h[1]};
  }
  static StereoPair Both(double x) { return {x, x}; }
  static StereoPair Of(double l, double h) { return {l, h}; }
  double Lo() const { return lo; }
  static int32_t Split(StereoPair pos, StereoPair& fraction)
  {
    const int32_t whole = static_cast<int32_t>(pos.lo);
    fraction = {pos.lo - static_cast<double>(whole), pos.hi - static_cast<double>(whole)};
    return whole;
  }
  friend StereoPair operator+(StereoPair a, StereoPair b) { return {a.lo + b.lo, a.hi + b.hi}; }
  friend StereoPair operator-(StereoPair a, StereoPair b) { return {a.lo - b.lo, a.hi - b.hi}; }
  friend StereoPair operator*(StereoPair a, StereoPair b) { return {a.lo * b.lo, a.hi * b.hi}; }
  void AddTo(double* dst) const
  {
    dst[0] += lo;
    dst[1] += hi;
  }
};

#endif
