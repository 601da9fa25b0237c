// The size a Linux desktop asks for: Xft.dpi of the X resources, then GDK_SCALE, then QT_SCALE_FACTOR.

#include "platform/linux/DisplayScale.h"

#include <gtest/gtest.h>

namespace
{
TEST(DisplayScale, XftDpiNamesTheSizeAndWinsOverTheToolkitVariables)
{
  EXPECT_EQ(ScaleFromXResources("Xft.antialias:\t1\nXft.dpi:\t96\nXft.hinting:\t1\n"), 100);
  EXPECT_EQ(ScaleFromXResources("Xft.dpi:\t144\n"), 150);
  EXPECT_EQ(ScaleFromXResources("Xft.dpi: 192"), 200);
  EXPECT_EQ(ScaleFromXResources("Xft.dpi:\t110\n"), 100); // 115 %: the nearest of the three
  EXPECT_EQ(ScaleFromXResources("Xft.dpi:\t120\n"), 150); // 125 %: halfway goes up
  EXPECT_EQ(ScaleFromXResources("Xft.dpi:\t168\n"), 200); // 175 %: halfway goes up
  EXPECT_EQ(DisplayScaleFrom("Xft.dpi:\t192\n", "1", "1"), 200);
  EXPECT_EQ(DisplayScaleFrom("Xft.dpi:\t96\n", "2", nullptr), 100);
}

TEST(DisplayScale, WithoutXftDpiTheToolkitFactorsDecideElse100Percent)
{
  for (const char* resources : {static_cast<const char*>(nullptr), "", "Xft.dpix:\t192\n",
                                "MyXft.dpi:\t192\n", "Xft.dpi:\tlarge\n", "Xft.dpi:\t0\n"})
    EXPECT_EQ(ScaleFromXResources(resources), 0) << (resources ? resources : "null");
  EXPECT_EQ(DisplayScaleFrom(nullptr, "2", "1"), 200);
  EXPECT_EQ(DisplayScaleFrom(nullptr, nullptr, "1.5"), 150);
  EXPECT_EQ(DisplayScaleFrom(nullptr, "", "1.5"), 150);
  EXPECT_EQ(DisplayScaleFrom(nullptr, "two", "1.5"), 150);
  EXPECT_EQ(DisplayScaleFrom(nullptr, nullptr, nullptr), 100);
  EXPECT_EQ(DisplayScaleFrom(nullptr, "0", "-1"), 100);
}
} // namespace
