#pragma once
// When repeated rounded additions are plain multiples: the mixer's read positions and envelope levels
// move by x = x + step (or x = x - step) once a frame, each addition rounded. Within one binade
// [lo, 2 lo) every double is a multiple of the same unit u, and x + step rounds to x + inc for every such
// x, inc being step rounded to a multiple of u, as long as the exact sum lies inside the binade and step
// is not exactly halfway between two multiples of u (a tie, which rounds to the even neighbour and so
// depends on x). Then the n-th value is x0 + n * inc exactly, and two or four frames apart can be
// computed at once with the same bits as the frame-by-frame chain.

#include <cstdint>
#include <cstring>

namespace exactsteps
{
// The double 2^e for -1000 < e < 1000.
inline double PowerOfTwo(int e)
{
  const uint64_t bits = static_cast<uint64_t>(e + 1023) << 52;
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// For x0 and step (down: the value falls by step each time): the largest n <= maxCount such that the
// values after 1..n rounded additions (or subtractions) of step to x0 are x0 + k * inc (x0 - k * inc
// when down) exactly, with inc set; 0 (and inc 0) when no step can be promised, e.g. for x0 <= 0, a
// step that is negative, not finite or a tie in x0's binade. The values counted stay inside x0's binade
// (so a level counted upward from below 1 stays below 1, and one counted downward stays above 0), and
// n * inc is then exact for every counted n.
inline int Count(double x0, double step, bool down, int maxCount, double& inc)
{
  inc = 0.0;
  // Also refuses NaN; the bounds keep the unit u and the scaled steps far from underflow and overflow.
  if (!(x0 >= 0x1p-900 && x0 < 0x1p900 && step >= 0.0 && step < 0x1p900) || maxCount <= 0) return 0;
  uint64_t bits;
  std::memcpy(&bits, &x0, sizeof bits);
  const int e = static_cast<int>(bits >> 52) - 1023; // x0 in [2^e, 2^(e+1))
  const double lo = PowerOfTwo(e);
  const double u = PowerOfTwo(e - 52);
  // One step taken as the chain takes it; the difference of two multiples of u in (or at the edge of)
  // the binade is exact.
  const double first = down ? x0 - step : x0 + step;
  const double moved = down ? x0 - first : first - x0;
  if (moved == 0.0)
  {
    // The same operation on the same value: the value stays for good.
    return maxCount;
  }
  // step - moved is exact here (the two lie within a factor of 2 of each other whenever a step counts).
  const double off = step - moved;
  if (off == 0.5 * u || off == -0.5 * u) return 0;
  // The values must keep at least u away from the binade's far edge, so that every exact sum rounds
  // on the grid of u; 2 frames of margin cover the rounding of the division.
  const double room = (down ? x0 - lo : 2.0 * lo - x0) / moved;
  if (room >= static_cast<double>(maxCount) + 2.0)
  {
    inc = moved;
    return maxCount;
  }
  const int n = static_cast<int>(room) - 2;
  if (n <= 0) return 0;
  inc = moved;
  return n;
}
} // namespace exactsteps
