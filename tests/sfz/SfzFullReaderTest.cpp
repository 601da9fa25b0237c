// The full reader: SFZ text as instruments are written (headers and opcodes anywhere on a line, paths
// with spaces, comments, line ends), which regions reach which slot, and missing samples.

#include "SfzTestFiles.h"
#include "engine/EngineConstants.h"
#include "samplefiles/SfzLimits.h"

#include <gtest/gtest.h>

using sfztest::ReadAllSlotsFull;
using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

TEST(SfzFullSyntax, HeadersAndOpcodesShareLinesAndPathValuesRunToTheNextOpcodeOrTheLineEnd)
{
  SfzFolder dir;
  const std::string kick = dir.Wav("kick soft (1).wav");
  const std::string snare = dir.Wav("snare  two.wav");
  const std::string hat = dir.Wav("hat.wav");
  const std::string tom = dir.Wav("sub/tom 1.wav");
  const auto r =
      ReadAllSlotsFull(dir.Text("kit.sfz", "<region> sample=kick soft (1).wav lokey=36 hikey=40\r\n"
                                           "<region>sample=snare  two.wav \t pan=-20<region>\r\n"
                                           "\t\t<region>\tsample=hat.wav   \r\n"
                                           "   pitch_keycenter=50\tvolume=-6 <region> sample= "
                                           "sub\\tom 1.wav <group>"));
  ASSERT_EQ(r[0].action, Action::kLoad);
  EXPECT_EQ(r[0].samplePath, kick);
  EXPECT_EQ(r[0].params[kLowNote], 36);
  EXPECT_EQ(r[0].params[kHighNote], 40);
  // "pan=-20<region>" is one word: a number followed by other text reads as the number.
  ASSERT_EQ(r[1].action, Action::kLoad);
  EXPECT_EQ(r[1].samplePath, snare);
  EXPECT_EQ(r[1].params[kPan], -20);
  ASSERT_EQ(r[2].action, Action::kLoad);
  EXPECT_EQ(r[2].samplePath, hat);
  EXPECT_EQ(r[2].params[kRootNote], 50);
  EXPECT_EQ(r[2].params[kVolume], -6);
  ASSERT_EQ(r[3].action, Action::kLoad);
  EXPECT_EQ(r[3].samplePath, tom);
  EXPECT_EQ(r[4].action, Action::kClear);
}

TEST(SfzFullSyntax, CommentsAreTakenOutWhereverTheyStand)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Wav("b.wav");
  dir.Wav("c.wav");
  const auto r =
      ReadAllSlotsFull(dir.Text("comments.sfz", "// <region> sample=c.wav\n"
                                                "<region> sample=a.wav // lokey=10\n"
                                                "/* <region> sample=c.wav\n"
                                                "   lokey=20 */ <region> sample=b.wav /* x */ hikey=90\n"
                                                "<region> sample=c.wav /* never closed\n"
                                                "<region> sample=a.wav"));
  ASSERT_EQ(r[0].action, Action::kLoad);
  EXPECT_EQ(r[0].samplePath, dir.Path() + "/a.wav");
  EXPECT_EQ(r[0].params[kLowNote], 0);
  ASSERT_EQ(r[1].action, Action::kLoad);
  EXPECT_EQ(r[1].samplePath, dir.Path() + "/b.wav");
  EXPECT_EQ(r[1].params[kHighNote], 90);
  EXPECT_EQ(r[2].samplePath, dir.Path() + "/c.wav");
  EXPECT_EQ(r[3].action, Action::kClear);
}

TEST(SfzFullSyntax, SamplePathsJoinTheInstrumentFolderDefaultPathAndNameWithBackslashesAsSlashes)
{
  SfzFolder dir;
  struct Case
  {
    std::string wav;  // the file, relative to the folder
    std::string text; // the instrument in x/y/
  };
  const Case cases[] = {
      {"x/y/smp/sub/a b.wav", "<control> default_path=smp\\ <region> sample=sub\\a b.wav"},
      {"x/y/smpa.wav", "<control> default_path=smp <region> sample=a.wav"},
      {"lib/a.wav", "<control> default_path=" + dir.Path() + "/lib/ <region> sample=a.wav"},
      {"abs/b.wav", "<control> default_path=smp/ <region> sample=" + dir.Path() + "/abs/b.wav"},
      {"x/y/later.wav", "<region> sample=later.wav <control> default_path=smp/"}, // too late for the region
  };
  for (const Case& c : cases)
  {
    const std::string wav = dir.Wav(c.wav);
    const SfzSlotResult r = ReadSfzSlotFull(dir.Text("x/y/inst.sfz", c.text), 0, false);
    EXPECT_EQ(r.action, Action::kLoad) << c.text;
    EXPECT_EQ(r.samplePath, wav) << c.text;
  }
}

TEST(SfzFullRegions, RegionsWithoutASampleFileTakeNoSlot)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Wav("b.wav");
  const auto r = ReadAllSlotsFull(dir.Text("gen.sfz", "sample=a.wav lokey=1\n" // before any header: nothing
                                                      "<region> sample=*sine\n"
                                                      "<region> lokey=40\n"
                                                      "<group> sample=b.wav\n"
                                                      "<region> sample= hikey=70\n" // empty hides b.wav
                                                      "<region> sample=*noise\n"
                                                      "<curve> sample=a.wav\n"
                                                      "<region> pan=30\n"
                                                      "<region> sample=a.wav\n"));
  ASSERT_EQ(r[0].action, Action::kLoad);
  EXPECT_EQ(r[0].samplePath, dir.Path() + "/b.wav");
  EXPECT_EQ(r[0].params[kPan], 30);
  EXPECT_EQ(r[0].params[kLowNote], 0); // the default
  ASSERT_EQ(r[1].action, Action::kLoad);
  EXPECT_EQ(r[1].samplePath, dir.Path() + "/a.wav");
  for (int slot = 2; slot < kSfzSlots; ++slot)
    EXPECT_EQ(r[slot].action, Action::kClear) << slot;
}

TEST(SfzFullRegions, AnInstrumentWithoutRegionsClearsSlotsOneToFourOnlyAndAnUnreadableOneNothing)
{
  SfzFolder dir;
  const auto empty = ReadAllSlotsFull(dir.Text("empty.sfz", "<global> volume=3 <region> sample=*sine"));
  EXPECT_EQ(empty[0].action, Action::kNothing);
  for (int slot = 1; slot < kSfzSlots; ++slot)
    EXPECT_EQ(empty[slot].action, Action::kClear) << slot;
  for (const SfzSlotResult& r : ReadAllSlotsFull(dir.Path() + "/gone.sfz"))
    EXPECT_EQ(r.action, Action::kNothing);
  for (const SfzSlotResult& r : ReadAllSlotsFull(dir.Path()))
    EXPECT_EQ(r.action, Action::kNothing);
}

TEST(SfzFullRegions, MissingSampleWarnsFromTheSlotItWouldHaveFilledAndTheNextRegionTakesIt)
{
  SfzFolder dir;
  dir.Wav("r0.wav");
  dir.Wav("r1.wav");
  const std::string sfz =
      dir.Text("missing.sfz", "<region> sample=r0.wav <region> sample=gone one.wav lokey=70 "
                              "<region> sample=gone two.wav <region> sample=r1.wav <region> sample=*saw");
  const auto r = ReadAllSlotsFull(sfz);
  ASSERT_EQ(r[1].action, Action::kLoad);
  EXPECT_EQ(r[1].samplePath, dir.Path() + "/r1.wav");
  EXPECT_EQ(r[1].params[kLowNote], 0); // nothing carries over from the region passed over
  for (int slot = 0; slot < kSfzSlots; ++slot)
    EXPECT_EQ(r[slot].showWarning, slot == 1) << slot;
  EXPECT_EQ(r[1].warningText, "Wrong Sample in SFZ file: " + dir.Path() + "/gone one.wav");
  EXPECT_EQ(r[2].action, Action::kClear);

  const SfzSlotResult flagged = ReadSfzSlotFull(sfz, 1, true);
  EXPECT_FALSE(flagged.showWarning);
  EXPECT_EQ(flagged.samplePath, dir.Path() + "/r1.wav");
}

TEST(SfzFullRegions, SamplePathThatDoesNotFitThePathFieldsIsRefused)
{
  SfzFolder dir;
  const std::string folder = dir.Path() + "/";
  std::string relative;
  while (folder.size() + relative.size() + 200 + 10 < kSfzMaxPathBytes)
    relative += std::string(200, 'd') + "/";
  const std::string fits =
      relative + std::string(kSfzMaxPathBytes - 1 - folder.size() - relative.size() - 4, 'n');
  dir.Wav(fits + ".wav");
  dir.Wav(fits + "n.wav");
  EXPECT_EQ(ReadSfzSlotFull(dir.Text("fits.sfz", "<region> sample=" + fits + ".wav"), 0, false).action,
            Action::kLoad);
  const SfzSlotResult refused =
      ReadSfzSlotFull(dir.Text("long.sfz", "<region> sample=" + fits + "n.wav"), 0, false);
  EXPECT_EQ(refused.action, Action::kNothing);
  EXPECT_TRUE(refused.showWarning);
}
