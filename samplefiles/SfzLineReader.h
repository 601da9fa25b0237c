#pragma once
// ReadSfzSlotByLines: one run of the line-by-line SFZ reader, for one slot.
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

#include "samplefiles/SfzSlotResult.h"

#include <string_view>

// Reads the SFZ file at sfzPath for slot (0..4) and returns what the slot gets. warningShown is the
// slot's SFZ-warning flag: while it is set, no warning is asked for; a run asks for one at most once.
// A slot outside 0..4 and a file that cannot be opened (missing, a folder or other non-regular file)
// give kNothing, as does a run that runs out of memory. No exception leaves it.
SfzSlotResult ReadSfzSlotByLines(std::string_view sfzPath, int slot, bool warningShown) noexcept;
