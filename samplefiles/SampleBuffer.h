#pragma once
// Slot sample buffers: planar 64-bit samples, all frames of channel 0, then all frames of channel 1
// (SamplePlanes(channels) x frames entries). The mixer plays channel 0, and channel 1 when the file has
// two or more; further channels of a file are not kept, so they take no memory either (the slot's
// channel count still says how many the file has).
//
// The data step of every reader fills one through a SampleDataBuilder (SampleDataBuilder.h) on the
// loading thread, with or without the instance mutex held; the engine reverses a slot's buffer under
// the mutex. Never on the audio thread.

#include <cstdint>
#include <memory>

// The planes a slot's buffer holds for a file of channels channels: 1 for mono, 2 for every file of
// two or more.
inline int SamplePlanes(int channels)
{
  return channels >= 2 ? 2 : 1;
}

// What a data step hands to the slot: frames frames of each plane, one plane after the other. With
// frames 0 the array holds one 0.0, as an empty slot's does.
struct DecodedSample
{
  std::unique_ptr<double[]> data;
  uint32_t frames = 0;
};

// Reverses a planar buffer in place: plane 0 (data[0 ... frames-1]) and, when channels >= 2, plane 1
// (data[frames ... 2*frames-1]). Does nothing when data is null or frames is 0. Running it twice restores the
// original order. Inside a class that has a member of the same name, call it as ::ReverseSampleData.
void ReverseSampleData(double* data, uint32_t frames, int channels);
