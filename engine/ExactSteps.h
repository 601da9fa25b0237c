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

// Count's values x0 + k * inc counted in units of x0's binade, for a binade between 1 and 2^31: value k
// is (first + k * step) / 2^fractionBits exactly, so its whole part is (first + k * step) >> fractionBits
// and its fraction the low fractionBits bits over 2^fractionBits.
struct Units
{
  uint64_t first;
  uint64_t step;
  int fractionBits; // 52 - e for x0 in [2^e, 2^(e+1))
};

// For x0 and inc as Count gives them, x0 >= 1 and below 2^31. The product is exact: inc is a multiple
// of the unit below the binade's width.
inline Units InUnits(double x0, double inc)
{
  uint64_t bits;
  std::memcpy(&bits, &x0, sizeof bits);
  const int e = static_cast<int>(bits >> 52) - 1023;
  return {(bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52),
          static_cast<uint64_t>(inc * PowerOfTwo(52 - e)), 52 - e};
}

// Whether one of the first n values in units u is a whole number: whether first + k step = 0 modulo
// M = 2^fractionBits for some k < n, a linear congruence solved in 64-bit integers, whose arithmetic is
// exact modulo 2^64 and so modulo M.
inline bool AnyWhole(const Units& u, int n)
{
  if (n <= 0) return false;
  const uint64_t mask = (uint64_t{1} << u.fractionBits) - 1;
  const uint64_t p = u.first & mask;
  const uint64_t i = u.step & mask;
  if (p == 0) return true;  // the first value
  if (i == 0) return false; // every value keeps the first one's fraction
  // k I = -P (mod M). With I = 2^t I', the congruence needs 2^t to divide P, and then
  // k = -(P / 2^t) (I')^-1 modulo M / 2^t, I' being odd and so invertible.
  int t = 0;
  uint64_t odd = i;
  while ((odd & 1) == 0)
  {
    odd >>= 1;
    ++t;
  }
  if ((p & ((uint64_t{1} << t) - 1)) != 0) return false;
  uint64_t inverse = odd; // right to 3 bits for any odd number; each step doubles the bits
  for (int step = 0; step < 5; ++step)
    inverse *= 2 - odd * inverse;
  const uint64_t first = (0 - (p >> t) * inverse) & (mask >> t);
  return first < static_cast<uint64_t>(n);
}
} // namespace exactsteps
