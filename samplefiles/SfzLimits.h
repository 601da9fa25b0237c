#pragma once
// Tunables of the SFZ instrument readers.

#include <cstddef>

// Size of the fixed path fields a sample path from an SFZ file ends up in (the slot view's path and the
// saved extra-parameter text), terminator included. A sample path that does not fit is refused like a
// sample file that cannot be opened.
constexpr size_t kSfzMaxPathBytes = 1024;

// The full reader's preprocessing. An instrument names its include files by their paths, and files
// can include each other or themselves: these bound what one instrument can make the reader do.
// Include files open inside each other at most this deep (the instrument file is level 0).
constexpr int kSfzMaxIncludeDepth = 16;
// "#include" lines carried out per instrument: pianos include one small file per key and layer, some
// hundreds of times.
constexpr int kSfzMaxIncludes = 4096;
// A source file (the instrument or an include file) larger than this is not read.
constexpr size_t kSfzMaxSourceBytes = size_t{8} << 20;
// The expanded text stops growing here; what comes after it is not read. The source files read for one
// instrument, all together, are bounded the same.
constexpr size_t kSfzMaxExpandedBytes = size_t{8} << 20;
// A "#define" value longer than this, once expanded, is cut here: values defined from values can
// otherwise double in size with every line.
constexpr size_t kSfzMaxDefineBytes = 1024;

// Missing region samples the full reader searches for (SampleLocator) per reading of an instrument;
// past this, a missing sample is passed over unsearched. Each search takes at most
// kSampleSearchMaxTime.
constexpr int kSfzMaxSampleSearches = 5;
