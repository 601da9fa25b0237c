#pragma once
// The FLAC branches of the loading flow's header step and data step, on libFLAC's stream decoder.
//
// Both run on the loading thread. Each uses its own decoder, deleted before returning (which closes the
// file): nothing stays open between the steps and no decoder is shared between threads. Every sample
// width FLAC has (4 ... 32 bits) and every channel count (1 ... 8) is read; an integer sample v of b
// bits becomes v / 2^(b-1), the scaling of the WAV reader's integer PCM (16 bits: v * 1/32768).

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileInfo.h"

#include <cstdint>

// Header step: the STREAMINFO block. Reports its total frames, channels and rate (kind kFlac). A stream
// that does not state its length (total 0, as a streaming encoder may leave it) reports UINT32_MAX,
// the most a slot holds: the data step then counts what decodes. Returns false (info untouched) when the
// file cannot be opened as FLAC, has no valid STREAMINFO, or states a length that does not fit 32 bits.
bool ReadFlacHeader(const char* path, SampleFileInfo& info);

// Data step: decodes the stream into a fresh planar buffer of SamplePlanes(channels) planes (see
// SampleBuffer.h). Channel 0 goes to plane 0; when channels >= 2, channel 1 goes to plane 1 (0.0 from
// frames that have one channel); further channels are not stored. Each frame is scaled by its own
// sample width. The buffer grows with what decodes (SampleDataBuilder), so out holds exactly the frames
// the decoder delivered: at most frames (the header step's count; a longer stream is cut there),
// fewer when the stream ends sooner or fails (decoding stops at the first error the decoder reports,
// before the damaged frame). Returns false when the file cannot be opened now or its frames cannot be
// held in memory (the caller clears the slot with "wrong audio"). Touches nothing but the file and
// out: the caller may hold the instance mutex or not.
bool LoadFlacSampleData(const char* path, uint32_t frames, int channels, DecodedSample& out);
