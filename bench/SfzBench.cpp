// Reading SFZ instruments the way the loading flow does, on the corpus of the reader tests, and the
// search for a sample that is nowhere, in a folder of many files (it ends at its time bound).

#include "BenchFiles.h"
#include "samplefiles/SampleLocator.h"
#include "samplefiles/SfzFullReader.h"
#include "samplefiles/SfzReader.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace
{
namespace fs = std::filesystem;

// The corpus copied into a temp folder, with a tiny WAV file at each of an instrument's first five
// sample paths.
class Corpus
{
public:
  Corpus()
  {
    fs::copy(KESTRUNE_SFZ_CORPUS, mFolder.Dir(), fs::copy_options::recursive);
    for (const char* sfz : {kDrumKit, kPiano})
      for (const SfzMissingSample& missing : ReadSfzRegions(Path(sfz), kSfzSlots, {}).missing)
        if (missing.slot < kSfzSlots)
        {
          fs::create_directories(fs::path(missing.path).lexically_normal().parent_path());
          benchfiles::WriteSineWav(missing.path, 64, 1, 44100, 16);
        }
  }

  std::string Path(const char* relative) { return mFolder.Dir() + "/" + relative; }

  static constexpr const char* kDrumKit =
      "sfzinstruments+DrumGizmo.MuldjordKit/DrumGizmo/MuldjordKit/Stereo/DrumGizmo MuldjordKit.sfz";
  static constexpr const char* kPiano =
      "sfzinstruments+MatsHelgesson.MaestroConcertGrandPiano/Maestro Concert Grand.sfz";

private:
  benchfiles::TempFolder mFolder{"kestrune-sfz-bench"};
};

Corpus& TheCorpus()
{
  static Corpus corpus;
  return corpus;
}

// The five runs of ReadSfzSlot, one per slot, as the flow makes them.
void BM_SfzFiveRuns(benchmark::State& state, const char* instrument)
{
  const std::string path = TheCorpus().Path(instrument);
  for (auto _ : state)
    for (int slot = 0; slot < kSfzSlots; ++slot)
      benchmark::DoNotOptimize(ReadSfzSlot(path, slot, true));
}

// One reading for the five slots.
void BM_SfzOneReading(benchmark::State& state, const char* instrument)
{
  const std::string path = TheCorpus().Path(instrument);
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadSfzSlots(path, {true, true, true, true, true}));
}

BENCHMARK_CAPTURE(BM_SfzFiveRuns, DrumKit, Corpus::kDrumKit)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SfzOneReading, DrumKit, Corpus::kDrumKit)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SfzFiveRuns, Piano, Corpus::kPiano)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SfzOneReading, Piano, Corpus::kPiano)->Unit(benchmark::kMillisecond);

// A search for a file that is in none of state.range(0) files in folders of 100.
void BM_LocateMissingSample(benchmark::State& state)
{
  benchfiles::TempFolder folder("kestrune-locate-bench");
  for (int64_t i = 0; i < state.range(0); ++i)
  {
    const std::string sub = folder.Dir() + "/f" + std::to_string(i / 100);
    fs::create_directories(sub);
    std::ofstream(sub + "/s" + std::to_string(i) + ".wav");
  }
  const SampleSearchHints hints{folder.Dir(), {}, {}};
  for (auto _ : state)
    benchmark::DoNotOptimize(LocateSample(folder.Dir() + "/gone/kick.wav", hints));
}
BENCHMARK(BM_LocateMissingSample)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond);
} // namespace
