// Which reader reads an instrument (the line reader for every file it takes a region for slot 0
// from, the full reader for the others), and samples that moved.

#include "SfzTestFiles.h"
#include "engine/EngineConstants.h"
#include "samplefiles/PathCase.h"
#include "samplefiles/SampleLocator.h"
#include "samplefiles/SfzLimits.h"
#include "samplefiles/SfzReader.h"

#include <gtest/gtest.h>

#include <cstdlib>

using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
std::array<SfzSlotResult, kSfzSlots> ReadAll(const std::string& sfz)
{
  std::array<SfzSlotResult, kSfzSlots> results;
  for (int slot = 0; slot < kSfzSlots; ++slot)
    results[static_cast<size_t>(slot)] = ReadSfzSlot(sfz, slot, false);
  return results;
}

void ExpectSame(const SfzSlotResult& a, const SfzSlotResult& b, int slot)
{
  EXPECT_EQ(a.action, b.action) << "slot " << slot;
  EXPECT_EQ(a.samplePath, b.samplePath) << "slot " << slot;
  EXPECT_EQ(a.params, b.params) << "slot " << slot;
  EXPECT_EQ(a.showWarning, b.showWarning) << "slot " << slot;
  EXPECT_EQ(a.warningText, b.warningText) << "slot " << slot;
}

// Sets the sample search path for the life of the object.
class SearchPath
{
public:
  explicit SearchPath(const std::string& value) { setenv(kSampleSearchPathVariable, value.c_str(), 1); }
  ~SearchPath() { unsetenv(kSampleSearchPathVariable); }
};
} // namespace

TEST(SfzReaderChoice, AFileTheLineReaderTakesSlotZeroFromIsReadAsItAlwaysWas)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Wav("b.wav");
  // The full reader would read Ab3 as 56, leave loop_mode=one_shot as Loop off and give Attack 0.
  const std::string sfz = dir.Text("lines.sfz", "<group>\nampeg_release=0.5\n<region>\nsample=a.wav\n"
                                                "hikey=Ab3\nloop_mode=one_shot\n<region>\nsample=gone.wav\n"
                                                "<region>\nsample=b.wav lokey=36\n<region>\nsample=b.wav\n");
  const auto chosen = ReadAll(sfz);
  const auto lines = sfztest::ReadAllSlots(sfz);
  for (int slot = 0; slot < kSfzSlots; ++slot)
    ExpectSame(chosen[slot], lines[slot], slot);
  EXPECT_EQ(chosen[0].params[kHighNote], -1);
  EXPECT_EQ(chosen[0].params[kAttack], kSfzNotGiven);
  EXPECT_EQ(chosen[0].params[kLoop], kSfzNotGiven);
  EXPECT_TRUE(chosen[1].showWarning);
}

TEST(SfzReaderChoice, AFileTheLineReaderTakesNothingFromForSlotZeroIsReadInFull)
{
  SfzFolder dir;
  dir.Wav("kick 1.wav");
  dir.Wav("snare.wav");
  // To the line reader, each line is one opcode whose key is "<region> sample", which it does not know.
  const std::string sfz =
      dir.Text("kit.sfz", "<global> loop_mode=one_shot\n"
                          "<region> sample=kick 1.wav key=36\n<region> sample=snare.wav key=38\n");
  ASSERT_EQ(sfztest::ReadAllSlots(sfz)[0].action, Action::kNothing);
  const auto chosen = ReadAll(sfz);
  const auto full = sfztest::ReadAllSlotsFull(sfz);
  for (int slot = 0; slot < kSfzSlots; ++slot)
    ExpectSame(chosen[slot], full[slot], slot);
  EXPECT_EQ(chosen[0].samplePath, dir.Path() + "/kick 1.wav");
  EXPECT_EQ(chosen[0].params[kHighNote], 36);
  EXPECT_EQ(chosen[1].params[kRootNote], 38);
  EXPECT_EQ(chosen[1].params[kLoop], 0);
  EXPECT_FALSE(chosen[0].showWarning);
  EXPECT_EQ(chosen[2].action, Action::kClear);

  // One reading for all five slots, with the slots' warning flags.
  dir.Text("kit.sfz", "<region> sample=gone.wav <region> sample=kick 1.wav");
  const auto together = ReadSfzSlots(sfz, {true, false, false, false, false});
  EXPECT_FALSE(together[0].showWarning);
  EXPECT_EQ(together[0].samplePath, dir.Path() + "/kick 1.wav");
  const auto unflagged = ReadSfzSlots(sfz, {});
  EXPECT_TRUE(unflagged[0].showWarning);
  for (int slot = 0; slot < kSfzSlots; ++slot)
    ExpectSame(unflagged[slot], ReadSfzSlot(sfz, slot, false), slot);
}

TEST(SfzMovedSamples, ASampleNamedInAnotherLetterCaseIsFound)
{
  if (!kFileNamesKeepCase) GTEST_SKIP() << "file names ignore case here";
  SfzFolder dir;
  const std::string kick = dir.Wav("Samples/Kick.wav");
  // One opcode per line: the line reader cannot open the file, so the full reader reads it.
  const auto r = ReadAll(dir.Text("case.sfz", "<region>\nsample=samples\\KICK.wav\n"));
  ASSERT_EQ(r[0].action, Action::kLoad);
  EXPECT_EQ(r[0].samplePath, kick);
  EXPECT_FALSE(r[0].showWarning);
}

TEST(SfzMovedSamples, AMovedSampleIsFoundBesideTheSamplesFoundBeforeItAndOnTheSearchPath)
{
  SfzFolder dir;
  dir.Wav("moved/a.wav");
  dir.Wav("moved/b.wav");
  dir.Wav("lib/Other/snare.wav");
  const std::string snare = dir.Wav("lib/deep/Kit/Snare/snare.wav");
  const SearchPath path(dir.Path() + "/nowhere:" + dir.Path() + "/lib");
  const std::string sfz = dir.Text("inst/kit.sfz", "<region> sample=../moved/a.wav\n"
                                                   "<region> sample=old/b.wav\n" // beside a.wav
                                                   "<region> sample=C:\\Users\\me\\Kit\\Snare\\snare.wav\n"
                                                   "<region> sample=never.wav\n");
  const auto r = ReadAll(sfz);
  EXPECT_EQ(r[0].samplePath, dir.Path() + "/inst/../moved/a.wav");
  EXPECT_EQ(r[1].samplePath, dir.Path() + "/inst/../moved/b.wav");
  EXPECT_EQ(r[2].samplePath, snare);
  EXPECT_EQ(r[3].action, Action::kClear);
  EXPECT_TRUE(r[3].showWarning);
  EXPECT_EQ(r[3].warningText, "Wrong Sample in SFZ file: " + dir.Path() + "/inst/never.wav");
}

TEST(SfzMovedSamples, OnlyTheFirstMissingSamplesOfAReadingAreSearchedFor)
{
  SfzFolder dir;
  dir.Wav("inst/found.wav");
  const auto instrument = [&](int missingBefore)
  {
    std::string text;
    for (int i = 0; i < missingBefore; ++i)
      text += "<region> sample=gone" + std::to_string(i) + ".wav\n";
    return dir.Text("inst/m" + std::to_string(missingBefore) + ".sfz",
                    text + "<region> sample=old/found.wav\n");
  };
  EXPECT_EQ(ReadSfzSlot(instrument(kSfzMaxSampleSearches - 1), 0, false).samplePath,
            dir.Path() + "/inst/found.wav");
  EXPECT_EQ(ReadSfzSlot(instrument(kSfzMaxSampleSearches), 0, false).action, Action::kNothing);
}
