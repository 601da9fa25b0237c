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

} // namespace

TEST(SfzPaths, DefaultPathAndSampleAreJoinedToTheSfzFolderUnlessAbsolute)
{
  SfzFolder dir;
  struct Case
  {
    std::string wav;  // the file, relative to the folder
    std::string text; // the SFZ file in x/y/
  };
  const Case cases[] = {
      {"x/y/smp/sub/a.wav", "default_path=smp\\\nsample=sub\\a.wav\n"},          // backslashes
      {"x/y/smpa.wav", "default_path=smp\nsample=a.wav\n"},                      // joined without a separator
      {"lib/a.wav", "default_path=" + dir.Path() + "/lib/\nsample=a.wav\n"},     // absolute default path
      {"abs/b.wav", "default_path=smp/\nsample=" + dir.Path() + "/abs/b.wav\n"}, // absolute sample
  };
  for (const Case& c : cases)
  {
    const std::string wav = dir.Wav(c.wav);
    const SfzSlotResult r = Slot0(dir, c.text);
    EXPECT_EQ(r.action, Action::kLoad) << c.text;
    EXPECT_EQ(r.samplePath, wav) << c.text;
  }
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
