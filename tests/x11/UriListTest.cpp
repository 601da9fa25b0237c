// Reading the file list of a drop.

#include "platform/linux/UriList.h"

#include <gtest/gtest.h>

TEST(UriList, FileUrisDecodeToLocalPaths)
{
  EXPECT_EQ(UriList::FileUriToPath("file:///tmp/a%20b.wav"), "/tmp/a b.wav");
  EXPECT_EQ(UriList::FileUriToPath("file://localhost/tmp/x.wav"), "/tmp/x.wav");
  EXPECT_EQ(UriList::FileUriToPath("FILE://LocalHost/tmp/x.wav"), "/tmp/x.wav");
  EXPECT_EQ(UriList::FileUriToPath("file:///%C3%A9t%c3%a9.ogg"), "/\xc3\xa9t\xc3\xa9.ogg");
  EXPECT_EQ(UriList::FileUriToPath("file:///100%25.wav"), "/100%.wav");
}

TEST(UriList, OtherHostsSchemesAndBrokenEscapesGiveNothing)
{
  EXPECT_EQ(UriList::FileUriToPath("file://server/share/a.wav"), "");
  EXPECT_EQ(UriList::FileUriToPath("file://localhostile/a.wav"), "");
  EXPECT_EQ(UriList::FileUriToPath("http://example.org/a.wav"), "");
  EXPECT_EQ(UriList::FileUriToPath("file:"), "");
  EXPECT_EQ(UriList::FileUriToPath("file://"), "");
  EXPECT_EQ(UriList::FileUriToPath("file:///a%2"), ""); // cut short at the end
  EXPECT_EQ(UriList::FileUriToPath("file:///a%"), "");
  EXPECT_EQ(UriList::FileUriToPath("file:///a%zz"), "");
  EXPECT_EQ(UriList::FileUriToPath("file:///a%00b"), ""); // a NUL would cut the path short
}

TEST(UriList, FirstLocalFileOfAListSkipsCommentsAndForeignUris)
{
  EXPECT_EQ(UriList::FirstLocalPath("# comment\r\nhttp://x/y\r\nfile:///one.wav\r\nfile:///two.wav\r\n"),
            "/one.wav");
  EXPECT_EQ(UriList::FirstLocalPath("file:///lf-only.wav\n"), "/lf-only.wav");
  EXPECT_EQ(UriList::FirstLocalPath("file:///no-newline.wav"), "/no-newline.wav");
  EXPECT_EQ(UriList::FirstLocalPath(std::string_view("file:///nul-ended.wav\0", 22)), "/nul-ended.wav");
  EXPECT_EQ(UriList::FirstLocalPath(""), "");
  EXPECT_EQ(UriList::FirstLocalPath("\r\n\r\n# only comments\r\n"), "");
}
