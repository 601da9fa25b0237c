#pragma once
// Tunables of the sample file readers and the slot sample buffers.

#include <cstddef>
#include <cstdint>

// Largest slot sample buffer the loader allocates (channels x frames doubles). A header that asks for
// more is refused instead of letting one crafted file take the machine's memory: 8 GiB holds more than
// three hours of 48 kHz stereo.
constexpr uint64_t kMaxSampleDataBytes = uint64_t{8} << 30;

// Bytes the WAV reader reads from the file per block before converting them to doubles.
constexpr size_t kWavReadBlockBytes = 32 * 1024;

// Frames requested from the Vorbis decoder per call.
constexpr int kOggReadFrames = 128;

// Bytes of each path and name field of a slot's file state, the terminator included: the Linux path
// size. A longer text is refused, never cut (a cut path names another file).
constexpr int kSlotPathBytes = 1024;

// A file name longer than kDisplayNameMaxChars characters is shown as its first kDisplayNameCutChars.
constexpr int kDisplayNameMaxChars = 20;
constexpr int kDisplayNameCutChars = 19;
