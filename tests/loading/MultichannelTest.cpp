// Files of more than two channels keep only the two planes the mixer reads: they play exactly as they
// did when every channel had its plane (the others zero), the slot still says how many channels the
// file has, and the load allocates two planes.

#include "AllocationCounter.h"
#include "loading/LoadingFixture.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <string>
#include <vector>

using namespace loadingtest;

namespace
{
constexpr int kChannels = 6;
constexpr int kFrames = 24000;
constexpr double kRate = 44100.0;

class Multichannel : public LoadingTest
{
protected:
  // What the slot played from before: all six planes, channels 0 and 1 from the file, the rest 0.
  std::vector<double> SixPlanes(const std::vector<double>& left, const std::vector<double>& right)
  {
    std::vector<double> planar(size_t{kChannels} * left.size(), 0.0);
    std::copy(left.begin(), left.end(), planar.begin());
    std::copy(right.begin(), right.end(), planar.begin() + static_cast<long>(left.size()));
    return planar;
  }

  // A fresh instance at 44.1 kHz with slot 0 filled by load, then three keys (the root and one above it,
  // reaching past the sample's end, and one below it) rendered over 40000 frames.
  template <typename LoadFn> std::vector<double> Play(LoadFn load)
  {
    SetUp();
    OpenAt(kRate);
    load();
    std::vector<double> out;
    Render(64);
    NoteOn(41, 100);
    NoteOn(53, 70, 10);
    NoteOn(30 + 12, 127, 33);
    for (int block = 0; block < 40; ++block)
    {
      Render(1000);
      out.insert(out.end(), mLeft.begin(), mLeft.end());
      out.insert(out.end(), mRight.begin(), mRight.end());
    }
    size_t sounding = 0;
    for (double v : out)
      sounding += v != 0.0 ? 1 : 0;
    EXPECT_GT(sounding, out.size() / 2) << "the keys must sound";
    return out;
  }

  // The load through the loading flow, with the bytes it allocated at most at once above what was live.
  size_t LoadCountingPeak(const std::string& path)
  {
    const size_t before = testalloc::LiveBytes();
    testalloc::ResetPeak();
    Load(0, path);
    return testalloc::PeakBytes() - before;
  }

  void ExpectTwoPlanesOfSix(size_t peak)
  {
    EXPECT_EQ(E().mSampleChannels[0], kChannels) << "the slot says how many channels the file has";
    EXPECT_EQ(Frames(0), static_cast<uint32_t>(kFrames));
    if (!testalloc::Active()) return; // another operator new replacement is in force
    const size_t twoPlanes = 2 * sizeof(double) * kFrames;
    EXPECT_GE(peak, twoPlanes);
    EXPECT_LT(peak, twoPlanes + twoPlanes / 4) << "six planes would be " << 3 * twoPlanes;
  }
};
} // namespace

TEST_F(Multichannel, ASixChannelWavPlaysAsWithAllItsPlanesFromTwoPlanes)
{
  std::vector<double> left, right;
  for (int k = 0; k < kFrames; ++k)
  {
    left.push_back(Pcm(0, k) / 32768.0);
    right.push_back(Pcm(1, k) / 32768.0);
  }
  const std::vector<double> before = Play([&] { LoadSample(0, SixPlanes(left, right), kChannels, kRate); });
  std::string path;
  size_t peak = 0;
  const std::vector<double> now = Play(
      [&]
      {
        path = WriteWav("six.wav", kChannels, 44100, kFrames);
        peak = LoadCountingPeak(path);
      });
  ExpectTwoPlanesOfSix(peak);
  ASSERT_EQ(now.size(), before.size());
  for (size_t i = 0; i < now.size(); ++i)
    ASSERT_EQ(now[i], before[i]) << i;
}

TEST_F(Multichannel, ASixChannelOggPlaysAsWithAllItsPlanesFromTwoPlanes)
{
  const std::string path = WriteOgg("six.ogg", kChannels, 44100, kFrames);
  // Channels 0 and 1 as libvorbisfile decodes them.
  std::vector<double> left, right;
  OggVorbis_File file;
  ASSERT_EQ(ov_fopen(path.c_str(), &file), 0);
  float** pcm = nullptr;
  int link = 0;
  long n = 0;
  while ((n = ov_read_float(&file, &pcm, 1024, &link)) > 0)
    for (long j = 0; j < n; ++j)
    {
      left.push_back(pcm[0][j]);
      right.push_back(pcm[1][j]);
    }
  ov_clear(&file);
  ASSERT_EQ(left.size(), static_cast<size_t>(kFrames));

  // The old slot got the Ogg file's rate ratio rounded to float precision.
  const std::vector<double> before = Play(
      [&]
      {
        LoadSample(0, SixPlanes(left, right), kChannels, kRate);
        E().mRateRatio[0] = static_cast<float>(kRate / E().mEngineSampleRate);
      });
  size_t peak = 0;
  const std::vector<double> now = Play([&] { peak = LoadCountingPeak(path); });
  ExpectTwoPlanesOfSix(peak);
  ASSERT_EQ(now.size(), before.size());
  for (size_t i = 0; i < now.size(); ++i)
    ASSERT_EQ(now[i], before[i]) << i;
}
