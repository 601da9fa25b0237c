// Opcode lines of the line-by-line reader and the slot parameter values they give, and the value
// conversions compared with the C library's own over generated texts (the test runs in the C locale,
// which the reader's results must equal whatever the process locale is).

#include "SfzTestFiles.h"
#include "engine/EngineConstants.h"
#include "samplefiles/SfzValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
// The reader's result holds slot parameter kind k at index k.
using Kind = ESlotParam;

// Slot 0's result for one region with the given opcode lines, its sample a.wav next to the file.
SfzSlotResult OneRegion(const std::string& lines)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  SfzSlotResult r = ReadSfzSlotByLines(dir.Text("one.sfz", "<region>\nsample=a.wav\n" + lines), 0, false);
  EXPECT_EQ(r.action, Action::kLoad) << lines;
  return r;
}

double LineReaderParam(const std::string& lines, Kind kind)
{
  return OneRegion(lines).params[kind];
}
} // namespace

TEST(SfzOpcodes, RegionValuesBecomeSlotParameters)
{
  const SfzSlotResult r = OneRegion("ampeg_attack=0.25\nampeg_release=1.5\nvolume=-6\nlokey=36\nhikey=72\n"
                                    "pitch_keycenter=60\npitch_keytrack=50\npan=-30\npan_alternate=yes\n"
                                    "direction=reverse\nloop_mode=loop_continuous\n");
  EXPECT_EQ(r.params[kActive], kSfzNotGiven);
  EXPECT_EQ(r.params[kLowNote], 36);
  EXPECT_EQ(r.params[kHighNote], 72);
  EXPECT_EQ(r.params[kRootNote], 60);
  EXPECT_DOUBLE_EQ(r.params[kSemitonesMultiply], 0.5);
  EXPECT_EQ(r.params[kAttack], 0.25);
  EXPECT_EQ(r.params[kRelease], 1.5);
  EXPECT_EQ(r.params[kPan], -30);
  EXPECT_EQ(r.params[kAlternatePan], 1);
  EXPECT_EQ(r.params[kVolume], -6);
  EXPECT_EQ(r.params[kReverse], 1);
  EXPECT_EQ(r.params[kLoop], 1);
}

TEST(SfzOpcodes, RegionValueWinsOverFileWideValueWhichFillsTheGaps)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Wav("b.wav");
  const std::string sfz = dir.Text("fall.sfz", "<global>\nlokey=36\npan=10\nampeg_release=2\n"
                                               "<region>\nsample=a.wav\nlokey=48\n"
                                               "<region>\nsample=b.wav\nampeg_release=0.5\n");
  const SfzSlotResult first = ReadSfzSlotByLines(sfz, 0, false);
  EXPECT_EQ(first.params[kLowNote], 48);
  EXPECT_EQ(first.params[kPan], 10);
  EXPECT_EQ(first.params[kRelease], 2);
  const SfzSlotResult second = ReadSfzSlotByLines(sfz, 1, false);
  EXPECT_EQ(second.params[kLowNote], 36);
  EXPECT_EQ(second.params[kPan], 10);
  EXPECT_EQ(second.params[kRelease], 0.5);
}

TEST(SfzOpcodes, EachOpcodeTextGivesItsParameterValueOrNotGiven)
{
  struct Case
  {
    const char* lines;
    Kind kind;
    double value;
  };
  const double kNot = kSfzNotGiven;
  const Case cases[] = {
      // Start values count as not given; the edges next to them are given (clamped later).
      {"ampeg_attack=-1\n", kAttack, kNot},
      {"ampeg_release=-3\n", kRelease, kNot},
      {"volume=-50\n", kVolume, kNot},
      {"pan=-101\n", kPan, kNot},
      {"pitch_keytrack=-1\n", kSemitonesMultiply, kNot},
      {"ampeg_attack=-0.5\n", kAttack, -0.5},
      {"volume=-49\n", kVolume, -49},
      {"pan=-100\n", kPan, -100},
      {"pitch_keytrack=0\n", kSemitonesMultiply, 0.0},
      // Key tracking in cents.
      {"pitch_keytrack=100\n", kSemitonesMultiply, 1.0},
      {"pitch_keytrack=1200\n", kSemitonesMultiply, 12.0},
      {"lokey=40\n", kSemitonesMultiply, kNot},
      // Keywords, abbreviated and in any case.
      {"direction=forward\n", kReverse, 0},
      {"direction=REV\n", kReverse, 1},
      {"loop_mode=no_loop\n", kLoop, 0},
      {"loop_mode=loop_sustain\n", kLoop, 1},
      {"loop_mode=loop\n", kLoop, 1},
      {"loop_mode=one_shot\n", kLoop, kNot},
      {"loop_mode=no_loop\nloop_mode=one_shot\n", kLoop, 0},
      {"pan_alternate=no\n", kAlternatePan, 0},
      {"pan_alternate=Y\n", kAlternatePan, 1},
      // Note names and numbers; flats, negative octaves and numbers below 12 give -1 (clamped later).
      {"lokey=c4\n", kLowNote, 60},
      {"lokey=C4\n", kLowNote, 60},
      {"hikey=a#3\n", kHighNote, 58},
      {"pitch_keycenter=g9\n", kRootNote, 127},
      {"lokey=c0\n", kLowNote, 12},
      {"lokey=100\n", kLowNote, 100},
      {"lokey=db4\n", kLowNote, -1},
      {"lokey=c-1\n", kLowNote, -1},
      {"lokey=11\n", kLowNote, -1},
      {"lokey=50\nlokey=c#10\n", kLowNote, 50}, // longer than three characters: sets nothing
      {"lokey=50\nlokey=c\n", kLowNote, kNot},  // no octave: 0, which counts as not given
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(LineReaderParam(c.lines, c.kind), c.value) << c.lines;
}

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
