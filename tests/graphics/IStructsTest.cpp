// The editor's rectangle and text style records.

#include "framework/IStructs.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(IText, FontNameThatDoesNotFitIsRefused)
{
  IText text;
  EXPECT_STREQ(text.mFont, "Arial");
  std::string longName(IText::kMaxFontNameBytes, 'x');
  EXPECT_FALSE(text.SetFont(longName.c_str()));
  EXPECT_STREQ(text.mFont, "Arial");
  std::string fits(IText::kMaxFontNameBytes - 1, 'y');
  EXPECT_TRUE(text.SetFont(fits.c_str()));
  EXPECT_EQ(std::string(text.mFont), fits);
}

} // namespace
