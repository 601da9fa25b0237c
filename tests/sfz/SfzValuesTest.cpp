// The SFZ value conversions, compared with the C library's own conversions (the test runs in the C
// locale, which the reader's results must equal whatever the process locale is).

#include "samplefiles/SfzValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// Texts that probe every branch of "%f": signs, points, exponents with and without digits, hex
// numbers, infinities, NaNs, numbers past the float range either way, and no number at all.
const std::vector<std::string> kFloatTexts = {"0.25",
                                              "1",
                                              "-2.5",
                                              "+.5",
                                              ".5",
                                              "1.",
                                              "1e",
                                              "1e+",
                                              "1e5x",
                                              "1.5e3x",
                                              "5e-",
                                              "1e+x",
                                              " \t\v\f\r\n2.5",
                                              "0x",
                                              "0x.",
                                              "0x.p1",
                                              "0x1p",
                                              "0x1p3",
                                              "0X1.8P1",
                                              "0x.8",
                                              "0x.g",
                                              "0xp1",
                                              "-0x",
                                              "0xg",
                                              "00x1",
                                              "0x0x",
                                              ".",
                                              "-.",
                                              "+",
                                              "-",
                                              "+-1",
                                              "--1",
                                              "- 1",
                                              "..5",
                                              ".e5",
                                              "1.e5",
                                              "0.e",
                                              "0e5",
                                              "-0",
                                              "1,5",
                                              "",
                                              " ",
                                              "in",
                                              "inf",
                                              "infi",
                                              "infin",
                                              "infinit",
                                              "infinity",
                                              "INFINITY",
                                              "infinityy",
                                              "infix",
                                              "-inf",
                                              "+INF",
                                              "n",
                                              "na",
                                              "nan",
                                              "nan(",
                                              "nan(abc)",
                                              "NaN",
                                              "-nan",
                                              "nanx",
                                              "1e40",
                                              "-1e40",
                                              "1e-50",
                                              "1e-40",
                                              "1e-45",
                                              "1e-46",
                                              "-1e-50",
                                              "3.4028235677973366e38",
                                              "3.4028235677973367e38",
                                              "1e9999999999999999999999",
                                              "1e-9999999999999999999999",
                                              "0x1.fffffep127",
                                              "0x1p128",
                                              "0x1p-200",
                                              "0x1p-149",
                                              "0x1p-151",
                                              "12345678901234567890123456789012345678901234567890",
                                              "0.000000000000000000000000000000000000000000001",
                                              "0.0000000000000000000000000000000000000000000001",
                                              "0e999999",
                                              "0x0p99999",
                                              "7.0000005",
                                              "16777217",
                                              "x1",
                                              "#2",
                                              "1e-5",
                                              "9.9999999e-1"};

std::string Show(const std::string& text)
{
  return "[" + text + "]";
}
} // namespace

TEST(SfzValues, FloatReadsAsScanfPercentF)
{
  for (const std::string& text : kFloatTexts)
  {
    float expected = -7.0f;
    const bool converted = std::sscanf(text.c_str(), "%f", &expected) == 1;
    float actual = -7.0f;
    EXPECT_EQ(ScanSfzFloat(text, actual), converted) << Show(text);
    if (std::isnan(expected))
      EXPECT_TRUE(std::isnan(actual)) << Show(text);
    else
    {
      EXPECT_EQ(actual, expected) << Show(text);
      EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << Show(text);
    }
  }
}

TEST(SfzValues, FloatStopsAtANulByte)
{
  float value = -7.0f;
  EXPECT_FALSE(ScanSfzFloat(std::string_view("\0"
                                             "5",
                                             2),
                            value));
  EXPECT_TRUE(ScanSfzFloat(std::string_view("1\0"
                                            "5",
                                            3),
                           value));
  EXPECT_EQ(value, 1.0f);
}

TEST(SfzValues, AtoiKeepsTheLow16BitsOfTheLongResult)
{
  const std::vector<std::string> texts = {"0",
                                          "42",
                                          "-42",
                                          "+7",
                                          " \t -13x",
                                          "",
                                          "-",
                                          "+",
                                          "abc",
                                          "3.9",
                                          "32767",
                                          "32768",
                                          "65530",
                                          "-32769",
                                          "70000",
                                          "99999999999",
                                          "-99999999999",
                                          "99999999999999999999",
                                          "-99999999999999999999",
                                          "9223372036854775807",
                                          "-9223372036854775808",
                                          "9223372036854775808",
                                          "--1",
                                          "- 1"};
  for (const std::string& text : texts)
    EXPECT_EQ(SfzAtoi16(text), static_cast<int16_t>(std::atoi(text.c_str()))) << Show(text);
}

namespace
{
// The note rules written with the C conversions they are defined by.
bool ReferenceNote(const std::string& text, int16_t& note)
{
  if (std::strlen(text.c_str()) > 3) return false;
  int number = 0;
  if (std::sscanf(text.c_str(), "%d", &number) == 1 && number >= 12)
  {
    note = static_cast<int16_t>(number);
    return true;
  }
  char name[3] = "";
  int octave = -1;
  std::sscanf(text.c_str(), std::strlen(text.c_str()) == 3 ? "%2s%d" : "%1s%d", name, &octave);
  static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  int index = -1;
  for (int i = 0; i < 12 && index < 0; ++i)
  {
    bool agrees = true;
    for (size_t c = 0; c < std::strlen(name) && agrees; ++c)
      agrees = std::toupper(static_cast<unsigned char>(name[c])) == kNames[i][c];
    if (agrees) index = i;
  }
  note = static_cast<int16_t>(index < 0 ? -1 : index + 12 * octave + 12);
  return true;
}
} // namespace

TEST(SfzValues, NoteAgreesWithTheScanfRulesForEveryShortText)
{
  const std::string alphabet = "cCdDeEgGaAbBh#-+ \t01249x";
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
  texts.push_back("c#10");
  texts.push_back("1000");
  for (const std::string& text : texts)
  {
    int16_t expected = 999;
    int16_t actual = 999;
    const bool expectedSet = ReferenceNote(text, expected);
    ASSERT_EQ(ReadSfzNote(text, actual), expectedSet) << Show(text);
    ASSERT_EQ(actual, expected) << Show(text);
  }
}
