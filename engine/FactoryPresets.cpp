// The default preset and the eight factory presets, made by the constructor's last step.

#include "engine/Kestrune.h"

#include <array>
#include <cstddef>
#include <tuple>

namespace
{
// One slot's twelve values in kind order, typed as MakePreset reads them: an int for the enumerations
// and the integer parameters, a double for Semitones Multiply, Attack and Release.
using SlotValues = std::tuple<int, int, int, int, double, double, double, int, int, int, int, int>;

struct PresetShared
{
  double semitones;
  double attackSeconds;
  double releaseSeconds;
  int volumeDb;
  int loop;
};

struct PresetSlot
{
  int lowNote;
  int highNote;
  int rootNote;
  int panPercent;
  int alternatePan;
};

constexpr int kYes = 1;
constexpr int kNo = 0;

SlotValues MakeSlot(const PresetShared& shared, const PresetSlot& slot)
{
  return SlotValues{kYes,
                    slot.lowNote,
                    slot.highNote,
                    slot.rootNote,
                    shared.semitones,
                    shared.attackSeconds,
                    shared.releaseSeconds,
                    slot.panPercent,
                    slot.alternatePan,
                    shared.volumeDb,
                    kNo,
                    shared.loop};
}

struct FactoryPreset
{
  const char* name;
  PresetShared shared;
  std::array<PresetSlot, kNumSlots> slots;
};

// Slots: low note, high note, root note, pan, alternate pan.
const FactoryPreset kFactoryPresets[] = {
    {"Pluck",
     {1.0, 0.01, 0.5, -3, kYes},
     {{{12, 47, 41, -80, kYes},
       {48, 59, 53, 80, kYes},
       {60, 71, 65, -90, kYes},
       {72, 83, 77, 90, kYes},
       {84, 127, 89, -90, kYes}}}},
    {"Lead",
     {1.0, 0.8, 1.5, -3, kYes},
     {{{12, 47, 41, -80, kYes},
       {48, 59, 53, 80, kYes},
       {60, 71, 65, -90, kYes},
       {72, 83, 77, 90, kYes},
       {84, 127, 89, -90, kYes}}}},
    {"Pad",
     {1.0, 3.0, 4.0, -3, kYes},
     {{{12, 59, 36, -70, kYes},
       {12, 59, 36, 70, kYes},
       {60, 127, 72, -80, kYes},
       {60, 127, 72, 90, kYes},
       {60, 127, 72, -90, kYes}}}},
    {"Release Long",
     {1.0, 1.0, 5.0, -3, kYes},
     {{{12, 59, 36, -80, kYes},
       {12, 59, 36, 80, kYes},
       {60, 127, 72, -90, kYes},
       {60, 127, 72, 100, kYes},
       {60, 127, 72, -100, kYes}}}},
    {"Drum",
     {3.0, 0.0, 0.1, 0, kNo},
     {{{36, 40, 36, 0, kNo},
       {41, 47, 41, -60, kYes},
       {48, 52, 48, 70, kYes},
       {53, 59, 53, -80, kYes},
       {60, 64, 60, 90, kYes}}}},
    {"Drum Next Octaves",
     {3.0, 0.0, 0.1, 0, kNo},
     {{{65, 71, 65, -60, kYes},
       {72, 76, 72, 70, kYes},
       {77, 83, 77, -80, kYes},
       {84, 88, 84, 80, kYes},
       {89, 95, 89, -90, kYes}}}},
    {"Double Octaves",
     {2.0, 0.8, 1.5, 0, kYes},
     {{{36, 127, 41, 0, kNo},
       {36, 127, 41, 0, kNo},
       {36, 127, 41, 0, kNo},
       {36, 127, 41, 0, kNo},
       {36, 127, 41, 0, kNo}}}},
    {"Half Octaves",
     {0.5, 0.8, 1.5, 0, kYes},
     {{{12, 127, 41, 0, kNo},
       {12, 127, 41, 0, kNo},
       {13, 127, 41, 0, kNo},
       {13, 127, 41, 0, kNo},
       {12, 127, 41, 0, kNo}}}},
};
} // namespace

void CLS_KESTRUNE::MakeFactoryPresets()
{
  for (const FactoryPreset& preset : kFactoryPresets)
  {
    const auto& sl = preset.slots;
    const auto& sh = preset.shared;
    // All 60 values in parameter order, each with its own type, as one MakePreset call.
    const auto values = std::tuple_cat(MakeSlot(sh, sl[0]), MakeSlot(sh, sl[1]), MakeSlot(sh, sl[2]),
                                       MakeSlot(sh, sl[3]), MakeSlot(sh, sl[4]));
    static_assert(std::tuple_size<decltype(values)>::value == kNumParams, "one value per parameter");
    std::apply([&](auto... v) { MakePreset(preset.name, v...); }, values);
  }
}
