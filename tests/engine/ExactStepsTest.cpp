// The promise the mixer's steady stretches rest on: the counted values of a rounded chain x += step are
// x0 + k * inc with the same bits, also taken two and four at a time, and a tie is never counted.

#include "engine/ExactSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace
{
bool SameBits(double a, double b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The unit of the last place of x's binade.
double Unit(double x)
{
  int e;
  std::frexp(x, &e); // x in [2^(e-1), 2^e)
  return std::ldexp(1.0, e - 53);
}

// Walks the chain as the frame-by-frame mixer does and compares every counted value; returns the count.
int CheckChain(double x0, double step, bool down, int maxCount)
{
  double inc = -1.0;
  const int n = exactsteps::Count(x0, step, down, maxCount, inc);
  EXPECT_GE(n, 0);
  EXPECT_LE(n, maxCount);
  if (n == 0) return 0;
  double x = x0;
  std::vector<double> chain{x0};
  for (int k = 1; k <= n; ++k)
  {
    x = down ? x - step : x + step;
    chain.push_back(x);
    const double direct = x0 + static_cast<double>(k) * (down ? -inc : inc);
    if (!SameBits(x, direct))
    {
      ADD_FAILURE() << "x0 " << x0 << " step " << step << " down " << down << " k " << k;
      return n;
    }
  }
  // Two and four frames at a time, as the mixer's pairs move.
  for (int k = 0; k + 4 <= n; ++k)
  {
    EXPECT_TRUE(SameBits(chain[k] + (down ? -4.0 : 4.0) * inc, chain[k + 4])) << x0 << " " << step;
    EXPECT_TRUE(SameBits(chain[k] + (down ? -2.0 : 2.0) * inc, chain[k + 2])) << x0 << " " << step;
  }
  // Counted values stay inside x0's binade: an attack level below 1 never reaches it, a release level
  // never reaches 0.
  int e0;
  int en;
  std::frexp(x0, &e0);
  std::frexp(chain[n], &en);
  EXPECT_EQ(e0, en) << x0 << " " << step;
  return n;
}
} // namespace

TEST(ExactSteps, CountedValuesAreTheRoundedChainTwoAndFourAtATime)
{
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  long counted = 0;
  for (int trial = 0; trial < 3000; ++trial)
  {
    // Positions and levels over many binades, often right next to a binade's edge.
    const int exponent = static_cast<int>(unit(rng) * 40.0) - 20;
    double x0 = std::ldexp(1.0 + unit(rng), exponent);
    if (trial % 3 == 1) x0 = std::ldexp(1.0, exponent + 1) - Unit(x0) * std::floor(unit(rng) * 8.0 + 1.0);
    if (trial % 3 == 2) x0 = std::ldexp(1.0, exponent) + Unit(x0) * std::floor(unit(rng) * 8.0);
    // Steps of a pitched voice, tiny and exact ones, and envelope steps.
    const double steps[] = {0.5 + 4.0 * unit(rng),
                            1.0,
                            0.25,
                            3.0,
                            1e-6 * unit(rng),
                            Unit(x0) * 0.3,
                            Unit(x0) * (1.0 + unit(rng)),
                            std::ldexp(unit(rng), exponent - 6)};
    for (double step : steps)
    {
      counted += CheckChain(x0, step, false, 600);
      counted += CheckChain(x0, step, true, 600);
    }
    if (HasFailure()) break;
  }
  // Not a test that passes by counting nothing.
  EXPECT_GT(counted, 3000L * 600L);
  double inc;
  // A voice well inside its binade counts the whole stretch asked for.
  EXPECT_EQ(exactsteps::Count(50000.3, 1.0884, false, 512, inc), 512);
  EXPECT_EQ(exactsteps::Count(0.3, 1e-5, true, 512, inc), 512);
}

TEST(ExactSteps, TiesAndValuesWithoutAStepAreNeverCounted)
{
  double inc;
  // Halfway between two multiples of the unit: the rounding goes to the even neighbour, so the amount
  // added changes from one step to the next.
  for (double x0 : {1024.0, 1025.0 + 0x1p-42, 1500.5, 0.3, 70000.25})
  {
    const double u = Unit(x0);
    for (double multiple : {1.0, 3.0, 1e6})
    {
      const double tie = multiple * u + 0.5 * u;
      EXPECT_EQ(exactsteps::Count(x0, tie, false, 100, inc), 0) << x0 << " " << multiple;
      EXPECT_EQ(exactsteps::Count(x0, tie, true, 100, inc), 0) << x0 << " " << multiple;
      // Just beside the tie, the chain is regular again.
      EXPECT_GT(CheckChain(x0, std::nextafter(tie, 1e9), false, 100), 0) << x0 << " " << multiple;
    }
  }
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  for (double x0 : {0.0, -1.0, nan, inf, 0x1p-1000})
  {
    EXPECT_EQ(exactsteps::Count(x0, 1.0, false, 100, inc), 0) << x0;
  }
  for (double step : {-1.0, nan, inf})
  {
    EXPECT_EQ(exactsteps::Count(5.0, step, false, 100, inc), 0) << step;
  }
  // A step into the next binade at once, either way.
  EXPECT_EQ(exactsteps::Count(1.5, 0.6, false, 100, inc), 0);
  EXPECT_EQ(exactsteps::Count(1.5, 0.6, true, 100, inc), 0);
  EXPECT_EQ(exactsteps::Count(5.0, 1.0, false, 0, inc), 0);
}

// The mixer reads the frame and the fraction of a counted position from its units: both must be what
// truncating the rounded double gives, and AnyWhole must see every whole position, however far in.
TEST(ExactSteps, UnitsGiveTheTruncatedFrameAndFractionAndFindEveryWholePosition)
{
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int wholeFound = 0;
  for (int trial = 0; trial < 4000; ++trial)
  {
    const int exponent = static_cast<int>(unit(rng) * 31.0); // positions from 1 to 2^31
    double x0 = std::ldexp(1.0 + unit(rng), exponent);
    double step = 0.25 + 3.0 * unit(rng);
    // Positions and steps on coarse grids, so that whole positions come up at some k.
    if (trial % 2 == 1)
    {
      const double grid = std::ldexp(1.0, -static_cast<int>(unit(rng) * 12.0));
      x0 = std::floor(x0 / grid) * grid + (trial % 4 == 1 ? 0.0 : grid * std::floor(unit(rng) * 3.0));
      step = grid * std::floor(1.0 + unit(rng) * 64.0);
    }
    // Or a step that is an odd number of the binade's units, chosen to land on a whole number k0 steps
    // in: the congruence is then solved modulo up to 2^51.
    if (trial % 8 == 7)
    {
      const int e = 1 + static_cast<int>(unit(rng) * 20.0);
      const int k0 = 1 + static_cast<int>(unit(rng) * 300.0);
      const double odd = 2.0 * std::floor(unit(rng) * std::ldexp(1.0, 40)) + 1.0; // below 2^(50 - 8.3)
      step = std::ldexp(odd, e - 52);
      x0 = 3.0 * std::ldexp(1.0, e - 1) - k0 * step;
    }
    if (x0 < 1.0) continue;
    double inc;
    const int n = exactsteps::Count(x0, step, false, 400, inc);
    if (n == 0) continue;
    const exactsteps::Units at = exactsteps::InUnits(x0, inc);
    int firstWhole = -1;
    double x = x0;
    for (int k = 0; k < n; ++k)
    {
      const uint64_t units = at.first + static_cast<uint64_t>(k) * at.step;
      const double whole = std::trunc(x);
      const double fraction =
          std::ldexp(static_cast<double>(units & ((uint64_t{1} << at.fractionBits) - 1)), -at.fractionBits);
      ASSERT_EQ(static_cast<double>(units >> at.fractionBits), whole) << x0 << " " << step << " " << k;
      ASSERT_TRUE(SameBits(fraction, x - whole)) << x0 << " " << step << " " << k;
      if (firstWhole < 0 && fraction == 0.0) firstWhole = k;
      x += step;
    }
    if (firstWhole >= 0) ++wholeFound;
    // Every prefix length around the first whole position, and the whole stretch.
    for (int m : {firstWhole, firstWhole + 1, n})
    {
      if (m < 0) continue;
      EXPECT_EQ(exactsteps::AnyWhole(at, m), firstWhole >= 0 && firstWhole < m)
          << x0 << " " << step << " first whole " << firstWhole << " of " << m;
    }
  }
  // Not a test that passes by never meeting a whole position.
  EXPECT_GT(wholeFound, 500);
}
