#include "framework/ByteChunk.h"
#include "framework/TextUtil.h"

#include <gtest/gtest.h>

#include <cstring>

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

TEST(ByteChunk, ValuesAndTextsAreLittleEndianWithLengthPrefix)
{
  ByteChunk chunk;
  chunk.AppendValue(int32_t{0x01020304});
  chunk.AppendValue(true);
  chunk.AppendStr("ab");
  const uint8_t expected[] = {0x04, 0x03, 0x02, 0x01, 0x01, 0x02, 0x00, 0x00, 0x00, 'a', 'b'};
  ASSERT_EQ(chunk.Size(), static_cast<int>(sizeof(expected)));
  EXPECT_EQ(0, std::memcmp(chunk.Bytes(), expected, sizeof(expected)));

  int32_t i = 0;
  bool b = false;
  std::string text;
  int pos = chunk.ReadValue(&i, 0);
  pos = chunk.ReadValue(&b, pos);
  pos = chunk.GetStr(&text, pos);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_TRUE(b);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(pos, chunk.Size());
}

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

TEST(TextUtil, CopyTextCutsToTheDestination)
{
  char out[4] = {'z', 'z', 'z', 'z'};
  CopyText(out, sizeof(out), "abcdef");
  EXPECT_STREQ(out, "abc");
  CopyText(out, sizeof(out), nullptr);
  EXPECT_STREQ(out, "");
}

TEST(TextUtil, ParseDoubleReadsLikeAtofInTheCLocale)
{
  EXPECT_EQ(ParseDouble("2.5"), 2.5);
  EXPECT_EQ(ParseDouble("  -4.25dB"), -4.25);
  EXPECT_EQ(ParseDouble("+3"), 3.0);
  EXPECT_EQ(ParseDouble("1e2"), 100.0);
  EXPECT_EQ(ParseDouble("abc"), 0.0);
  EXPECT_EQ(ParseDouble("--1"), 0.0);
  EXPECT_EQ(ParseDouble(""), 0.0);
  EXPECT_EQ(ParseDouble(nullptr), 0.0);
  EXPECT_EQ(ParseDouble("0,5"), 0.0);
}

TEST(TextUtil, FormatFixedWritesCLocaleDecimals)
{
  char out[32];
  FormatFixed(0.25, 17, out, sizeof(out));
  EXPECT_STREQ(out, "0.25000000000000000");
  FormatFixed(-1.005, 1, out, 5);
  EXPECT_STREQ(out, "-1.0");
  FormatFixed(-1.005, 1, out, 4); // cut, terminated
  EXPECT_STREQ(out, "-1.");
}
