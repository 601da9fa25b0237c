#pragma once
// The WAV branches of the loading flow's header step and data step.
//
// Both run on the loading thread. Each opens its own
// WavReader and closes it before returning: nothing stays open between the steps.

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileInfo.h"

#include <cstdint>

// Header step: opens path with a WavReader and reports its frames, channels and sample rate (kind
// kWav). Returns false (info untouched) when WavReader::Open refuses the file, and also when the
// channel count does not fit a slot's 16-bit signed count or the sample rate is 0 (a rate of 0 would
// make the slot's duration a division by zero).
bool ReadWavHeader(const char* path, SampleFileInfo& info);

// Data step: reads the WAV file at path into a fresh planar buffer of SamplePlanes(channels) planes
// (see SampleBuffer.h). Channel 0 goes to plane 0; when channels >= 2, channel 1 goes to plane 1 (0.0
// when the file now has one channel). The file's frames are split by the file's own channel count, so
// further channels are dropped. out holds the frames the file delivered: at most
// frames (the header step's count), fewer when the file shrank since. The header's count is bounded by
// the file's size, so the buffer is made once at that size. Returns false when the file cannot be
// opened now or its frames cannot be held in memory (the caller clears the slot with "wrong audio").
// Touches nothing but the file and out: the caller may hold the instance mutex or not.
bool LoadWavSampleData(const char* path, uint32_t frames, int channels, DecodedSample& out);
