// Render cost of the sampler engine's mixer: 24 sounding stereo voices at assorted pitches on
// two-second stereo samples, 512-frame blocks at 48 kHz. The ...AgainstBaseline runs time the mixer and
// the earlier one (BaselineMix.cpp) block by block, alternately, on two engines in the same state, and
// report the ratio of their times (below 1: the mixer is faster) after checking they gave the same bits.
//
// Counters: ns_per_voice_frame (mixing time / (blocks x 24 voices x 512 frames)), and the mean, 99th
// percentile and maximum time of one block in microseconds, from per-block clock readings. The minimum
// block time (and ns_per_voice_frame_min from it) shows the cost on an otherwise idle core, which the
// mean does not on a busy machine.

#include "BaselineMix.h"
#include "engine/SamplerEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
constexpr double kEngineRateHz = 48000.0;
constexpr double kFileRateHz = 44100.0;
constexpr uint32_t kSampleFrames = 88200; // two seconds at the file rate
constexpr int kBlockFrames = 512;
constexpr double kTwoPi = 6.283185307179586;

// Rounds a parameter value to the integer the instance hands to the engine.
int Quantised(double x)
{
  return static_cast<int>(x >= 0.0 ? x + 0.5 : x - 0.5);
}

void LoadSlot(SamplerEngine& engine, int s)
{
  engine.mSampleData[s] = std::make_unique<double[]>(2 * kSampleFrames);
  double* data = engine.mSampleData[s].get();
  for (uint32_t i = 0; i < kSampleFrames; ++i)
  {
    const double t = static_cast<double>(i) / kFileRateHz;
    data[i] = 0.5 * std::sin(kTwoPi * (110.0 + 40.0 * s) * t);
    data[kSampleFrames + i] = 0.5 * std::sin(kTwoPi * (165.0 + 30.0 * s) * t);
  }
  engine.mSampleFrames[s] = kSampleFrames;
  engine.mSampleChannels[s] = 2;
  engine.mSampleFileRate[s] = kFileRateHz;
}

// Five slots with their default parameters (attack as given), each holding a stereo sample, and 24 notes
// held over the slots' ranges: 4 or 5 voices per slot at pitches from -1 to +2 octaves.
void Prepare(SamplerEngine& engine, double attackSeconds)
{
  engine.ChangeEngineRate(kEngineRateHz);
  for (int s = 0; s < kNumSlots; ++s)
  {
    LoadSlot(engine, s);
    engine.mRateRatio[s] = kFileRateHz / kEngineRateHz;
    const int base = s * kParamsPerSlot;
    engine.ApplySlotParam(base + kActive, 1);
    engine.ApplySlotParam(base + kLowNote, 36);
    engine.ApplySlotParam(base + kHighNote, 127);
    engine.ApplySlotParam(base + kRootNote, 60);
    engine.ApplySlotParam(base + kSemitonesMultiply, Quantised((1.0 + 0.1 * s) * 10.0));
    engine.ApplySlotParam(base + kAttack, Quantised(attackSeconds * 100.0));
    engine.ApplySlotParam(base + kRelease, Quantised(1.5 * 100.0));
    engine.ApplySlotParam(base + kPan, s * 40 - 80);
    engine.ApplySlotParam(base + kAlternatePan, s % 2);
    engine.ApplySlotParam(base + kVolume, -6);
    engine.ApplySlotParam(base + kReverse, 0);
    engine.ApplySlotParam(base + kLoop, 1);
    // Only this slot is on while its notes go in, so each note starts exactly one voice.
    for (int other = 0; other < s; ++other)
    {
      engine.mActive[other] = false;
    }
    for (int n = 0; n < (s < 4 ? 5 : 4); ++n)
    {
      engine.HandleMidi(0x90, static_cast<uint8_t>(48 + 7 * n + s), static_cast<uint8_t>(70 + 10 * n), 0);
    }
  }
  for (int s = 0; s < kNumSlots; ++s)
  {
    engine.mActive[s] = true;
  }
}

// keepInAttack: every 1024 blocks the voices start their attack again, so they never reach sustain.
void RunMixBenchmark(benchmark::State& state, double attackSeconds, bool keepInAttack)
{
  SamplerEngine engine;
  Prepare(engine, attackSeconds);
  if (engine.mVoiceCount != kNumVoices)
  {
    state.SkipWithError("not all 24 voices started");
    return;
  }
  std::vector<double> left(kBlockFrames);
  std::vector<double> right(kBlockFrames);
  double* out[2] = {left.data(), right.data()};

  std::vector<double> blockNs;
  blockNs.reserve(1 << 20);
  for (auto _ : state)
  {
    const auto t0 = std::chrono::steady_clock::now();
    engine.Mix(out, kBlockFrames);
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    benchmark::ClobberMemory();
    if (blockNs.size() < blockNs.capacity())
    {
      blockNs.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    if (keepInAttack && (blockNs.size() % 1024) == 0)
    {
      for (int v = 0; v < kNumVoices; ++v)
      {
        engine.mVoiceLevel[v] = 0.0;
        engine.mVoiceStage[v] = kStageAttack;
      }
    }
  }
  if (engine.mVoiceCount != kNumVoices)
  {
    state.SkipWithError("voices ended during the run");
    return;
  }
  if (blockNs.empty()) return;

  double total = 0.0;
  for (double ns : blockNs)
  {
    total += ns;
  }
  const double mean = total / static_cast<double>(blockNs.size());
  std::sort(blockNs.begin(), blockNs.end());
  const size_t p99Index = std::min(blockNs.size() - 1, (blockNs.size() * 99) / 100);
  state.counters["ns_per_voice_frame"] = mean / (kNumVoices * static_cast<double>(kBlockFrames));
  state.counters["block_mean_us"] = mean / 1000.0;
  state.counters["block_p99_us"] = blockNs[p99Index] / 1000.0;
  state.counters["block_max_us"] = blockNs.back() / 1000.0;
  // The fastest block: what the mixer costs when nothing else competes for the core.
  state.counters["block_min_us"] = blockNs.front() / 1000.0;
  state.counters["ns_per_voice_frame_min"] =
      blockNs.front() / (kNumVoices * static_cast<double>(kBlockFrames));
  state.counters["block_budget_us"] = kBlockFrames / kEngineRateHz * 1e6;
  // Seconds of CPU time per voice-frame (shown with an SI prefix, "2n" being 2 ns): unlike the clock
  // readings above, it leaves out the time the process waited for a core.
  state.counters["cpu_s_per_voice_frame"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kNumVoices * kBlockFrames,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations() * kNumVoices * kBlockFrames);
}

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Both engines' voice tables hold the same bits.
bool SameVoices(const SamplerEngine& a, const SamplerEngine& b)
{
  return a.mVoiceCount == b.mVoiceCount && std::memcmp(a.mVoicePos, b.mVoicePos, sizeof(a.mVoicePos)) == 0 &&
         std::memcmp(a.mVoiceLevel, b.mVoiceLevel, sizeof(a.mVoiceLevel)) == 0 &&
         std::memcmp(a.mVoiceAmp, b.mVoiceAmp, sizeof(a.mVoiceAmp)) == 0 &&
         std::memcmp(a.mVoiceStage, b.mVoiceStage, sizeof(a.mVoiceStage)) == 0;
}

void RunAgainstBaseline(benchmark::State& state, double attackSeconds, bool keepInAttack)
{
  SamplerEngine engine;
  SamplerEngine baseline;
  Prepare(engine, attackSeconds);
  Prepare(baseline, attackSeconds);
  if (engine.mVoiceCount != kNumVoices || baseline.mVoiceCount != kNumVoices)
  {
    state.SkipWithError("not all 24 voices started");
    return;
  }
  std::vector<double> left(kBlockFrames), right(kBlockFrames);
  std::vector<double> baseLeft(kBlockFrames), baseRight(kBlockFrames);
  double* out[2] = {left.data(), right.data()};
  double* baseOut[2] = {baseLeft.data(), baseRight.data()};

  std::vector<double> mixNs, baseNs;
  mixNs.reserve(1 << 20);
  baseNs.reserve(1 << 20);
  bool same = true;
  bool mixFirst = true;
  for (auto _ : state)
  {
    // Alternately first, so that neither profits from the other warming the caches.
    for (int k = 0; k < 2; ++k)
    {
      const bool mix = (k == 0) == mixFirst;
      const auto t0 = std::chrono::steady_clock::now();
      if (mix)
        engine.Mix(out, kBlockFrames);
      else
        BaselineMix(baseline, baseOut, kBlockFrames);
      const auto t1 = std::chrono::steady_clock::now();
      std::vector<double>& record = mix ? mixNs : baseNs;
      if (record.size() < record.capacity())
        record.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    mixFirst = !mixFirst;
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(baseLeft.data());
    benchmark::ClobberMemory();
    same = same && left == baseLeft && right == baseRight;
    if (keepInAttack && (mixNs.size() % 1024) == 0)
    {
      for (SamplerEngine* e : {&engine, &baseline})
        for (int v = 0; v < kNumVoices; ++v)
        {
          e->mVoiceLevel[v] = 0.0;
          e->mVoiceStage[v] = kStageAttack;
        }
    }
  }
  if (!same || !SameVoices(engine, baseline))
  {
    state.SkipWithError("the mixer and the baseline gave different bits");
    return;
  }
  if (mixNs.empty()) return;
  double mixTotal = 0.0, baseTotal = 0.0;
  for (double ns : mixNs)
    mixTotal += ns;
  for (double ns : baseNs)
    baseTotal += ns;
  const double perFrame = kNumVoices * static_cast<double>(kBlockFrames);
  state.counters["ratio_median"] = Median(mixNs) / Median(baseNs);
  state.counters["ratio_min"] =
      *std::min_element(mixNs.begin(), mixNs.end()) / *std::min_element(baseNs.begin(), baseNs.end());
  state.counters["ratio_mean"] = mixTotal / baseTotal;
  state.counters["ns_per_voice_frame_min"] = *std::min_element(mixNs.begin(), mixNs.end()) / perFrame;
  state.counters["baseline_ns_per_voice_frame_min"] =
      *std::min_element(baseNs.begin(), baseNs.end()) / perFrame;
}

// Short attack: after the first blocks every voice sustains, the common case of held chords.
void BM_Mix24StereoVoicesSustained(benchmark::State& state)
{
  RunMixBenchmark(state, 0.01, false);
}

// Sixteen-second attack: every voice takes an envelope step on every frame.
void BM_Mix24StereoVoicesInAttack(benchmark::State& state)
{
  RunMixBenchmark(state, 16.0, true);
}

void BM_MixAgainstBaselineSustained(benchmark::State& state)
{
  RunAgainstBaseline(state, 0.01, false);
}

void BM_MixAgainstBaselineInAttack(benchmark::State& state)
{
  RunAgainstBaseline(state, 16.0, true);
}
} // namespace

BENCHMARK(BM_Mix24StereoVoicesSustained)->MinTime(2.0);
BENCHMARK(BM_Mix24StereoVoicesInAttack)->MinTime(1.0);
BENCHMARK(BM_MixAgainstBaselineSustained)->MinTime(2.0);
BENCHMARK(BM_MixAgainstBaselineInAttack)->MinTime(1.0);
