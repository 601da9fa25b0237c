#include "samplefiles/PathRules.h"

#include <gtest/gtest.h>

TEST(PathRules, AbsolutePathsFollowThePlatform)
{
  EXPECT_TRUE(IsAbsolutePath("/samples/kick.wav"));
  EXPECT_FALSE(IsAbsolutePath("samples/kick.wav"));
  EXPECT_FALSE(IsAbsolutePath(""));
#ifdef _WIN32
  EXPECT_TRUE(IsAbsolutePath("C:\\samples\\kick.wav"));
  EXPECT_TRUE(IsAbsolutePath("d:/samples/kick.wav"));
  EXPECT_TRUE(IsAbsolutePath("\\\\host\\share\\kick.wav"));
  EXPECT_FALSE(IsAbsolutePath("C:kick.wav")) << "relative to the drive's current folder";
#else
  EXPECT_FALSE(IsAbsolutePath("C:\\samples\\kick.wav"));
  EXPECT_FALSE(IsAbsolutePath("\\samples\\kick.wav"));
#endif
}

TEST(PathRules, TheLastSeparatorEndsTheFolder)
{
  EXPECT_EQ(LastPathSeparator("/kits/drums/kit.sfz"), 11u);
  EXPECT_EQ(LastPathSeparator("kit.sfz"), std::string_view::npos);
#ifdef _WIN32
  EXPECT_EQ(LastPathSeparator("C:\\kits/drums\\kit.sfz"), 13u);
  EXPECT_EQ(kPathSeparator, '\\');
#else
  EXPECT_EQ(LastPathSeparator("/kits/dr\\ums.sfz"), 5u) << "a backslash is part of a name";
  EXPECT_EQ(kPathSeparator, '/');
#endif
}
