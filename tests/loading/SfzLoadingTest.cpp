// An SFZ instrument reaching the instance: the five runs carried out on the slots.

#include "loading/LoadingFixture.h"

#include <filesystem>
#include <fstream>

using namespace loadingtest;

namespace
{
class SfzLoading : public LoadingTest
{
protected:
  std::string WriteText(const std::string& name, const std::string& text)
  {
    const std::string path = mDir.In(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
};
} // namespace

TEST_F(SfzLoading, RegionsFillTheirSlotsWithParametersAndTheRestAreCleared)
{
  OpenAt(44100.0);
  const std::string a = WriteWav("a.wav", 1, 44100, 16);
  const std::string b = WriteWav("b.wav", 2, 44100, 8);
  Load(3, WriteWav("old.wav"));
  std::string sfz = WriteText("kit.sfz", "<region>\nsample=a.wav\nlokey=40\nhikey=50\n"
                                         "<region>\nsample=b.wav\npitch_keycenter=62\n");
  mPlug->OnExtraParam(2, sfz.data());

  EXPECT_EQ(E().mSampleFrames[0], 16u);
  EXPECT_EQ(E().mSampleFrames[1], 8u);
  EXPECT_EQ(Saved(0), a);
  EXPECT_EQ(Saved(1), b);
  EXPECT_EQ(mPlug->GetParam(kLowNote)->Value(), 40.0);
  EXPECT_EQ(E().mLowNote[0], 40);
  EXPECT_EQ(E().mHighNote[0], 50);
  EXPECT_EQ(E().mRootNote[1], 62);
  for (int s = 2; s < 5; ++s)
  {
    ExpectEmpty(s, "...");
    EXPECT_EQ(Saved(s), "") << s;
  }
}

// A missing instrument changes nothing, the saved paths included: saved, it would reload all five slots
// over the saved parameters once the file appeared. The same for the slot it reached and for another.
TEST_F(SfzLoading, MissingInstrumentFromTheHostChangesNoSlotAndNoSavedPath)
{
  OpenAt(44100.0);
  const std::string first = WriteWav("first.wav");
  const std::string keep = WriteWav("keep.wav", 2, 44100, 8);
  Load(0, first);
  Load(1, keep);
  mPlug->SetParameterFromGUI(kHighNote, 0.5);
  const double highBefore = mPlug->GetParam(kHighNote)->Value();
  const std::string emptySlot = Saved(4);
  for (int slot : {0, 1, 4})
  {
    std::string missing = mDir.In("gone.sfz");
    mPlug->OnExtraParam(slot, missing.data());
    EXPECT_EQ(Frames(0), 16u) << slot;
    EXPECT_EQ(Frames(1), 8u) << slot;
    EXPECT_EQ(Saved(0), first) << slot;
    EXPECT_EQ(Saved(1), keep) << slot;
    EXPECT_EQ(Saved(4), emptySlot) << slot;
    EXPECT_EQ(mPlug->GetParam(kHighNote)->Value(), highBefore) << slot;
  }
  // An instrument without a region is no different.
  std::string empty = WriteText("empty.sfz", "// nothing here\n<control>\ndefault_path=x/\n");
  mPlug->OnExtraParam(0, empty.data());
  EXPECT_EQ(Saved(0), first);
  EXPECT_EQ(Frames(0), 16u);
}

// Handed over by a relative path, the instrument's samples are saved by the absolute paths they were
// found at, so that the state still names them when the host runs in another folder.
TEST_F(SfzLoading, InstrumentHandedOverByARelativePathSavesAbsoluteSamplePaths)
{
  OpenAt(44100.0);
  const std::string a = WriteWav("a.wav", 1, 44100, 16);
  WriteText("kit.sfz", "<region>\nsample=a.wav\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(mDir.Path());
  std::string relative = "kit.sfz";
  mPlug->OnExtraParam(2, relative.data());
  std::string dotted = "./kit.sfz";
  mPlug->OnExtraParam(3, dotted.data());
  std::filesystem::current_path(before);

  EXPECT_EQ(Frames(0), 16u);
  EXPECT_EQ(Saved(0), std::filesystem::canonical(a).string());
}
