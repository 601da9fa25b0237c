// The editor's rectangle and text style records.

#include "framework/IStructs.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(IRECT, AllZeroIsEmptyAndUnionWithEmptyGivesTheOtherOperand)
{
  IRECT empty;
  IRECT a(3, 4, 10, 12);
  EXPECT_TRUE(empty.Empty());
  EXPECT_FALSE(a.Empty());
  EXPECT_FALSE(IRECT(0, 0, 0, 1).Empty());
  EXPECT_EQ(empty.Union(a), a);
  EXPECT_EQ(a.Union(empty), a);
  EXPECT_EQ(a.Union(IRECT(-2, 8, 5, 20)), IRECT(-2, 4, 10, 20));
  EXPECT_EQ(a.W(), 7);
  EXPECT_EQ(a.H(), 8);
}

TEST(IRECT, RectanglesThatOnlyTouchOrAreEmptyDoNotIntersect)
{
  IRECT a(0, 0, 10, 10);
  EXPECT_TRUE(a.Intersects(IRECT(9, 9, 20, 20)));
  EXPECT_FALSE(a.Intersects(IRECT(10, 0, 20, 10))); // shares only the right edge
  EXPECT_FALSE(a.Intersects(IRECT(0, 10, 10, 20))); // shares only the bottom edge
  EXPECT_FALSE(a.Intersects(IRECT()));
  EXPECT_FALSE(IRECT().Intersects(IRECT()));
  EXPECT_TRUE(a.Intersects(IRECT(2, 2, 3, 3))); // inside
  EXPECT_EQ(a.Intersect(IRECT(5, -5, 20, 7)), IRECT(5, 0, 10, 7));
  EXPECT_TRUE(a.Intersect(IRECT(10, 10, 20, 20)).Empty());
}

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
