#pragma once
// Tunables of the sample file readers and the slot sample buffers.

#include <cstddef>
#include <cstdint>

// Largest slot sample buffer the loader allocates (planes x frames doubles). A file that decodes to
// more is refused instead of letting it take the machine's memory: 8 GiB holds more than three hours of
// 48 kHz stereo.
constexpr uint64_t kMaxSampleDataBytes = uint64_t{8} << 30;

// The buffer of an Ogg Vorbis or FLAC data step. The stream's length is a claim that a few bytes of
// the file make (an Ogg file's last page, a FLAC file's STREAMINFO), so it only caps the buffer: the
// first room is the claim as far as the file's size makes it plausible (frames per byte of the file,
// more than real audio of the format holds, but between kDecodeFirstFramesMin and
// kDecodeFirstFramesMax frames), and the buffer doubles from there as more decodes. So a truthful file
// is decoded into one allocation, and a file that claims more than it holds costs at most that first
// room beyond what it decodes. Vorbis at its lowest qualities stays below 16 frames per byte, lossless
// FLAC below 8 (simple 16-bit stereo material comes to about 2); long silences go past both and then
// grow the buffer.
constexpr uint32_t kOggFramesPerFileByte = 16;
constexpr uint32_t kFlacFramesPerFileByte = 8;
constexpr uint32_t kDecodeFirstFramesMin = 1u << 16;
constexpr uint32_t kDecodeFirstFramesMax = 1u << 24;

// Bytes the WAV reader reads from the file per block before converting them to doubles.
constexpr size_t kWavReadBlockBytes = 32 * 1024;

// Frames requested from the Vorbis decoder per call.
constexpr int kOggReadFrames = 128;

// Bytes of each path and name field of a slot's file state, the terminator included: the platform's
// path size. A longer text is refused, never cut (a cut path names another file).
#ifdef _WIN32
constexpr int kSlotPathBytes = 260;
#else
constexpr int kSlotPathBytes = 1024;
#endif

// A file name longer than kDisplayNameMaxChars characters is shown as its first kDisplayNameCutChars.
constexpr int kDisplayNameMaxChars = 20;
constexpr int kDisplayNameCutChars = 19;
