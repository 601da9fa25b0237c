// The line-by-line reader: which region reaches which slot (region counting, headers, clearing, the
// warning) and the sample paths of regions: default_path, relative and absolute names, and the paths
// refused.

#include "SfzTestFiles.h"
#include "engine/EngineConstants.h"
#include "samplefiles/SfzLimits.h"

#include <gtest/gtest.h>
#include <unistd.h>

using sfztest::ReadAllSlots;
using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
std::string Regions(int count, const std::string& prefix = "r")
{
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "<region>\nsample=" + prefix + std::to_string(i) + ".wav\n";
  return text;
}

void WriteWavs(const SfzFolder& dir, int count, const std::string& prefix = "r")
{
  for (int i = 0; i < count; ++i)
    dir.Wav(prefix + std::to_string(i) + ".wav");
}
} // namespace

TEST(SfzRegions, SampleLineWithoutHeaderLoadsSlotZeroAndClearsTheOthers)
{
  SfzFolder dir;
  const std::string wav = dir.Wav("a.wav");
  const auto results = ReadAllSlots(dir.Text("one.sfz", "sample=a.wav"));
  EXPECT_EQ(results[0].action, Action::kLoad);
  EXPECT_EQ(results[0].samplePath, wav);
  for (int slot = 1; slot < kSfzSlots; ++slot)
    EXPECT_EQ(results[slot].action, Action::kClear) << "slot " << slot;
  for (const SfzSlotResult& r : results)
    EXPECT_FALSE(r.showWarning);
}

TEST(SfzRegions, TwoRegionsLoadTwoSlotsAndClearTheRest)
{
  SfzFolder dir;
  WriteWavs(dir, 2);
  const auto results = ReadAllSlots(dir.Text("two.sfz", Regions(2)));
  EXPECT_EQ(results[0].action, Action::kLoad);
  EXPECT_EQ(results[0].samplePath, dir.Path() + "/r0.wav");
  EXPECT_EQ(results[1].action, Action::kLoad);
  EXPECT_EQ(results[1].samplePath, dir.Path() + "/r1.wav");
  for (int slot = 2; slot < kSfzSlots; ++slot)
    EXPECT_EQ(results[slot].action, Action::kClear) << "slot " << slot;
}

TEST(SfzRegions, SevenRegionsFillTheFiveSlotsAndTheRestAreNeverRead)
{
  SfzFolder dir;
  WriteWavs(dir, 5);
  // Regions 5 and 6 name missing files: reading them would ask for a warning.
  const auto results = ReadAllSlots(dir.Text("seven.sfz", Regions(7)));
  for (int slot = 0; slot < kSfzSlots; ++slot)
  {
    EXPECT_EQ(results[slot].action, Action::kLoad) << "slot " << slot;
    EXPECT_EQ(results[slot].samplePath, dir.Path() + "/r" + std::to_string(slot) + ".wav");
    EXPECT_FALSE(results[slot].showWarning);
  }
}

TEST(SfzRegions, GroupHeaderClosesTheRegionAndMakesFollowingOpcodesFileWide)
{
  SfzFolder dir;
  WriteWavs(dir, 2);
  const auto results = ReadAllSlots(dir.Text("group.sfz", "<region>\nsample=r0.wav\nlokey=40\n"
                                                          "<group>\nlokey=36\n"
                                                          "<region>\nsample=r1.wav\n"));
  ASSERT_EQ(results[0].action, Action::kLoad);
  EXPECT_EQ(results[0].params[kLowNote], 40);
  ASSERT_EQ(results[1].action, Action::kLoad);
  EXPECT_EQ(results[1].params[kLowNote], 36);
  EXPECT_EQ(results[2].action, Action::kClear);
}

TEST(SfzRegions, CommentWithSamplePendingEndsTheRegionThere)
{
  SfzFolder dir;
  WriteWavs(dir, 2);
  const auto results = ReadAllSlots(dir.Text("comment.sfz", "<region>\nsample=r0.wav\n// note\nlokey=50\n"
                                                            "<region>\nsample=r1.wav\n"));
  // The comment closed region 0, and slot 0's run stopped there; lokey after it is file-wide and
  // reaches region 1.
  EXPECT_EQ(results[0].samplePath, dir.Path() + "/r0.wav");
  EXPECT_EQ(results[0].params[kLowNote], kSfzNotGiven);
  ASSERT_EQ(results[1].action, Action::kLoad);
  EXPECT_EQ(results[1].samplePath, dir.Path() + "/r1.wav");
  EXPECT_EQ(results[1].params[kLowNote], 50);
  EXPECT_EQ(results[2].action, Action::kClear);
}

TEST(SfzRegions, MissingSampleWarnsFromItsSlotAndTheNextRegionTakesItsPlace)
{
  SfzFolder dir;
  WriteWavs(dir, 4);
  const std::string sfz = dir.Text("missing.sfz", "<region>\nsample=r0.wav\n<region>\nsample=r1.wav\n"
                                                  "<region>\nsample=gone.wav\nlokey=70\n"
                                                  "<region>\nsample=r2.wav\n<region>\nsample=r3.wav\n");
  const auto results = ReadAllSlots(sfz);
  for (int slot = 0; slot < kSfzSlots; ++slot)
    EXPECT_EQ(results[slot].showWarning, slot == 2) << "slot " << slot;
  EXPECT_EQ(results[2].warningText, "Wrong Sample in SFZ file: " + dir.Path() + "/gone.wav");
  ASSERT_EQ(results[2].action, Action::kLoad);
  EXPECT_EQ(results[2].samplePath, dir.Path() + "/r2.wav");
  // The values of the region whose sample failed carry over into the one that took its place.
  EXPECT_EQ(results[2].params[kLowNote], 70);
  EXPECT_EQ(results[3].samplePath, dir.Path() + "/r3.wav");
  EXPECT_EQ(results[4].action, Action::kClear);

  // With the slot's flag already set, the run asks for no warning and still loads.
  const SfzSlotResult flagged = ReadSfzSlotByLines(sfz, 2, true);
  EXPECT_FALSE(flagged.showWarning);
  EXPECT_EQ(flagged.samplePath, dir.Path() + "/r2.wav");
}

TEST(SfzRegions, TwoMissingSamplesInOneRegionWarnOnce)
{
  SfzFolder dir;
  const SfzSlotResult r =
      ReadSfzSlotByLines(dir.Text("twice.sfz", "<region>\nsample=first.wav\nsample=second.wav\n"), 0, false);
  EXPECT_TRUE(r.showWarning);
  EXPECT_EQ(r.warningText, "Wrong Sample in SFZ file: " + dir.Path() + "/first.wav");
  EXPECT_EQ(r.action, Action::kNothing);
}

namespace
{
// Runs the reader for slot 0 on an SFZ file with text, written into dir.
SfzSlotResult Slot0(const SfzFolder& dir, const std::string& text)
{
  return ReadSfzSlotByLines(dir.Text("x/y/inst.sfz", text), 0, false);
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
