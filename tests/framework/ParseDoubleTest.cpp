// The locale-independent number parser against the C library's strtod in the C locale: decimal and
// hexadecimal numbers, infinities and not-a-numbers, numbers too large or too small for a double, and
// the same readings while the process runs in a locale with a decimal comma.

#include "framework/CommaLocale.h"
#include "framework/TextUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Reading
{
  const char* text;
  double value;
};

// What strtod reads in the C locale.
const Reading kReadings[] = {
    {"2.5", 2.5},
    {"  -4.25dB", -4.25},
    {"\t\n +3", 3.0},
    {"1e2", 100.0},
    {"1e", 1.0},        // an exponent without digits is not read
    {"1.", 1.0},        //
    {"abc", 0.0},       //
    {"--1", 0.0},       //
    {"", 0.0},          //
    {"0,5", 0.0},       // a comma ends the number
    {"0x10", 16.0},     // hexadecimal
    {"0X1F", 31.0},     //
    {"-0x10", -16.0},   //
    {"0x1p3", 8.0},     // with a binary exponent
    {"0x1.8p1", 3.0},   //
    {"0x.8", 0.5},      //
    {"0x1p", 1.0},      //
    {"0xg", 0.0},       // "0x" without a digit: the 0 alone
    {"0x", 0.0},        //
    {"1e400", kInf},    // too large: HUGE_VAL
    {"-1e400", -kInf},  //
    {"0x1p2000", kInf}, //
    {"12345678901234567890e300", kInf},
    {"1.7976931348623159e308", kInf}, // rounds past the largest double
    {"1.7976931348623157e308", 1.7976931348623157e308},
    {"0.000001e312", 1e306}, // leading zeros lower the order
    {"1e-400", 0.0},         // too small: 0 with its sign
    {"-1e-400", -0.0},       //
    {"0x1p-1075", 0.0},      //
    {"100000e-330", 0.0},    //
    {"1e-310", 1e-310},      // subnormal numbers are kept
    {"0x1p-1074", 0x1p-1074},
    {"inf", kInf},
    {"-Infinity", -kInf},
    {"infinit", kInf}, // "inf" and the rest ignored
    {"nan", kNaN},
    {"-nan(12)", -kNaN},
};

// Equal bits, or both not a number with the same sign.
bool SameReading(double a, double b)
{
  if (std::isnan(a) || std::isnan(b))
    return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return std::memcmp(&a, &b, sizeof(double)) == 0;
}
} // namespace

TEST(ParseDouble, ReadsDecimalHexadecimalInfiniteAndOutOfRangeNumbersAsStrtodInTheCLocale)
{
  for (const Reading& r : kReadings)
    EXPECT_TRUE(SameReading(ParseDouble(r.text), r.value)) << r.text << " read as " << ParseDouble(r.text);
  EXPECT_EQ(ParseDouble(nullptr), 0.0);
}

#ifndef _WIN32 // Windows's C library reads hexadecimal numbers otherwise
TEST(ParseDouble, AgreesWithTheCLibrarysStrtod)
{
  ASSERT_EQ(std::localeconv()->decimal_point[0], '.');
  for (const Reading& r : kReadings)
  {
    const double expected = std::strtod(r.text, nullptr);
    EXPECT_TRUE(SameReading(ParseDouble(r.text), expected)) << r.text;
  }
}
#endif

TEST(ParseDouble, ReadsTheSameInALocaleWithADecimalComma)
{
  testsupport::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << testsupport::kNoCommaLocale;
  ASSERT_EQ(std::strtod("0.5", nullptr), 0.0); // the C library now stops at the point
  for (const Reading& r : kReadings)
    EXPECT_TRUE(SameReading(ParseDouble(r.text), r.value)) << r.text;
}
