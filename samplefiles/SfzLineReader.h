#pragma once
// ReadSfzSlot: one run of the SFZ instrument reader, for one slot.
//
// An SFZ file fills the five slots from its first five regions, region n going to slot n. The loading
// flow runs the reader once for every slot, 0 to 4, with the same file, and carries out what each run
// decided: load the region's sample into the slot and set the slot's parameters 1..11 from the values
// returned (values below -100 leave a parameter alone), clear the slot because the file has no region
// for it, or leave the slot as it is. The reader itself changes nothing but reads the SFZ file and tests
// whether sample files can be opened.
//
// The reader understands one opcode per line. Trailing spaces, tabs, carriage returns and line feeds are
// dropped, leading white space is kept; a line without "=" is a header, any other line is split at its
// first "=" into key and value, neither trimmed further. A header ends the region in progress when a
// sample is pending and the current header is a region header ("<region>", or nothing yet); value lines
// set region values under a region header and file-wide values under any other header.
//
// Threads: any thread; the flow runs it on the thread that loads the file, under the instance mutex. It
// allocates and does file I/O, so never on the audio thread.

#include <array>
#include <string>
#include <string_view>

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

// Reads the SFZ file at sfzPath for slot (0..4) and returns what the slot gets. warningShown is the
// slot's SFZ-warning flag: while it is set, no warning is asked for; a run asks for one at most once.
// A slot outside 0..4 and a file that cannot be opened (missing, a folder or other non-regular file)
// give kNothing, as does a run that runs out of memory. No exception leaves it.
SfzSlotResult ReadSfzSlot(std::string_view sfzPath, int slot, bool warningShown) noexcept;
