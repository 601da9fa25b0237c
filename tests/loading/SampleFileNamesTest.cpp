// The text rules of the loading flow and the folder neighbours, on real folders made by the tests.

#include "samplefiles/SampleFileNames.h"
#include "samplefiles/FolderNeighbours.h"
#include "samplefiles/SampleFileAccess.h"
#include "samplefiles/SlotFile.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

TEST(SampleFileNames, NamesLongerThanTwentyCharactersShowTheirFirstNineteen)
{
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrs"); // 26 -> 19
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnop.wav"), "abcdefghijklmnop.wav");      // 20 stays whole
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnopq.wav"), "abcdefghijklmnopq.w");      // 21 -> 19
  EXPECT_EQ(DisplayNameOf("plain.wav"), "plain.wav");
}

namespace
{
// The sample files of a folder as the system lists them: the independent reading of the rule.
std::vector<std::string> SampleFilesInListingOrder(const std::string& folder)
{
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* e = readdir(dir))
  {
    std::string n = e->d_name;
    std::string lower;
    for (char c : n)
      lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (lower.size() >= 4 &&
        (lower.compare(lower.size() - 4, 4, ".wav") == 0 || lower.compare(lower.size() - 4, 4, ".ogg") == 0))
      names.push_back(n);
  }
  closedir(dir);
  return names;
}
} // namespace

TEST(FolderNeighbours, PreviousAndNextAreTheSampleFilesListedAroundTheCurrentOne)
{
  wavtest::TempDir dir;
  for (const char* name : {"a.wav", "b.ogg", "notes.txt", "c.WAV", "kit.sfz", "d.Ogg", "e.wave", "f.wav"})
    dir.Write(name, {1, 2, 3});
  const std::vector<std::string> order = SampleFilesInListingOrder(dir.Path());
  ASSERT_EQ(order.size(), 5u);
  for (size_t i = 0; i < order.size(); ++i)
  {
    SCOPED_TRACE(order[i]);
    const FolderNeighbours n = FindFolderNeighbours(dir.Path() + "/" + order[i]);
    EXPECT_EQ(n.previous, i == 0 ? std::string() : dir.Path() + "/" + order[i - 1]);
    EXPECT_EQ(n.next, i + 1 == order.size() ? std::string() : dir.Path() + "/" + order[i + 1]);
  }
}
