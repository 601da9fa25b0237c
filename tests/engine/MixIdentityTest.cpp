// The engine's mixer against the plain frame-by-frame mixer: the same bits in the output and the same
// voice table after every block, over varied random scenarios.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

using namespace enginetest;

namespace
{
// Builds the same engine for the same seed: five slots with random samples and parameters.
void Build(SamplerEngine& e, uint32_t seed)
{
  std::mt19937 rng(seed);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  e.ChangeEngineRate(pick(0, 1) ? 44100.0 : 1000.0);
  for (int s = 0; s < kNumSlots; ++s)
  {
    SetUpSlot(e, s, pick(12, 60), pick(60, 127), pick(30, 90), pick(0, 30), pick(0, 30), pick(0, 1) == 1);
    e.ApplySlotParam(ParamIndex(s, kSemitonesMultiply), pick(1, 40));
    e.ApplySlotParam(ParamIndex(s, kPan), pick(-100, 100));
    e.ApplySlotParam(ParamIndex(s, kAlternatePan), pick(0, 1));
    e.ApplySlotParam(ParamIndex(s, kVolume), pick(-48, 24));
    const int channels = pick(1, 2);
    // Lengths include 1 and 2 frames, where steps often pass the whole sample.
    const int lengths[] = {1, 2, 3, 17, 500, 2000};
    const uint32_t frames = static_cast<uint32_t>(lengths[pick(0, 5)]);
    std::vector<double> data(frames * static_cast<size_t>(channels));
    std::uniform_real_distribution<double> sample(-1.0, 1.0);
    for (double& x : data)
    {
      x = sample(rng);
    }
    const double fileRates[] = {22050.0, 44100.0, 48000.0, 1000.0};
    LoadSample(e, s, data, channels, fileRates[pick(0, 3)]);
    if (pick(0, 3) == 0) e.ApplySlotParam(ParamIndex(s, kReverse), 1);
  }
}

void ExpectSameVoices(const SamplerEngine& a, const SamplerEngine& b, int block)
{
  ASSERT_EQ(a.mVoiceCount, b.mVoiceCount) << "block " << block;
  for (int v = 0; v < kNumVoices; ++v)
  {
    SCOPED_TRACE(::testing::Message() << "block " << block << " voice " << v);
    ASSERT_EQ(a.mVoiceSlot[v], b.mVoiceSlot[v]);
    ASSERT_EQ(a.mVoiceNote[v], b.mVoiceNote[v]);
    ASSERT_EQ(a.mVoiceStage[v], b.mVoiceStage[v]);
    ASSERT_EQ(a.mVoiceOffset[v], b.mVoiceOffset[v]);
    ASSERT_EQ(std::memcmp(&a.mVoicePos[v], &b.mVoicePos[v], sizeof(double)), 0);
    ASSERT_EQ(std::memcmp(&a.mVoiceLevel[v], &b.mVoiceLevel[v], sizeof(double)), 0);
    ASSERT_EQ(std::memcmp(&a.mVoiceAmp[v], &b.mVoiceAmp[v], sizeof(double)), 0);
  }
}

// Random notes, releases and blocks of random length, mixed by both; returns how many voice-frames
// sounded, so that a scenario that never plays does not pass unseen.
long RunScenario(uint32_t seed, int blocks)
{
  SamplerEngine fast;
  SamplerEngine plain;
  Build(fast, seed);
  Build(plain, seed);
  std::mt19937 rng(seed ^ 0x5eedu);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  long sounding = 0;
  for (int blk = 0; blk < blocks; ++blk)
  {
    const int sizes[] = {0, 1, 7, 64, 512, 700};
    const int n = sizes[pick(0, 5)];
    const int events = pick(0, 6);
    for (int k = 0; k < events; ++k)
    {
      const uint8_t status = pick(0, 2) == 0 ? 0x80 : 0x90;
      const uint8_t note = static_cast<uint8_t>(pick(20, 110));
      const uint8_t vel = static_cast<uint8_t>(pick(0, 127));
      const int offset = pick(0, n > 0 ? n + 5 : 3);
      EXPECT_EQ(fast.HandleMidi(status, note, vel, offset), plain.HandleMidi(status, note, vel, offset));
    }
    if (pick(0, 20) == 0)
    {
      const int s = pick(0, kNumSlots - 1);
      const int v = pick(0, 1);
      fast.ApplySlotParam(ParamIndex(s, kReverse), v);
      plain.ApplySlotParam(ParamIndex(s, kReverse), v);
    }
    for (int v = 0; v < fast.mVoiceCount; ++v)
    {
      if (fast.mVoiceSlot[v] != 0) sounding += n;
    }
    Block a(n);
    Block b(n);
    fast.Mix(a.Out(), n);
    ReferenceMix(plain, b.Out(), n);
    EXPECT_EQ(std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(double)), 0)
        << "block " << blk;
    EXPECT_EQ(std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(double)), 0)
        << "block " << blk;
    ExpectSameVoices(fast, plain, blk);
    if (::testing::Test::HasFailure()) break;
  }
  return sounding;
}
} // namespace

TEST(MixIdentity, EngineMixerGivesTheSameBitsAsTheFrameByFrameOrder)
{
  long sounding = 0;
  for (uint32_t seed = 1; seed <= 60; ++seed)
  {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    sounding += RunScenario(seed, 60);
    if (HasFailure()) break;
  }
  EXPECT_GT(sounding, 100000);
}

TEST(MixIdentity, OddStepsAndPositionsStayInsideAndMatchTheFrameByFrameOrder)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double steps[] = {-2.5, nan, inf, 1e300, 0.0, 1e-9, 3.7, 0.999, 2.0};
  const double positions[] = {-5.0, 1e20, nan, 0.5, 0.0, 1.9999999};
  for (uint32_t seed = 1; seed <= 40; ++seed)
  {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    SamplerEngine fast;
    SamplerEngine plain;
    Build(fast, seed);
    Build(plain, seed);
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (SamplerEngine* e : {&fast, &plain})
    {
      for (int s = 0; s < kNumSlots; ++s)
      {
        e->ApplySlotParam(ParamIndex(s, kLowNote), 12);
        e->ApplySlotParam(ParamIndex(s, kHighNote), 127);
      }
      e->HandleMidi(0x90, 60, 100, 0);
      e->HandleMidi(0x90, 61, 100, 5);
    }
    for (int v = 0; v < fast.mVoiceCount; ++v)
    {
      const double step = steps[pick(0, 8)];
      const double pos = positions[pick(0, 5)];
      fast.mVoiceStep[v] = plain.mVoiceStep[v] = step;
      fast.mVoicePos[v] = plain.mVoicePos[v] = pos;
    }
    if (pick(0, 3) == 0)
    {
      const int s = pick(0, kNumSlots - 1);
      fast.mSampleFrames[s] = plain.mSampleFrames[s] = 0;
    }
    for (int blk = 0; blk < 4; ++blk)
    {
      Block a(300);
      Block b(300);
      fast.Mix(a.Out(), 300);
      ReferenceMix(plain, b.Out(), 300);
      ASSERT_EQ(std::memcmp(a.left.data(), b.left.data(), 300 * sizeof(double)), 0) << blk;
      ASSERT_EQ(std::memcmp(a.right.data(), b.right.data(), 300 * sizeof(double)), 0) << blk;
      ExpectSameVoices(fast, plain, blk);
      for (int v = 0; v < kNumVoices; ++v)
      {
        if (fast.mVoiceSlot[v] == 0) continue;
        const int s = fast.mVoiceSlot[v] - 1;
        ASSERT_GE(fast.mVoicePos[v], 0.0);
        ASSERT_LT(fast.mVoicePos[v], static_cast<double>(fast.mSampleFrames[s]));
      }
    }
  }
}
