#pragma once
// Which reader a slot's file goes to, decided by its extension, and the header and data steps of the
// three sample kinds behind one call each. Loading thread; see WavLoader.h, OggLoader.h and FlacLoader.h.

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileInfo.h"

#include <cstdint>
#include <string_view>

// The kinds the file dialog offers, space separated.
constexpr const char* kSampleFileExtensions = "wav ogg flac sfz";

enum class SlotFileType
{
  kSfz, // an instrument file: handed over to the SFZ reader
  kWav,
  kOgg,
  kFlac,
  kOther // no kind this program reads: the slot shows "wrong audio"
};

// The extension tested with MatchesKeyword against "sfz", then "wav", then "ogg", then "flac". An empty
// extension (a path without ".") matches "sfz" first, and so does any beginning of it ("s", "sf").
SlotFileType TypeOfExtension(std::string_view extension);

// The header step of a WAV, Ogg or FLAC file; false for the other types and for files the reader refuses.
bool ReadSampleHeader(SlotFileType type, const char* path, SampleFileInfo& info);

// The data step of a WAV, Ogg or FLAC file: a fresh planar buffer of SamplePlanes(channels) planes holding
// the frames that decode, at most frames (the header step's count), in out; out.frames is the slot's frame
// count from then on. False when the file cannot be opened now or its frames cannot be held in memory, and
// for the other types. Needs no lock: the editor's route runs it without the instance mutex and publishes
// out.
bool LoadSampleFileData(SlotFileType type, const char* path, uint32_t frames, int channels,
                        DecodedSample& out);
