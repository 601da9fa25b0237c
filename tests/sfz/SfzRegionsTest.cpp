// Which region reaches which slot: region counting, headers, clearing, sample paths and the warning.

#include "SfzTestFiles.h"
#include "samplefiles/SfzLimits.h"

#include <gtest/gtest.h>
#include <unistd.h>

using sfztest::ReadAllSlots;
using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
constexpr int kLowNote = 1;

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

TEST(SfzRegions, CommentBeforeTheFirstSampleOnlyBecomesTheHeader)
{
  SfzFolder dir;
  WriteWavs(dir, 2);
  // No sample is pending at the comment, so nothing is closed; the next "<region>" follows a header
  // that is no region and closes nothing either: both samples land in region 0, the last one wins.
  const auto results = ReadAllSlots(dir.Text("comment.sfz", "<region>\n// note\nsample=r0.wav\nlokey=50\n"
                                                            "<region>\nsample=r1.wav\n"));
  ASSERT_EQ(results[0].action, Action::kLoad);
  EXPECT_EQ(results[0].samplePath, dir.Path() + "/r1.wav");
  EXPECT_EQ(results[0].params[kLowNote], 50);
  for (int slot = 1; slot < kSfzSlots; ++slot)
    EXPECT_EQ(results[slot].action, Action::kClear) << "slot " << slot;
}

TEST(SfzRegions, SlotWhoseRegionEndsUnderAnotherHeaderKeepsWhatItHad)
{
  SfzFolder dir;
  WriteWavs(dir, 1);
  // The file ends under "<group>" with region 0 closed; region 1 never had a "<region>" header.
  const auto results = ReadAllSlots(dir.Text("tail.sfz", "<region>\nsample=r0.wav\n<group>\nlokey=3\n"));
  EXPECT_EQ(results[0].action, Action::kLoad);
  EXPECT_EQ(results[1].action, Action::kNothing);
  EXPECT_EQ(results[2].action, Action::kClear);
}

TEST(SfzRegions, SamplePathCarriesIntoARegionWithoutSampleLine)
{
  SfzFolder dir;
  WriteWavs(dir, 1);
  const auto results = ReadAllSlots(dir.Text("carry.sfz", "<region>\nsample=r0.wav\n<region>\nlokey=70\n"));
  ASSERT_EQ(results[1].action, Action::kLoad);
  EXPECT_EQ(results[1].samplePath, dir.Path() + "/r0.wav");
  EXPECT_EQ(results[1].params[kLowNote], 70);
  EXPECT_EQ(results[0].params[kLowNote], kSfzNotGiven);
}

TEST(SfzRegions, HeaderAndOpcodeOnOneLineComeToNothing)
{
  SfzFolder dir;
  WriteWavs(dir, 1);
  const auto results = ReadAllSlots(dir.Text("inline.sfz", "<region> sample=r0.wav\n"));
  EXPECT_EQ(results[0].action, Action::kNothing);
  EXPECT_EQ(results[1].action, Action::kClear);
}

TEST(SfzRegions, CrLfLineEndingsReadLikeLineFeeds)
{
  SfzFolder dir;
  WriteWavs(dir, 2);
  const auto results = ReadAllSlots(dir.Text(
      "crlf.sfz", "<group>\r\nlokey=30\r\n<region>  \r\nsample=r0.wav\t\r\n<region>\r\nsample=r1.wav"));
  ASSERT_EQ(results[0].action, Action::kLoad);
  EXPECT_EQ(results[0].samplePath, dir.Path() + "/r0.wav");
  EXPECT_EQ(results[0].params[kLowNote], 30);
  ASSERT_EQ(results[1].action, Action::kLoad);
  EXPECT_EQ(results[1].samplePath, dir.Path() + "/r1.wav");
  EXPECT_EQ(results[2].action, Action::kClear);
}

TEST(SfzRegions, UpperCaseAndAbbreviatedRegionHeadersCount)
{
  SfzFolder dir;
  WriteWavs(dir, 2);
  const auto results = ReadAllSlots(dir.Text("case.sfz", "<REGION>\nsample=r0.wav\n<reg\nsample=r1.wav\n"));
  EXPECT_EQ(results[1].samplePath, dir.Path() + "/r1.wav");
  // Leading white space is kept, so " <region>" is some other header.
  const auto indented = ReadAllSlots(dir.Text("indent.sfz", " <region>\nsample=r0.wav\n"));
  EXPECT_EQ(indented[0].action, Action::kNothing);
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
  const SfzSlotResult flagged = ReadSfzSlot(sfz, 2, true);
  EXPECT_FALSE(flagged.showWarning);
  EXPECT_EQ(flagged.samplePath, dir.Path() + "/r2.wav");
}

TEST(SfzRegions, TwoMissingSamplesInOneRegionWarnOnce)
{
  SfzFolder dir;
  const SfzSlotResult r =
      ReadSfzSlot(dir.Text("twice.sfz", "<region>\nsample=first.wav\nsample=second.wav\n"), 0, false);
  EXPECT_TRUE(r.showWarning);
  EXPECT_EQ(r.warningText, "Wrong Sample in SFZ file: " + dir.Path() + "/first.wav");
  EXPECT_EQ(r.action, Action::kNothing);
}

TEST(SfzRegions, UnreadableFileChangesNoSlot)
{
  SfzFolder dir;
  for (const std::string& path : {dir.Path() + "/absent.sfz", dir.Path(), std::string("...")})
    for (const SfzSlotResult& r : ReadAllSlots(path))
    {
      EXPECT_EQ(r.action, Action::kNothing) << path;
      EXPECT_FALSE(r.showWarning);
    }
  EXPECT_EQ(ReadSfzSlot(dir.Text("ok.sfz", ""), 5, false).action, Action::kNothing);
  EXPECT_EQ(ReadSfzSlot(dir.Text("ok.sfz", ""), -1, false).action, Action::kNothing);
}

TEST(SfzRegions, EmptyFileClearsEverySlotButTheFirst)
{
  SfzFolder dir;
  const auto results = ReadAllSlots(dir.Text("empty.sfz", "\n\n   \n"));
  EXPECT_EQ(results[0].action, Action::kNothing);
  for (int slot = 1; slot < kSfzSlots; ++slot)
    EXPECT_EQ(results[slot].action, Action::kClear);
}
