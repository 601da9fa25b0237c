// The search for samples that moved, on real folders in a temp folder.

#include "samplefiles/SampleLocator.h"
#include "samplefiles/PathCase.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace
{
namespace fs = std::filesystem;

class SampleLocatorTest : public ::testing::Test
{
protected:
  // Writes a small file at the relative path name; returns its full path.
  std::string File(const std::string& name)
  {
    const fs::path path = fs::path(mDir.Path()) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "RIFF";
    return path.string();
  }

  std::string In(const std::string& name) const { return mDir.Path() + "/" + name; }

  wavtest::TempDir mDir;
};
} // namespace

TEST_F(SampleLocatorTest, APathThatOpensIsItselfAndNothingIsFoundWithoutAFileOfThatName)
{
  const std::string here = File("kit/a.wav");
  EXPECT_EQ(LocateSample(here, {}), here);
  EXPECT_EQ(LocateSample(In("kit/none.wav"), {In("kit"), {In("")}, {In("")}}), "");
  EXPECT_EQ(LocateSample("", {In("kit"), {}, {}}), "");
  EXPECT_EQ(LocateSample(In("kit"), {In(""), {}, {}}), ""); // a folder is no sample
}

TEST_F(SampleLocatorTest, AnotherLetterCaseIsFoundComponentByComponentWhereNamesKeepTheirCase)
{
  if (!kFileNamesKeepCase) GTEST_SKIP() << "file names ignore case here";
  const std::string hit = File("Kit/Snare/Hit 1.WAV");
  EXPECT_EQ(LocateSample(In("kit/SNARE/hit 1.wav"), {}), hit);
  EXPECT_EQ(LocateSample(In("kit/snare/../Snare/./HIT 1.wav"), {}), In("Kit/Snare/../Snare/./Hit 1.WAV"));
  // Two folders that differ in case only: the one that holds the file is taken, though it sorts after
  // the other.
  File("DRUMS/other.wav");
  const std::string tom = File("Drums/tom.wav");
  EXPECT_EQ(LocateSample(In("drums/Tom.wav"), {}), tom);
  // Relative paths start at the working folder.
  const fs::path before = fs::current_path();
  fs::current_path(mDir.Path());
  EXPECT_EQ(LocateSample("kit/snare/HIT 1.wav", {}), "Kit/Snare/Hit 1.WAV");
  fs::current_path(before);
}

TEST_F(SampleLocatorTest, TheSameNameWithTheMostFolderNamesInCommonWins)
{
  File("new/Other/hit.wav");
  File("new/Snare/hit.wav");
  const std::string best = File("new/deeper/Kit/Snare/hit.wav");
  File("new/Kit/Snare/x/hit.wav");
  const SampleSearchHints hints{In("new"), {}, {}};
  EXPECT_EQ(LocateSample("/old/library/Kit/Snare/hit.wav", hints), best);
  // Names and folder names are compared without case; the same case wins a tie.
  File("case/A/HIT.wav");
  const std::string same = File("case/B/hit.wav");
  EXPECT_EQ(LocateSample("/gone/hit.wav", {In("case"), {}, {}}), same);
  EXPECT_EQ(LocateSample("/gone/a/Hit.wav", {In("case"), {}, {}}), In("case/A/HIT.wav"));
}

TEST_F(SampleLocatorTest, HintFoldersAreSearchedInOrderAndATieGoesToTheFirst)
{
  const std::string inSfz = File("sfz/kick.wav");
  const std::string beside = File("slot/kick.wav");
  const std::string onPath = File("path/lib/kick.wav");
  EXPECT_EQ(LocateSample("/x/kick.wav", {In("sfz"), {In("slot")}, {In("path")}}), inSfz);
  EXPECT_EQ(LocateSample("/x/kick.wav", {"", {In("nowhere"), In("slot")}, {In("path")}}), beside);
  EXPECT_EQ(LocateSample("/x/kick.wav", {"", {}, {In("path")}}), onPath);
  EXPECT_EQ(LocateSample("/x/lib/kick.wav", {In("sfz"), {In("slot")}, {In("path")}}), onPath);
}

TEST_F(SampleLocatorTest, TheSearchKeepsToItsDepthAndEntryBoundsAndEntersNoFolderLinks)
{
  const std::string deep = File("root/1/2/3/deep.wav");
  const SampleSearchHints hints{In("root"), {}, {}};
  SampleSearchBounds bounds;
  bounds.maxDepth = 3;
  EXPECT_EQ(LocateSample("/x/deep.wav", hints, bounds), deep);
  bounds.maxDepth = 2;
  EXPECT_EQ(LocateSample("/x/deep.wav", hints, bounds), "");

  for (int i = 0; i < 20; ++i)
    File("wide/f" + std::to_string(i) + ".txt");
  const std::string last = File("wide/zz.wav");
  // The letter-case lookup lists the temp folder (three entries with "." and ".."), the search the 23
  // entries of wide/.
  bounds = SampleSearchBounds();
  bounds.maxEntries = 10;
  EXPECT_EQ(LocateSample(In("gone/zz.wav"), {In("wide"), {}, {}}, bounds), "");
  bounds.maxEntries = 30;
  EXPECT_EQ(LocateSample(In("gone/zz.wav"), {In("wide"), {}, {}}, bounds), last);

  // A link back to the root would make the search endless; a file reached only through a link is not
  // found.
  File("loop/a/x.txt");
  fs::create_directory_symlink(In("loop"), In("loop/a/back"));
  File("elsewhere/linked.wav");
  fs::create_directory_symlink(In("elsewhere"), In("loop/link"));
  EXPECT_EQ(LocateSample("/x/linked.wav", {In("loop"), {}, {}}), "");
}

TEST(SampleSearchPath, TheListSplitsAtItsSeparatorAndComesFromTheEnvironment)
{
  EXPECT_EQ(SplitSearchPathList("/a:/b c::/d:", ':'), (std::vector<std::string>{"/a", "/b c", "/d"}));
  EXPECT_EQ(SplitSearchPathList("C:\\x;D:\\y", ';'), (std::vector<std::string>{"C:\\x", "D:\\y"}));
  EXPECT_TRUE(SplitSearchPathList("", ':').empty());

  const char* before = std::getenv(kSampleSearchPathVariable);
  const std::string saved = before ? before : "";
  setenv(kSampleSearchPathVariable, "/one:/two", 1);
  EXPECT_EQ(SampleSearchFoldersFromEnvironment(), (std::vector<std::string>{"/one", "/two"}));
  unsetenv(kSampleSearchPathVariable);
  EXPECT_TRUE(SampleSearchFoldersFromEnvironment().empty());
  if (before) setenv(kSampleSearchPathVariable, saved.c_str(), 1);
}
