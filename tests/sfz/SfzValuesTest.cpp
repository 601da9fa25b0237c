// The SFZ value conversions, compared with the C library's own conversions (the test runs in the C
// locale, which the reader's results must equal whatever the process locale is).

#include "samplefiles/SfzValues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
std::string Show(const std::string& text)
{
  return "[" + text + "]";
}

// Every text of up to three characters from an alphabet that reaches each branch of "%f" and "%d"
// (signs, points, exponents, hex numbers, infinities, NaNs, blanks), and longer texts for the ranges:
// past the float range either way, subnormals, overflowing integers.
std::vector<std::string> GeneratedTexts()
{
  const std::string alphabet = "019.eE+-xXpPnNiIaf( \t";
  std::vector<std::string> texts = {""};
  for (char a : alphabet)
  {
    texts.push_back(std::string(1, a));
    for (char b : alphabet)
    {
      texts.push_back(std::string{a, b});
      for (char c : alphabet)
        texts.push_back(std::string{a, b, c});
    }
  }
  // Longer texts, separated by '|'.
  const std::string longer =
      "infinity|INFINITY|infinityy|infix|nan(abc)|0x1.fffffep127|0x1p128|0x1p-149|0x1p-151|"
      "0x1p-200|0X1.8P1|1e40|-1e40|1e-45|1e-46|3.4028235677973366e38|3.4028235677973367e38|"
      "1e9999999999999999999999|1e-9999999999999999999999|0x0p99999|"
      "12345678901234567890123456789012345678901234567890|"
      "0.0000000000000000000000000000000000000000000001|7.0000005|16777217| \t\v\f\r\n2.5|1.5e3x|"
      "32767|32768|65530|-32769|70000|99999999999|-99999999999|99999999999999999999|"
      "9223372036854775807|-9223372036854775808|9223372036854775808";
  for (size_t from = 0, bar; from <= longer.size(); from = bar + 1)
  {
    bar = std::min(longer.find('|', from), longer.size());
    texts.push_back(longer.substr(from, bar - from));
  }
  return texts;
}
} // namespace

TEST(SfzValues, FloatsReadAsScanfPercentFAndIntegersKeepTheLow16BitsOfAtoi)
{
  for (const std::string& text : GeneratedTexts())
  {
    float expected = -7.0f;
    const bool converted = std::sscanf(text.c_str(), "%f", &expected) == 1;
    float actual = -7.0f;
    ASSERT_EQ(ScanSfzFloat(text, actual), converted) << Show(text);
    if (std::isnan(expected))
      ASSERT_TRUE(std::isnan(actual)) << Show(text);
    else
    {
      ASSERT_EQ(actual, expected) << Show(text);
      ASSERT_EQ(std::signbit(actual), std::signbit(expected)) << Show(text);
    }
    ASSERT_EQ(SfzAtoi16(text), static_cast<int16_t>(std::atoi(text.c_str()))) << Show(text);
  }
}

