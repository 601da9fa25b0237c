#pragma once
// SfzSlotResult: what one run of an SFZ reader decided for one slot, and the constants the loading
// flow shares with the readers.

#include <array>
#include <string>

// Regions an SFZ file can assign: one per slot.
constexpr int kSfzSlots = 5;
// Parameters per slot; the reader returns values for kinds 1 (Low Note) to 11 (Loop).
constexpr int kSfzSlotParamKinds = 12;
// The value that tells the flow to leave a parameter as it is.
constexpr double kSfzNotGiven = -101.0;
// Caption of the box the flow shows when a region's sample cannot be opened.
constexpr const char* kSfzWarningCaption = "Wrong Sample in SFZ file";
// Name shown by a slot that the SFZ file has no region for.
constexpr const char* kSfzClearedName = "...";

struct SfzSlotResult
{
  enum class Action
  {
    kNothing, // leave the slot as it is (file not readable, or the slot's region cannot be taken)
    kLoad,    // load samplePath into the slot, then set parameters 1..11 from params in that order
    kClear    // the file has no region for the slot: clear it, showing kSfzClearedName
  };

  Action action = Action::kNothing;
  std::string samplePath; // kLoad: the region's sample file, shorter than kSfzMaxPathBytes
  // kLoad: value for slot parameter kind k at index k (1..11, in the parameters' own units);
  // kSfzNotGiven where the file gives no value. Index 0 (Active) is always kSfzNotGiven.
  std::array<double, kSfzSlotParamKinds> params;
  // A sample of this slot's region could not be opened while the slot's warning flag was clear: the
  // flow shows a box with caption kSfzWarningCaption and warningText, and sets the flag.
  bool showWarning = false;
  std::string warningText; // "Wrong Sample in SFZ file: <sample path>", of any length

  SfzSlotResult() { params.fill(kSfzNotGiven); }
};
