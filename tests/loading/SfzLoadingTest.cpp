// An SFZ instrument reaching the instance: the five runs carried out on the slots.

#include "loading/LoadingFixture.h"

#include <fstream>

using namespace loadingtest;

namespace
{
class SfzLoading : public LoadingTest
{
protected:
  std::string WriteText(const std::string& name, const std::string& text)
  {
    const std::string path = mDir.Path() + "/" + name;
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

TEST_F(SfzLoading, InstrumentThatNamesAnInstrumentAsItsSampleLeavesThatSlotAsItWas)
{
  OpenAt(44100.0);
  const std::string path = WriteWav("keep.wav");
  Load(0, path);
  std::string self = WriteText("self.sfz", "<region>\nsample=self.sfz\n");
  mPlug->OnExtraParam(0, self.data());
  EXPECT_EQ(Frames(0), 16u);
  EXPECT_EQ(Saved(0), path);
  ExpectEmpty(1, "...");
}

TEST_F(SfzLoading, UnreadableInstrumentFromTheHostKeepsItsPathAndChangesNoSlot)
{
  OpenAt(44100.0);
  const std::string path = WriteWav("keep.wav");
  Load(1, path);
  std::string missing = mDir.Path() + "/gone.sfz";
  mPlug->OnExtraParam(1, missing.data());
  EXPECT_EQ(Frames(1), 16u);
  EXPECT_EQ(Saved(1), missing);
}

TEST_F(SfzLoading, InstrumentChosenThroughASlotClearsThatSlotsWarningFlagOnly)
{
  OpenAt(44100.0);
  WriteWav("a.wav");
  const std::string sfz = WriteText("broken.sfz", "<region>\nsample=a.wav\n<region>\nsample=missing.wav\n"
                                                  "<region>\nsample=a.wav\n");
  Load(0, sfz, Route::kEditor);
  // Slot 1's region names a missing file: its run asks for the warning and its flag is set.
  EXPECT_TRUE(File(1).SfzWarning());
  EXPECT_FALSE(File(0).SfzWarning());
  EXPECT_NE(Frames(0), 0u);
  EXPECT_NE(Frames(1), 0u); // the next region that opens became region 1
  ExpectEmpty(2, "...");
  Load(1, sfz, Route::kEditor);
  EXPECT_TRUE(File(1).SfzWarning()); // cleared by the choice, set again by its run
}
