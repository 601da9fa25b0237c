// Sample paths of SFZ regions: default_path, relative and absolute names, and the paths refused.

#include "SfzTestFiles.h"
#include "samplefiles/SfzLimits.h"

#include <gtest/gtest.h>
#include <unistd.h>

using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
// Runs the reader for slot 0 on an SFZ file with text, written into dir.
SfzSlotResult Slot0(const SfzFolder& dir, const std::string& text)
{
  return ReadSfzSlot(dir.Text("x/y/inst.sfz", text), 0, false);
}

// Changes the working folder for the life of the object.
class WorkingFolder
{
public:
  explicit WorkingFolder(const std::string& path) : mOld(std::filesystem::current_path())
  {
    std::filesystem::current_path(path);
  }
  ~WorkingFolder() { std::filesystem::current_path(mOld); }

private:
  std::filesystem::path mOld;
};
} // namespace

TEST(SfzPaths, DefaultPathAndSampleWithBackslashesAreJoinedToTheSfzFolder)
{
  SfzFolder dir;
  const std::string wav = dir.Wav("x/y/smp/sub/a.wav");
  const SfzSlotResult r = Slot0(dir, "default_path=smp\\\nsample=sub\\a.wav\n");
  ASSERT_EQ(r.action, Action::kLoad);
  EXPECT_EQ(r.samplePath, dir.Path() + "/x/y/smp/sub/a.wav");
  EXPECT_EQ(r.samplePath, wav);
}

TEST(SfzPaths, DefaultPathIsJoinedWithoutASeparator)
{
  SfzFolder dir;
  dir.Wav("x/y/smpa.wav");
  const SfzSlotResult r = Slot0(dir, "default_path=smp\nsample=a.wav\n");
  EXPECT_EQ(r.samplePath, dir.Path() + "/x/y/smpa.wav");
}

TEST(SfzPaths, AbsoluteDefaultPathReplacesTheSfzFolder)
{
  SfzFolder dir;
  dir.Wav("lib/a.wav");
  const SfzSlotResult r = Slot0(dir, "default_path=" + dir.Path() + "/lib/\nsample=a.wav\n");
  EXPECT_EQ(r.samplePath, dir.Path() + "/lib/a.wav");
}

TEST(SfzPaths, AbsoluteSampleIgnoresTheDefaultPath)
{
  SfzFolder dir;
  const std::string wav = dir.Wav("lib/a.wav");
  const SfzSlotResult r = Slot0(dir, "default_path=nowhere/\nsample=" + wav + "\n");
  EXPECT_EQ(r.samplePath, wav);
}

TEST(SfzPaths, SfzFileNamedWithoutFolderFindsSamplesBesideIt)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Text("bare.sfz", "sample=a.wav\n");
  const WorkingFolder here(dir.Path());
  const SfzSlotResult r = ReadSfzSlot("bare.sfz", 0, false);
  ASSERT_EQ(r.action, Action::kLoad);
  EXPECT_EQ(r.samplePath, "a.wav");
}

TEST(SfzPaths, SamplePathLongerThanThePathFieldIsRefusedAndWarnedInFull)
{
  SfzFolder dir;
  // Folders of 200 characters bring the full path to exactly the field's size limit and one past it.
  const std::string folder = dir.Path() + "/x/y/";
  std::string relative;
  while (folder.size() + relative.size() + 200 + 1 + 5 < kSfzMaxPathBytes - 1)
    relative += std::string(200, 'd') + "/";
  const size_t nameLength = kSfzMaxPathBytes - 1 - folder.size() - relative.size() - 4;
  const std::string fits = relative + std::string(nameLength, 'n') + ".wav";
  const std::string tooLong = relative + std::string(nameLength + 1, 'n') + ".wav";
  ASSERT_EQ((folder + fits).size(), kSfzMaxPathBytes - 1);
  dir.Wav("x/y/" + fits);
  dir.Wav("x/y/" + tooLong);

  const SfzSlotResult accepted = Slot0(dir, "sample=" + fits + "\n");
  EXPECT_EQ(accepted.action, Action::kLoad);
  EXPECT_EQ(accepted.samplePath, folder + fits);

  const SfzSlotResult refused = Slot0(dir, "sample=" + tooLong + "\n");
  EXPECT_EQ(refused.action, Action::kNothing);
  EXPECT_TRUE(refused.showWarning);
  EXPECT_EQ(refused.warningText, "Wrong Sample in SFZ file: " + folder + tooLong);
}

TEST(SfzPaths, VeryLongLinesAreReadWhole)
{
  SfzFolder dir;
  dir.Wav("x/y/a.wav");
  const std::string hugeName(200000, 'q');
  const SfzSlotResult r = Slot0(dir, "// " + std::string(300000, '-') + "\n<region>\nsample=" + hugeName +
                                         "\nlokey=" + std::string(100000, ' ') + "\nsample=a.wav\n");
  EXPECT_TRUE(r.showWarning);
  EXPECT_EQ(r.warningText.size(), std::string("Wrong Sample in SFZ file: ").size() +
                                      (dir.Path() + "/x/y/").size() + hugeName.size());
  ASSERT_EQ(r.action, Action::kLoad);
  EXPECT_EQ(r.samplePath, dir.Path() + "/x/y/a.wav");
}

TEST(SfzPaths, SampleNamingAnInstrumentFileOrFolderIsRefused)
{
  SfzFolder dir;
  dir.Wav("x/y/noext");
  dir.Text("x/y/other.SFZ", "sample=inst.sfz\n");
  std::filesystem::create_directories(dir.Path() + "/x/y/folder.wav");
  // Each of these would come back to the loading flow as an instrument file, or is no file at all.
  for (const std::string name : {"inst.sfz", "other.SFZ", "noext", "folder.wav", ""})
  {
    const SfzSlotResult r = Slot0(dir, "sample=" + name + "\n");
    EXPECT_EQ(r.action, Action::kNothing) << name;
    EXPECT_TRUE(r.showWarning) << name;
  }
}

TEST(SfzPaths, TextAfterANulByteIsNotPartOfTheLine)
{
  SfzFolder dir;
  dir.Wav("x/y/a.wav");
  const SfzSlotResult r = Slot0(dir, std::string("sample=a.wav\0junk\nlokey=60\0 9\n", 30));
  ASSERT_EQ(r.action, Action::kLoad);
  EXPECT_EQ(r.samplePath, dir.Path() + "/x/y/a.wav");
  EXPECT_EQ(r.params[1], 60);
}
