#pragma once
// The Ogg Vorbis branches of the loading flow's header step and data step, on libvorbisfile.
//
// Both run on the loading thread; the data step runs under the instance mutex. Each uses its own
// decoder record, released with ov_clear before returning (also after a failed open): nothing stays
// open between the steps and no record is shared between threads.

#include "samplefiles/SampleFileInfo.h"

#include <cstdint>

// Header step: ov_fopen, ov_pcm_total(-1), ov_info(-1), ov_clear. Reports the stream's total frames,
// channels and rate (kind kOgg; SampleRateRatio rounds its ratio to 32-bit float precision). Returns
// false (info untouched) when the file cannot be opened as Ogg Vorbis, when ov_pcm_total answers with
// an error code (a stream that cannot be measured, such as one that cannot seek) or a count that does
// not fit 32 bits, or when the channel count or rate cannot be a slot's (channels outside 1 ... 32767,
// rate not positive or beyond 32 bits).
bool ReadOggHeader(const char* path, SampleFileInfo& info);

// Data step: decodes the whole stream into data, a planar buffer of channels x frames doubles that are
// all 0.0 (from AllocateSampleData), reading at most kOggReadFrames frames per ov_read_float call.
// Channel 0 goes to plane 0; when channels >= 2, channel 1 goes to plane 1 (only from links of the
// stream that have a second channel); further channels are not stored. Decoding stops at the end, at
// the first error (the rest stays 0), or when frames frames are stored: a stream longer than its
// header said is cut there and never writes past the buffer. Returns false when the file cannot be
// opened now (the caller clears the slot with "wrong audio").
bool LoadOggSampleData(const char* path, double* data, uint32_t frames, int channels);
