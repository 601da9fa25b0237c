#pragma once
// The WAV branches of the loading flow's header step and data step.
//
// Both run on the loading thread; the data step runs under the instance mutex. Each opens its own
// WavReader and closes it before returning: nothing stays open between the steps.

#include "samplefiles/SampleFileInfo.h"

#include <cstdint>

// Header step: opens path with a WavReader and reports its frames, channels and sample rate (kind
// kWav). Returns false (info untouched) when WavReader::Open refuses the file, and also when the
// channel count does not fit a slot's 16-bit signed count or the sample rate is 0 (a rate of 0 would
// make the slot's duration a division by zero).
bool ReadWavHeader(const char* path, SampleFileInfo& info);

// Data step: fills data, a planar buffer of channels x frames doubles that are all 0.0 (from
// AllocateSampleData), from the WAV file at path. Channel 0 goes to plane 0; when channels >= 2 and the
// file has two or more channels, channel 1 goes to plane 1. The file's frames are split by the file's
// own channel count, so further channels are dropped and their planes stay 0 (as on the Ogg path).
// At most frames frames are stored; frames the file does not deliver stay 0. Returns false when the
// file cannot be opened now (the caller clears the slot with "wrong audio").
bool LoadWavSampleData(const char* path, double* data, uint32_t frames, int channels);
