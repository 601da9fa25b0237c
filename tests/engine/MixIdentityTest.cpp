// The engine's mixer against the plain frame-by-frame mixer (the same bits in the output and the same
// voice table after every block, over random scenarios with odd steps and positions), and what the
// engine promises beyond what a module-level sound test can show: voice allocation order, the guards for
// loops, empty slots and rates, and reverse of the data in place.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// Mixes a block of n frames whole (pieceSize 0) or in pieces of pieceSize frames, then ends the block;
// plain: with the mixer's plain C++ form, as targets without SSE2 build it.
void MixInPieces(SamplerEngine& e, Block& block, int n, int pieceSize, bool plain)
{
  if (pieceSize <= 0 && !plain)
  {
    e.Mix(block.Out(), n);
    return;
  }
  const int size = pieceSize > 0 ? pieceSize : std::max(n, 1);
  for (int done = 0; done < n; done += size)
  {
    double* out[2] = {block.left.data() + done, block.right.data() + done};
    if (plain)
      e.MixPiecePlain(out, std::min(size, n - done), done);
    else
      e.MixPiece(out, std::min(size, n - done), done);
  }
  e.EndBlock();
}

// One block of n frames: the mixer (in pieces, or in its plain form, as MixInPieces) on `fast`, the
// frame-by-frame reference on `plain`; both outputs and both voice tables must hold the same bits.
void MixBothAndCompare(SamplerEngine& fast, SamplerEngine& plain, int n, int pieceSize, bool plainForm,
                       int blk)
{
  Block a(n);
  Block b(n);
  MixInPieces(fast, a, n, pieceSize, plainForm);
  ReferenceMix(plain, b.Out(), n);
  EXPECT_EQ(std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(double)), 0) << "block " << blk;
  EXPECT_EQ(std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(double)), 0)
      << "block " << blk;
  ExpectSameVoices(fast, plain, blk);
}

// Random notes, releases and blocks of random length, mixed by both; now and then a voice gets an odd
// step or position (negative, NaN, infinite, huge, past the end) or a slot loses its frames. Returns how
// many voice-frames sounded, so that a scenario that never plays does not pass unseen.
long RunScenario(uint32_t seed, int blocks)
{
  SamplerEngine fast;
  SamplerEngine plain;
  Build(fast, seed);
  Build(plain, seed);
  std::mt19937 rng(seed ^ 0x5eedu);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double steps[] = {-2.5, nan, inf, 1e300, 0.0, 1e-9, 3.7, 0.999, 2.0};
  const double positions[] = {-5.0, 1e20, nan, 0.5, 0.0, 1.9999999};
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
    if (fast.mVoiceCount > 0 && pick(0, 8) == 0)
    {
      const int v = pick(0, fast.mVoiceCount - 1);
      // Only a voice that this block reaches: one that waits past the block keeps its position.
      if (fast.mVoiceOffset[v] < n) fast.mVoiceStep[v] = plain.mVoiceStep[v] = steps[pick(0, 8)];
      if (fast.mVoiceOffset[v] < n) fast.mVoicePos[v] = plain.mVoicePos[v] = positions[pick(0, 5)];
    }
    if (pick(0, 150) == 0)
    {
      const int s = pick(0, kNumSlots - 1);
      fast.mSampleFrames[s] = plain.mSampleFrames[s] = 0;
    }
    for (int v = 0; v < fast.mVoiceCount; ++v)
    {
      if (fast.mVoiceSlot[v] != 0) sounding += n;
    }
    // Now and then the block arrives in pieces, as a host block longer than the announced size does
    // (the pieces must give the bits of the whole block), and now and then the plain form mixes it.
    const int pieceSizes[] = {0, 1, 7, 64};
    const int pieceSize = pieceSizes[pick(0, 3)];
    MixBothAndCompare(fast, plain, n, pieceSize, pick(0, 2) == 0, blk);
    for (int v = 0; v < fast.mVoiceCount; ++v)
    {
      if (fast.mVoiceSlot[v] == 0 || fast.mSampleFrames[fast.mVoiceSlot[v] - 1] == 0) continue;
      EXPECT_GE(fast.mVoicePos[v], 0.0) << "block " << blk << " voice " << v;
      EXPECT_LT(fast.mVoicePos[v], static_cast<double>(fast.mSampleFrames[fast.mVoiceSlot[v] - 1]));
    }
    if (::testing::Test::HasFailure()) break;
  }
  return sounding;
}
} // namespace

TEST(MixIdentity, EngineMixerGivesTheSameBitsAsTheFrameByFrameOrderAndReadsStayInside)
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

namespace
{
// Slot 0: a long stereo sample (positions pass 65536) that loops, slot 1: a short mono one that does not;
// both with samples that hold -0.0, infinities and NaN among random values, long attack and release.
void BuildSteady(SamplerEngine& e)
{
  e.ChangeEngineRate(48000.0);
  SetUpSlot(e, 0, 12, 70, 60, 30, 20, true);
  SetUpSlot(e, 1, 71, 127, 90, 25, 1, false);
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> sample(-1.0, 1.0);
  const double special[] = {-0.0, 0.0, std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN(), -1e300};
  for (int s = 0; s < 2; ++s)
  {
    const int channels = s == 0 ? 2 : 1;
    std::vector<double> data((s == 0 ? 70000 : 3000) * static_cast<size_t>(channels));
    for (size_t k = 0; k < data.size(); ++k)
    {
      data[k] = (k % 997 == 5) ? special[(k / 997) % 5] : sample(rng);
    }
    LoadSample(e, s, data, channels);
  }
}
} // namespace

// Voices whose positions or levels cross binades (where a steady stretch ends), steps that are ties in a
// binade (no steady stretch), whole positions (fractions of 0), huge and tiny steps, releases ending at
// odd and even frames, in blocks and pieces of odd sizes, in both forms of the pairs.
TEST(MixIdentity, SteadyStretchesGiveTheFrameByFrameBitsAtBinadeEdgesTiesAndSpecialSamples)
{
  const double positions[] = {1023.9, 65535.2, 2047.99, 0.0, 4095.5, 30000.0, 100.0, 1.0};
  // 1 + 2^-43 is a tie for positions in [1024, 2048).
  const double steps[] = {1.0 + 0x1p-43, 1.0884, 0.5, 1.0, 3.3, 0.002, 1e4, 2.25};
  long sounding = 0;
  for (int variant = 0; variant < 4; ++variant)
  {
    SCOPED_TRACE(::testing::Message() << "variant " << variant);
    SamplerEngine fast;
    SamplerEngine plain;
    BuildSteady(fast);
    BuildSteady(plain);
    for (int blk = 0; blk < 48; ++blk)
    {
      const int sizes[] = {512, 333, 7, 1024};
      const int n = sizes[blk % 4];
      if (blk % 24 == 0)
      {
        for (int k = 0; k < 8; ++k)
        {
          const uint8_t note = static_cast<uint8_t>(k < 5 ? 40 + 5 * k : 80 + 5 * k);
          const int offset = (k * 37 + blk) % (n + 1);
          fast.HandleMidi(0x90, note, 100, offset);
          plain.HandleMidi(0x90, note, 100, offset);
          const int v = fast.mVoiceCount - 1;
          fast.mVoicePos[v] = plain.mVoicePos[v] = positions[(k + blk / 8) % 8];
          fast.mVoiceStep[v] = plain.mVoiceStep[v] = steps[k];
        }
      }
      if (blk % 24 == 11 || blk % 24 == 13)
      {
        for (int k = blk % 2; k < 8; k += 2)
        {
          const uint8_t note = static_cast<uint8_t>(k < 5 ? 40 + 5 * k : 80 + 5 * k);
          EXPECT_EQ(fast.HandleMidi(0x80, note, 0, k), plain.HandleMidi(0x80, note, 0, k));
        }
      }
      for (int v = 0; v < fast.mVoiceCount; ++v)
      {
        if (fast.mVoiceSlot[v] != 0) sounding += n;
      }
      MixBothAndCompare(fast, plain, n, (variant & 2) ? 7 : 0, (variant & 1) != 0, blk);
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(sounding, 4L * 100000L);
}

namespace
{
// Engine at 100 Hz, slot 0 on keys 12..127 with root 60, attack and release 0 (full level at once),
// full velocity and 0 dB, so a voice's amplitude is exactly 1.
struct EngineContract : ::testing::Test
{
  EngineContract()
  {
    e.ChangeEngineRate(100.0);
    SetUpSlot(e, 0, 12, 127, 60, 0, 0, false);
    e.SetViews(&views);
  }
  // Starts a voice on key 60 and sets its step directly.
  int Start(double step, int offset = 0)
  {
    e.HandleMidi(0x90, 60, 127, offset);
    const int v = e.mVoiceCount - 1;
    e.mVoiceStep[v] = step;
    return v;
  }
  SamplerEngine e;
  RecordingViews views;
};
} // namespace

TEST_F(EngineContract, NotesTakeTheLowestFreeVoiceAndTheSameKeyReleasesTheLowerVoiceFirst)
{
  LoadSample(e, 0, std::vector<double>(16, 1.0), 1);
  e.ApplySlotParam(ParamIndex(0, kRelease), 16);
  e.HandleMidi(0x90, 40, 100, 0);
  e.HandleMidi(0x90, 41, 100, 0);
  e.HandleMidi(0x90, 42, 100, 0);
  e.mVoiceSlot[1] = 0; // voice 1 ended
  e.HandleMidi(0x90, 43, 100, 0);
  EXPECT_EQ(e.mVoiceNote[1], 43);
  EXPECT_EQ(e.mVoiceCount, 3);

  e.HandleMidi(0x90, 43, 100, 0); // voice 3
  e.HandleMidi(0x80, 43, 0, 0);
  EXPECT_EQ(e.mVoiceStage[1], kStageRelease);
  EXPECT_EQ(e.mVoiceStage[3], kStageAttack);
  e.HandleMidi(0x80, 43, 0, 0);
  EXPECT_EQ(e.mVoiceStage[3], kStageRelease);
}

TEST_F(EngineContract, LoopStepLongerThanTheSampleStaysInside)
{
  e.ApplySlotParam(ParamIndex(0, kLoop), 1);
  LoadSample(e, 0, {1.0, 2.0, 3.0}, 1);
  const int v = Start(7.25);
  Block b(4);
  e.Mix(b.Out(), 4);
  // Positions 0, 7.25 -> 1.25, 8.5 -> 2.5, 9.75 -> 0.75.
  EXPECT_EQ(b.left[0], 1.0);
  EXPECT_EQ(b.left[1], 2.25);
  EXPECT_EQ(b.left[2], 2.0); // halfway from 3 back to 1
  EXPECT_EQ(b.left[3], 1.75);
  EXPECT_EQ(e.mVoicePos[v], 2.0); // 0.75 + 7.25 = 8, less 3 is 5, still outside: remainder 2
}

TEST_F(EngineContract, EmptySlotsStartNoVoiceAndAVoiceWhoseSlotEmptiedNeverReads)
{
  SetUpSlot(e, 1, 12, 127, 60, 0, 0, false); // active, but no sample
  views.events.clear();
  e.HandleMidi(0x90, 60, 100, 0);
  EXPECT_EQ(e.mVoiceCount, 0);
  EXPECT_TRUE(views.events.empty());

  LoadSample(e, 0, Ramp(4, 1), 1);
  Start(1.0);
  e.mSampleData[0] = std::make_unique<double[]>(1);
  e.mSampleFrames[0] = 0;
  Block b(4);
  e.Mix(b.Out(), 4);
  EXPECT_EQ(b.left[0], 0.0);
  EXPECT_EQ(e.mVoiceSlot[0], 0);
  EXPECT_EQ(e.mVoiceCount, 0);
}

TEST_F(EngineContract, ReverseFlipsEachChannelOnceAndSwitchingOffRestoresTheData)
{
  LoadSample(e, 1, Ramp(4, 2), 2);
  const int idx = ParamIndex(1, kReverse);
  const std::vector<double> reversed = {4, 3, 2, 1, -4, -3, -2, -1};
  for (int value : {1, 1, 0}) // the same value twice flips once
  {
    e.ApplySlotParam(idx, value);
    const std::vector<double> expected = value ? reversed : Ramp(4, 2);
    EXPECT_EQ(std::vector<double>(e.mSampleData[1].get(), e.mSampleData[1].get() + 8), expected) << value;
  }
  const std::vector<ViewEvent> changed = {{"changed", 1, 0, false}, {"changed", 1, 0, false}};
  EXPECT_EQ(views.events, changed);
}

TEST(EngineRate, BeforeTheFirstRateStepsAreInfiniteAndLoadedRatiosSettleWhenItArrives)
{
  SamplerEngine e;
  e.ApplySlotParam(ParamIndex(1, kAttack), 80);
  EXPECT_TRUE(std::isinf(e.mAttackStep[1])); // full level at once, not a trap
  // The loader divides by an engine rate of 0: the ratio is infinite until the first rate arrives.
  LoadSample(e, 2, Ramp(10, 2), 2, 22050.0);
  ASSERT_TRUE(std::isinf(e.mRateRatio[2]));
  e.ChangeEngineRate(44100.0);
  EXPECT_EQ(e.mRateRatio[2], 0.5);
  // A ratio without a known file rate is rescaled; an infinite one ends usable (zero), never NaN.
  e.mRateRatio[1] = 2.0;
  e.mRateRatio[3] = std::numeric_limits<double>::infinity();
  e.ChangeEngineRate(48000.0);
  EXPECT_EQ(e.mRateRatio[1], 2.0 * (44100.0 / 48000.0));
  EXPECT_EQ(e.mRateRatio[2], 22050.0 / 48000.0);
  EXPECT_EQ(e.mRateRatio[3], 0.0);
  e.ApplySlotParam(ParamIndex(1, kAttack), 80);
  EXPECT_EQ(e.mAttackStep[1], 100.0 / (80 * 48000.0));
}

TEST(EngineRate, RateThatIsNotAPositiveNumberIsIgnored)
{
  SamplerEngine e;
  e.ChangeEngineRate(48000.0);
  LoadSample(e, 0, Ramp(10, 1), 1, 44100.0);
  const double ratio = e.mRateRatio[0];
  for (double rate :
       {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
  {
    e.ChangeEngineRate(rate);
  }
  EXPECT_EQ(e.mEngineSampleRate, 48000.0);
  EXPECT_EQ(e.mRateRatio[0], ratio);
}
