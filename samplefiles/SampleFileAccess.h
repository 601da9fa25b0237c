#pragma once
// Which reader a slot's file goes to, decided by its extension, and the header and data steps of the
// two sample kinds behind one call each. Loading thread; see WavLoader.h and OggLoader.h.

#include "samplefiles/SampleFileInfo.h"

#include <cstdint>
#include <string_view>

// The kinds the file dialog offers, space separated.
constexpr const char* kSampleFileExtensions = "wav ogg sfz";

enum class SlotFileType
{
  kSfz, // an instrument file: handed over to the SFZ reader
  kWav,
  kOgg,
  kOther // no kind this program reads: the slot shows "wrong audio"
};

// The extension tested with MatchesKeyword against "sfz", then "wav", then "ogg". An empty extension
// (a path without ".") matches "sfz" first, and so does any beginning of it ("s", "sf").
SlotFileType TypeOfExtension(std::string_view extension);

// The header step of a WAV or Ogg file; false for the other types and for files the reader refuses.
bool ReadSampleHeader(SlotFileType type, const char* path, SampleFileInfo& info);

// The data step of a WAV or Ogg file into a zeroed planar buffer of channels x frames doubles; false
// when the file cannot be opened now, and for the other types.
bool LoadSampleFileData(SlotFileType type, const char* path, double* data, uint32_t frames, int channels);
