// Parameter values and display texts and the chunk byte reader.

#include "framework/IParam.h"
#include "framework/ByteChunk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
std::string Display(const IParam& param, double value, bool normalized = false)
{
  char out[MAX_PARAM_NAME_LEN];
  param.GetDisplayForHost(value, normalized, out, sizeof(out));
  return out;
}
} // namespace

TEST(IParam, DisplayFollowsTypePrecisionNamesAndNegation)
{
  IParam time, pan, gain, mode, narrow, retyped;
  time.InitDouble("Time", 0, 0, 16, 0.01, "s");
  pan.InitInt("Pan", 0, -100, 100);
  gain.InitInt("Gain", 0, -10, 10);
  gain.SetNegateDisplay(true);
  mode.InitEnum("Mode", 0, 3);
  mode.SetDisplayText(0, "No");
  mode.SetDisplayText(1, "Yes");
  mode.SetDisplayText(2, "");
  narrow.InitDouble("x", 0, 0, 0, 0.5, "");
  retyped.InitInt("x", 0, 0, 5);
  retyped.InitDouble("x", 0, 0, 5, 0.5); // the first initialisation fixes the type
  struct Case
  {
    const IParam* param;
    double value;
    const char* display;
  };
  const Case cases[] = {
      {&time, 1.5, "1.50"},  {&time, 0.0, "0"},  {&time, -0.25, "-0.25"}, // precision; zero is plain
      {&pan, 2.7, "2"},      {&pan, -2.7, "-2"}, {&pan, -0.3, "0"},       // ints truncate toward zero
      {&gain, 3, "-3"},      {&gain, 0, "0"},                             // negated, but not zero
      {&mode, 0.6, "Yes"},   {&mode, 0.4, "No"}, {&mode, 2.0, "2"},       // empty text shows the number
      {&narrow, 0.5, "0.5"},                                              // range at least one step
  };
  for (const Case& c : cases)
    EXPECT_EQ(Display(*c.param, c.value), c.display) << c.param->GetNameForHost() << " " << c.value;
  EXPECT_EQ(narrow.GetMax(), 0.5);
  EXPECT_EQ(retyped.Type(), IParam::kTypeInt);
}

TEST(IParam, IntSnapsHalvesUpwardFromZero)
{
  IParam param;
  param.InitInt("Pan", 0, -100, 100);
  param.SetNormalized(0.5);
  EXPECT_EQ(param.Value(), 0.0);
  // Curve values that are exact halves (0.5 and -0.5) round up.
  IParam narrow;
  narrow.InitInt("Small", 0, -4, 4);
  narrow.SetNormalized(0.5625);
  EXPECT_EQ(narrow.Value(), 1.0);
  narrow.SetNormalized(0.4375);
  EXPECT_EQ(narrow.Value(), 0.0);
  narrow.SetNormalized(0.4);
  EXPECT_EQ(narrow.Value(), -1.0);
}

TEST(IParam, HugeValuesAreCutToTheBufferNotOverflowed)
{
  IParam param;
  param.InitDouble("x", 0, -1e300, 1e300, 0.000001);
  char out[8];
  std::memset(out, 'z', sizeof(out));
  param.GetDisplayForHost(1e300, false, out, 6);
  EXPECT_EQ(std::string(out), "10000");
  EXPECT_EQ(out[6], 'z');
  IParam wide;
  wide.InitInt("y", 0, 0, 1);
  EXPECT_EQ(Display(wide, 1e12), "1000000000000");
}

namespace
{
ByteChunk ChunkOfLength(int32_t n, const char* bytes, int nBytes)
{
  ByteChunk chunk;
  chunk.AppendValue(n);
  chunk.AppendBytes(reinterpret_cast<const uint8_t*>(bytes), nBytes);
  return chunk;
}
} // namespace

TEST(ByteChunk, ReadsPastTheEndOrFromNegativePositionsFail)
{
  ByteChunk chunk;
  chunk.AppendValue(1.5);
  double v = 7.0;
  EXPECT_EQ(chunk.ReadValue(&v, 1), -1);
  EXPECT_EQ(chunk.ReadValue(&v, -1), -1);
  EXPECT_EQ(v, 7.0);
  EXPECT_EQ(chunk.ReadValue(&v, 0), 8);
  EXPECT_EQ(v, 1.5);
}

TEST(ByteChunk, GetStrReadsUpToAZeroByteAndRefusesBadLengths)
{
  struct Case
  {
    int32_t length;
    const char* bytes;
    int nBytes;
    int pos;          // what GetStr answers
    const char* text; // what it leaves in the text ("keep": untouched)
  };
  const Case cases[] = {
      {0, "", 0, 4, "keep"},         // empty: four bytes on, text untouched
      {10, "abc", 3, 14, "keep"},    // past the end: a position beyond it
      {4, "ab\0c", 4, 8, "ab"},      // stops at a zero byte
      {-5, "abcdef", 6, -1, "keep"}, // negative length
      {0x7FFFFFFF, "abcdef", 6, -1, "keep"},
  };
  for (const Case& c : cases)
  {
    std::string text = "keep";
    EXPECT_EQ(ChunkOfLength(c.length, c.bytes, c.nBytes).GetStr(&text, 0), c.pos) << c.length;
    EXPECT_EQ(text, c.text) << c.length;
  }
  std::string text;
  EXPECT_EQ(ChunkOfLength(10, "abc", 3).GetStr(&text, 14), -1); // a position beyond the end
  ByteChunk three;
  three.AppendBytes(reinterpret_cast<const uint8_t*>("\x01\x00\x00"), 3);
  EXPECT_EQ(three.GetStr(&text, 0), -1);
}

TEST(ByteChunk, AppendBytesOfItselfDoublesTheContent)
{
  ByteChunk chunk;
  chunk.AppendStr("x");
  chunk.AppendBytes(chunk);
  EXPECT_EQ(chunk.Size(), 10);
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, 5), 10);
  EXPECT_EQ(text, "x");
}
