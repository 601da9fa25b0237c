#pragma once
// Slot sample buffers: planar 64-bit samples, all frames of channel 0, then all frames of channel 1,
// and so on (channels x frames entries).
//
// Called by the loading flow's data step and by the engine's per-slot reversal, under the instance
// mutex, on the loading thread; never on the audio thread (AllocateSampleData allocates).

#include <cstdint>
#include <memory>

// Allocates channels x frames doubles, all 0.0. Never throws: returns an empty pointer when frames
// or channels is 0 or negative, when the product overflows or passes kMaxSampleDataBytes, or when
// the allocation fails. The caller treats an empty pointer as a file that cannot be used.
std::unique_ptr<double[]> AllocateSampleData(uint32_t frames, int channels);

// Reverses a planar buffer in place: plane 0 (data[0 ... frames-1]) and, when channels >= 2, plane 1
// (data[frames ... 2*frames-1]). Further planes are not touched: the readers leave them 0. Does
// nothing when data is null or frames is 0. Running it twice restores the original order.
// Inside a class that has a member of the same name, call it as ::ReverseSampleData.
void ReverseSampleData(double* data, uint32_t frames, int channels);
