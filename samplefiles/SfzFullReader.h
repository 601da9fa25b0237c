#pragma once
// The full SFZ reader: reads an instrument file as SFZ files are written and takes its first regions
// that name a sample for the slots.
//
// The text is preprocessed (comments, #define, #include: SfzPreprocessor.h) and read as headers and
// opcodes anywhere on a line (SfzElementReader.h). Header levels inherit: a region's opcode comes from
// the region, else its <group>, else its <master>, else its <global> (SfzOpcodeSet.h). A new <global>
// starts master and group afresh, a new <master> starts the group afresh, a new <group> starts itself
// afresh. <control> sets default_path, note_offset and octave_offset for what follows (they are taken
// under any header). Opcodes before the first header, and under other headers (<curve>, <effect>,
// ...), set nothing.
//
// A region names a sample when its sample (inherited or its own) is a file name; generators ("*sine")
// name none. The path is default_path + sample, relative to the instrument file's folder unless it is
// absolute. A path that does not open is looked for (SampleLocator.h: letter case, then the same name
// in the instrument's folder, beside the samples found before it and in the KESTRUNE_SAMPLE_PATH
// folders), at most kSfzMaxSampleSearches times per reading. A region whose sample is not found is
// passed over: the next region that names a sample takes its slot.
//
// Threads: any thread but the audio thread. It reads files and may search folders for up to
// kSampleSearchMaxTime per missing sample, so it belongs outside the instance mutex.

#include "samplefiles/SampleLocator.h"
#include "samplefiles/SfzSlotResult.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct SfzFullRegion
{
  std::string samplePath;                        // a file that opens, shorter than kSfzMaxPathBytes
  std::array<double, kSfzSlotParamKinds> params; // SfzSlotParams of the region
};

struct SfzMissingSample
{
  int slot;         // the slot the region would have filled
  std::string path; // the path the file named
};

struct SfzFullReading
{
  bool opened = false; // the instrument file could be read
  std::vector<SfzFullRegion>
      regions; // the first regions whose samples were found, at most as many as asked for
  std::vector<SfzMissingSample> missing; // samples not found, in the order met
};

// Reads the instrument at sfzPath until it has regionsWanted regions (or to its end). searchFolders are
// the extra folders of the sample search.
SfzFullReading ReadSfzRegions(const std::string& sfzPath, int regionsWanted,
                              const std::vector<std::string>& searchFolders);

// What slot gets from a reading that went at least up to its region: kLoad for a region found, kClear
// for a slot past the last region, but kNothing for slot 0 (an instrument without a single region
// leaves slot 0 as it is) and for a file that could not be read. A missing sample met while the slot's
// region was looked for asks for a warning unless warningShown is set (the first one only).
SfzSlotResult SfzSlotResultOf(const SfzFullReading& reading, int slot, bool warningShown);

// One slot's run of the full reader, with the search folders of the environment. No exception leaves
// it: a slot outside 0..4 or a run out of memory gives kNothing.
SfzSlotResult ReadSfzSlotFull(std::string_view sfzPath, int slot, bool warningShown) noexcept;
