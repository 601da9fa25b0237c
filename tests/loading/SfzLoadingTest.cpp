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
