// Folder stepping through the platform's own listing (opendir here, FindFirstFileA on Windows), with
// paths joined by the platform's separator. The listing order is the system's, so two sample files
// are placed: one is the other's neighbour on exactly one side.

#include "samplefiles/FolderListing.h"
#include "samplefiles/FolderNeighbours.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(FolderStepPlatform, TheOtherSampleFileIsANeighbourOnExactlyOneSide)
{
  wavtest::TempDir dir;
  ASSERT_FALSE(dir.Path().empty());
  const std::string a = dir.Write("a.wav", {1});
  const std::string b = dir.Write("b.OGG", {1});
  dir.Write("notes.txt", {1});
  dir.Write("kit.sfz", {1});

  const FolderNeighbours fromA = FindFolderNeighbours(a);
  EXPECT_NE(fromA.previous.empty(), fromA.next.empty());
  EXPECT_EQ(fromA.previous + fromA.next, b) << "joined with the platform's separator";
  const FolderNeighbours fromB = FindFolderNeighbours(b);
  EXPECT_EQ(fromB.previous + fromB.next, a);
  EXPECT_EQ(fromA.next.empty(), fromB.previous.empty()) << "the two readings agree on the order";
}

TEST(FolderStepPlatform, ListingNamesEveryEntryAndStopsWhenAsked)
{
  wavtest::TempDir dir;
  dir.Write("one.wav", {1});
  dir.Write("two.wav", {1});
  std::vector<std::string> names;
  ASSERT_TRUE(ListFolder(dir.Path(),
                         [&](std::string_view name)
                         {
                           names.emplace_back(name);
                           return true;
                         }));
  EXPECT_NE(std::find(names.begin(), names.end(), "one.wav"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "two.wav"), names.end());

  int visited = 0;
  ListFolder(dir.Path(), [&](std::string_view) { return ++visited < 1; });
  EXPECT_EQ(visited, 1);
  EXPECT_FALSE(ListFolder(dir.In("absent"), [](std::string_view) { return true; }));
  EXPECT_EQ(FindFolderNeighbours(dir.In("absent") + kPathSeparator + "a.wav").previous, "");
}
