#pragma once
// What the header step of a sample file reports: the numbers the loading flow copies into a slot
// before it allocates the buffer and runs the data step.

#include <cstdint>

enum class SampleFileKind
{
  kWav,
  kOgg,
  kFlac
};

struct SampleFileInfo
{
  SampleFileKind kind = SampleFileKind::kWav;
  uint32_t frames = 0;     // frames per channel; 0 is a valid, empty sample
  int16_t channels = 0;    // channel count as the file states it (1 ... 32767)
  uint32_t sampleRate = 0; // samples per second, never 0 in a successful header step
};

// The slot's rate ratio: the file's rate divided by the engine's rate. For an Ogg Vorbis file the
// quotient is rounded to 32-bit float precision; a WAV or FLAC file's ratio is not rounded.
// engineRate must be positive.
double SampleRateRatio(const SampleFileInfo& info, double engineRate);

// The sample's length in seconds: frames divided by the file's rate (0 when the rate is 0).
double SampleDurationSeconds(const SampleFileInfo& info);
