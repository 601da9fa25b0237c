#include "samplefiles/Keyword.h"

#include <gtest/gtest.h>

TEST(MatchesKeyword, TextThatBeginsTheKeywordMatchesCaseInsensitively)
{
  EXPECT_TRUE(MatchesKeyword("lokey", "lokey"));
  EXPECT_TRUE(MatchesKeyword("lo", "lokey"));
  EXPECT_TRUE(MatchesKeyword("WAV", "wav"));
  EXPECT_TRUE(MatchesKeyword("Og", "ogg"));
  EXPECT_TRUE(MatchesKeyword("<REGION>", "<region>"));
}

TEST(MatchesKeyword, EmptyTextMatchesEveryKeyword)
{
  EXPECT_TRUE(MatchesKeyword("", "sfz"));
  EXPECT_TRUE(MatchesKeyword("", ""));
}

TEST(MatchesKeyword, LongerOrDifferentTextDoesNotMatch)
{
  EXPECT_FALSE(MatchesKeyword("lokeys", "lokey"));
  EXPECT_FALSE(MatchesKeyword("lokey ", "lokey"));
  EXPECT_FALSE(MatchesKeyword("x", ""));
  EXPECT_FALSE(MatchesKeyword("loop", "lokey"));
  EXPECT_FALSE(MatchesKeyword(" wav", "wav"));
  // Only A-Z are lowered; other bytes compare as they are.
  EXPECT_FALSE(MatchesKeyword("\xC3\x89", "\xC3\xA9"));
  EXPECT_FALSE(MatchesKeyword(std::string_view("wa\0", 3), "wav"));
}
