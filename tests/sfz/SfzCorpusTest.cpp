// Every instrument of the corpus (tests/data/sfz-corpus: public instruments as their authors wrote
// them, and files written after the ways instruments are written) loaded into a real instance: its
// five slots hold what the reference reader reads from the file, except for instruments from which
// the line-by-line reader takes a region for slot 0, which load exactly as that reader decides.

#include "SfzReference.h"
#include "SfzTestFiles.h"
#include "engine/EngineConstants.h"
#include "plugin/KestruneFixture.h"
#include "samplefiles/SfzReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

// What a slot holds after loading: the view's path and name, and parameters 1..11.
struct SlotState
{
  std::string path;
  std::string name;
  std::array<double, kParamsPerSlot> params{};
};

bool SameFile(const std::string& a, const std::string& b)
{
  std::error_code error;
  return a == b || fs::equivalent(a, b, error);
}

class SfzCorpus : public plugintest::KestruneTest
{
protected:
  void SetUp() override
  {
    KestruneTest::SetUp();
    fs::copy(KESTRUNE_TEST_DATA "/sfz-corpus", mDir.Path(), fs::copy_options::recursive);
  }

  std::vector<std::string> Instruments() const
  {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(mDir.Path()))
      if (entry.path().extension() == ".sfz") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
  }

  // A fresh instance, opened as a host opens it; returns its slots.
  std::array<SlotState, kNumSlots> Fresh()
  {
    IEffectInstanceInfo info;
    info.mHostCallback = &plugintest::TestHost::Callback;
    mPlug = std::make_unique<CLS_KESTRUNE>(info);
    OpenAt(44100.0);
    return Slots();
  }

  std::array<SlotState, kNumSlots> Slots()
  {
    std::array<SlotState, kNumSlots> slots;
    for (int s = 0; s < kNumSlots; ++s)
    {
      slots[s].path = mPlug->File(s).Path();
      slots[s].name = mPlug->File(s).DisplayName();
      for (int k = kLowNote; k <= kLoop; ++k)
        slots[s].params[k] = mPlug->GetParam(s * kParamsPerSlot + k)->Value();
    }
    return slots;
  }

  // The value a parameter takes from the reader's value: clamped, whole-numbered parameters rounded.
  double AsSet(int slot, int kind, double value)
  {
    const IParam* param = mPlug->GetParam(slot * kParamsPerSlot + kind);
    double low = 0.0, high = 0.0;
    param->GetBounds(&low, &high);
    value = std::clamp(value, low, high);
    return param->Type() == IParam::kTypeDouble ? value : std::floor(value + 0.5);
  }

  // The slots the reference regions give, from the fresh instance's slots.
  std::array<SlotState, kNumSlots> FromReference(const std::vector<sfzref::Region>& regions,
                                                 std::array<SlotState, kNumSlots> slots)
  {
    for (int s = 0; s < kNumSlots; ++s)
    {
      if (static_cast<size_t>(s) >= regions.size())
      {
        if (s > 0) slots[s].name = kSfzClearedName; // slot 0 keeps what it had when there is no region
        continue;
      }
      const sfzref::Region& r = regions[static_cast<size_t>(s)];
      slots[s].path = r.path;
      slots[s].name.clear(); // not compared
      const double values[] = {0.0,
                               double(r.lowKey),
                               double(r.highKey),
                               double(r.root),
                               r.keyTrackCents * 0.01,
                               r.attack,
                               r.release,
                               r.pan,
                               0.0,
                               r.volume,
                               r.reverse ? 1.0 : 0.0,
                               r.loop ? 1.0 : 0.0};
      for (int k = kLowNote; k <= kLoop; ++k)
        slots[s].params[k] = AsSet(s, k, values[k]);
    }
    return slots;
  }

  // The slots the line-by-line reader's runs give, from the fresh instance's slots.
  std::array<SlotState, kNumSlots> FromLines(const std::array<SfzSlotResult, kSfzSlots>& runs,
                                             std::array<SlotState, kNumSlots> slots)
  {
    for (int s = 0; s < kNumSlots; ++s)
    {
      if (runs[s].action == SfzSlotResult::Action::kClear) slots[s].name = kSfzClearedName;
      if (runs[s].action != SfzSlotResult::Action::kLoad) continue;
      slots[s].path = runs[s].samplePath;
      slots[s].name.clear(); // not compared
      for (int k = kLowNote; k <= kLoop; ++k)
        if (runs[s].params[k] != kSfzNotGiven) slots[s].params[k] = AsSet(s, k, runs[s].params[k]);
    }
    return slots;
  }

  // The differences between two sets of slots, one line each; empty when they agree. A loaded slot's
  // name is not compared (a FLAC sample loads as "wrong audio").
  static std::string Differences(const std::array<SlotState, kNumSlots>& expected,
                                 const std::array<SlotState, kNumSlots>& actual)
  {
    std::ostringstream out;
    for (int s = 0; s < kNumSlots; ++s)
    {
      if (!SameFile(expected[s].path, actual[s].path))
        out << "slot " << s << " path " << actual[s].path << ", expected " << expected[s].path << "\n";
      if (expected[s].name == kSfzClearedName && actual[s].name != kSfzClearedName)
        out << "slot " << s << " not cleared\n";
      for (int k = kLowNote; k <= kLoop; ++k)
        if (std::fabs(expected[s].params[k] - actual[s].params[k]) > 1e-6)
          out << "slot " << s << " parameter " << k << " " << actual[s].params[k] << ", expected "
              << expected[s].params[k] << "\n";
    }
    return out.str();
  }

  wavtest::TempDir mDir;
};
} // namespace

TEST_F(SfzCorpus, EveryInstrumentFillsItsSlotsAsTheReferenceReadsItOrAsTheLineReaderAlwaysDid)
{
  const std::vector<std::string> instruments = Instruments();
  ASSERT_GE(instruments.size(), 22u);
  int asReference = 0;
  int byLines = 0;
  std::string unlike;
  for (const std::string& sfz : instruments)
  {
    SCOPED_TRACE(sfz);
    const std::vector<sfzref::Region> regions = sfzref::ReadRegions(sfz);
    EXPECT_FALSE(regions.empty());
    for (const sfzref::Region& r : regions)
    {
      fs::create_directories(fs::path(r.path).lexically_normal().parent_path());
      const wavtest::Bytes wav = sfztest::TinyWav();
      std::ofstream(r.path, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), wav.size());
    }
    const auto lineRuns = sfztest::ReadAllSlots(sfz);
    const bool kept = lineRuns[0].action == SfzSlotResult::Action::kLoad;

    const std::array<SlotState, kNumSlots> fresh = Fresh();
    std::string path = sfz;
    mPlug->OnExtraParam(0, path.data());
    const std::array<SlotState, kNumSlots> loaded = Slots();

    const std::string fromReference = Differences(FromReference(regions, fresh), loaded);
    if (fromReference.empty())
      ++asReference;
    else
      unlike += "  " + fs::path(sfz).filename().string() + (kept ? " (line reader): " : ": ") +
                fromReference.substr(0, fromReference.find('\n') + 1);
    if (kept)
    {
      ++byLines;
      EXPECT_EQ(Differences(FromLines(lineRuns, fresh), loaded), "");
    }
    else
      EXPECT_EQ(fromReference, "");

    // One reading for all five slots decides as the five runs do.
    const std::array<SfzSlotResult, kSfzSlots> together = ReadSfzSlots(sfz, {});
    for (int s = 0; s < kSfzSlots; ++s)
    {
      const SfzSlotResult alone = ReadSfzSlot(sfz, s, false);
      EXPECT_EQ(together[s].action, alone.action) << "slot " << s;
      EXPECT_EQ(together[s].samplePath, alone.samplePath) << "slot " << s;
      EXPECT_EQ(together[s].params, alone.params) << "slot " << s;
    }
  }
  std::cout << "SFZ corpus: " << asReference << " of " << instruments.size()
            << " instruments fill the five slots as the reference reader does; " << byLines
            << " are read by the line reader.\n"
            << (unlike.empty() ? "" : "Unlike the reference:\n" + unlike);
  EXPECT_GT(byLines, 0);
  EXPECT_LT(byLines, static_cast<int>(instruments.size()));
}
