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

TEST(SlotFileType, ExtensionsChooseSfzThenWavThenOggAndAnEmptyOneIsSfz)
{
  EXPECT_EQ(TypeOfExtension("sfz"), SlotFileType::kSfz);
  EXPECT_EQ(TypeOfExtension(""), SlotFileType::kSfz);
  EXPECT_EQ(TypeOfExtension("S"), SlotFileType::kSfz);
  EXPECT_EQ(TypeOfExtension("WAV"), SlotFileType::kWav);
  EXPECT_EQ(TypeOfExtension("wa"), SlotFileType::kWav);
  EXPECT_EQ(TypeOfExtension("og"), SlotFileType::kOgg);
  EXPECT_EQ(TypeOfExtension("OGG"), SlotFileType::kOgg);
  EXPECT_EQ(TypeOfExtension("flac"), SlotFileType::kOther);
  EXPECT_EQ(TypeOfExtension("wave"), SlotFileType::kOther);
}

TEST(SampleFileNames, PathPartsFollowTheLastDotAndTheLastSeparator)
{
  EXPECT_EQ(FileExtension("/a/b/kick.Wav"), "Wav");
  EXPECT_EQ(FileExtension("/a/b/kick"), "");
  EXPECT_EQ(FileExtension("/a/b/kick."), "");
  EXPECT_EQ(FileExtension("/a.d/kick"), "d/kick");
  EXPECT_EQ(FileExtension("..."), "");
  EXPECT_EQ(FileNameOf("/a/b/kick.wav"), "kick.wav");
  EXPECT_EQ(FileNameOf("kick.wav"), "kick.wav");
  EXPECT_EQ(FolderOf("/a/b/kick.wav"), "/a/b");
  EXPECT_EQ(FolderOf("kick.wav"), "");
  EXPECT_EQ(FolderOf("/kick.wav"), "");
}

TEST(SampleFileNames, NamesLongerThanTwentyCharactersShowTheirFirstNineteen)
{
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrs"); // 26 -> 19
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnop.wav"), "abcdefghijklmnop.wav");      // 20 stays whole
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnopq.wav"), "abcdefghijklmnopq.w");      // 21 -> 19
  EXPECT_EQ(DisplayNameOf("plain.wav"), "plain.wav");
}

TEST(SlotFile, StartsAsAnEmptySlotAndRefusesTextsThatDoNotFit)
{
  SlotFile file;
  EXPECT_STREQ(file.Path(), "...");
  EXPECT_STREQ(file.DisplayName(), "...");
  EXPECT_STREQ(file.PreviousPath(), "");
  EXPECT_STREQ(file.Extension(), "");
  EXPECT_FALSE(file.TakeChanged());

  const std::string fits(kSlotPathBytes - 1, 'a');
  const std::string tooLong(kSlotPathBytes, 'b');
  EXPECT_TRUE(file.SetPath(fits.c_str()));
  EXPECT_FALSE(file.SetPath(tooLong.c_str()));
  EXPECT_EQ(std::string(file.Path()), fits);
  EXPECT_FALSE(file.SetNextPath(tooLong.c_str()));
  EXPECT_STREQ(file.NextPath(), "");
  EXPECT_FALSE(file.SetDisplayName(nullptr));

  file.MarkChanged();
  EXPECT_TRUE(file.TakeChanged());
  EXPECT_FALSE(file.TakeChanged());
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

TEST(FolderNeighbours, AFileNotInItsFolderGetsTheLastSampleFileAsPreviousAndNoNext)
{
  wavtest::TempDir dir;
  for (const char* name : {"a.wav", "b.ogg", "c.wav"})
    dir.Write(name, {1});
  const std::vector<std::string> order = SampleFilesInListingOrder(dir.Path());
  // The name is compared exactly: "A.WAV" is not "a.wav".
  for (const char* missing : {"gone.wav", "A.WAV", "kit.sfz"})
  {
    const FolderNeighbours n = FindFolderNeighbours(dir.Path() + "/" + missing);
    EXPECT_EQ(n.previous, dir.Path() + "/" + order.back()) << missing;
    EXPECT_EQ(n.next, "") << missing;
  }
}

TEST(FolderNeighbours, AFolderThatCannotBeListedGivesNoNeighbours)
{
  wavtest::TempDir dir;
  const FolderNeighbours n = FindFolderNeighbours(dir.Path() + "/absent/a.wav");
  EXPECT_EQ(n.previous, "");
  EXPECT_EQ(n.next, "");
  const FolderNeighbours bare = FindFolderNeighbours("a.wav");
  EXPECT_EQ(bare.previous, "");
  EXPECT_EQ(bare.next, "");
}
