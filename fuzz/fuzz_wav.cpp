// Fuzzes the WAV path of a load: the reader's chunk walk, the header step, the data step with its
// buffer and the reversal, on a file holding exactly the input's bytes.

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "samplefiles/WavReader.h"

#include "FuzzInputFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const fuzzinput::InputFile input(".wav");
  if (!input.Write(data, size)) return 0;
  const char* path = input.Path();

  // The reader alone, read in two uneven calls.
  {
    WavReader reader;
    if (reader.Open(path))
    {
      double out[64];
      reader.Read(out, 7);
      reader.Read(out, 64);
    }
  }

  // The load as the loading flow runs it. The frame count is bounded by the file's bytes, so the buffer
  // stays small for inputs of fuzzer size.
  SampleFileInfo info;
  if (!ReadWavHeader(path, info)) return 0;
  DecodedSample decoded;
  if (!LoadWavSampleData(path, info.frames, info.channels, decoded)) return 0;
  ReverseSampleData(decoded.data.get(), decoded.frames, info.channels);
  // A slot that believes in other numbers than the file now holds.
  if (info.frames > 1) LoadWavSampleData(path, info.frames / 2, 1, decoded);
  if (info.frames > 1) LoadWavSampleData(path, info.frames, 3, decoded);
  return 0;
}
