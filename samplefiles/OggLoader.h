#pragma once
// The Ogg Vorbis branches of the loading flow's header step and data step, on libvorbisfile.
//
// Both run on the loading thread. Each uses its own
// decoder record, released with ov_clear before returning (also after a failed open): nothing stays
// open between the steps and no record is shared between threads.

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileInfo.h"

#include <cstdint>

// Header step: ov_fopen, ov_pcm_total(-1), ov_info(-1), ov_clear. Reports the stream's total frames,
// channels and rate (kind kOgg; SampleRateRatio rounds its ratio to 32-bit float precision). Returns
// false (info untouched) when the file cannot be opened as Ogg Vorbis, when ov_pcm_total answers with
// an error code (a stream that cannot be measured, such as one that cannot seek) or a count that does
// not fit 32 bits, or when the channel count or rate cannot be a slot's (channels outside 1 ... 32767,
// rate not positive or beyond 32 bits).
bool ReadOggHeader(const char* path, SampleFileInfo& info);

// Data step: decodes the stream into a fresh planar buffer of SamplePlanes(channels) planes (see
// SampleBuffer.h), reading at most kOggReadFrames frames per ov_read_float call. Channel 0 goes to
// plane 0; when channels >= 2, channel 1 goes to plane 1 (0.0 from links of a chained stream that have
// no second channel); further channels are not stored. The buffer grows with what decodes
// (SampleDataBuilder), so out holds exactly the frames the decoder delivered: at most frames (the header
// step's count; a stream longer than that is cut there), fewer when the stream ends sooner (its last page
// claimed more than it holds) or fails (decoding stops at the first error). Returns false when the file
// cannot be opened now or its frames cannot be held in memory (the caller clears the slot with "wrong
// audio"). Touches nothing but the file and out: the caller may hold the instance mutex or not.
bool LoadOggSampleData(const char* path, uint32_t frames, int channels, DecodedSample& out);
