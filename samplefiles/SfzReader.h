#pragma once
// ReadSfzSlot: one run of the SFZ instrument reader, for one slot.
//
// An SFZ file fills the five slots from its first five regions, region n going to slot n. The loading
// flow runs the reader once for every slot, 0 to 4, with the same file, and carries out what each run
// decided: load the region's sample into the slot and set the slot's parameters 1..11 from the values
// returned (values below -100 leave a parameter alone), clear the slot because the file has no region
// for it, or leave the slot as it is.
//
// Two readers share the work. A file from which the line-by-line reader (SfzLineReader.h: one opcode
// per line, a small set of opcodes) takes a region for slot 0 is read by it for every slot, as it
// always was, so instruments and projects that loaded before load the same. Any other file is read
// by the full reader (SfzFullReader.h: headers and opcodes anywhere on a line, comments, #define,
// #include, header inheritance, key=, note names with flats, paths with spaces, moved samples), which
// gives every parameter 1..11 a value: the region's, else the SFZ default.
//
// Threads: any thread but the audio thread. It reads files and, for samples that are missing, searches
// folders (bounded, SampleSearchLimits.h): run it without the instance mutex where the flow allows.

#include "samplefiles/SfzSlotResult.h"

#include <array>
#include <string_view>

// Reads the SFZ file at sfzPath for slot (0..4) and returns what the slot gets. warningShown is the
// slot's SFZ-warning flag: while it is set, no warning is asked for; a run asks for one at most once.
// A slot outside 0..4 and a file that cannot be opened give kNothing. No exception leaves it.
SfzSlotResult ReadSfzSlot(std::string_view sfzPath, int slot, bool warningShown) noexcept;

// The runs of all five slots at once, reading the file with the full reader once instead of five
// times (so a missing sample is searched for once). warningShown holds the five slots' flags. Gives
// the same results as ReadSfzSlot for slots 0 to 4.
std::array<SfzSlotResult, kSfzSlots> ReadSfzSlots(std::string_view sfzPath,
                                                  const std::array<bool, kSfzSlots>& warningShown) noexcept;
