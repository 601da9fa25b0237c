// Fuzzes the WAV path of a load: the reader's chunk walk, the header step, the buffer allocation, the
// data step and the reversal, on a file holding exactly the input's bytes.

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "samplefiles/WavReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{
// One file per fuzzing process, rewritten for every input and removed at exit.
struct InputFile
{
  std::string path = "/tmp/fuzz_wav_" + std::to_string(getpid()) + ".wav";
  ~InputFile() { std::remove(path.c_str()); }
};

const std::string& InputPath()
{
  static const InputFile file;
  return file.path;
}

bool WriteInput(const uint8_t* data, size_t size)
{
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (!WriteInput(data, size)) return 0;
  const char* path = InputPath().c_str();

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
  auto buffer = AllocateSampleData(info.frames, info.channels);
  if (!buffer) return 0;
  LoadWavSampleData(path, buffer.get(), info.frames, info.channels);
  ReverseSampleData(buffer.get(), info.frames, info.channels);
  // A slot that believes in other numbers than the file now holds.
  if (info.frames > 1) LoadWavSampleData(path, buffer.get(), info.frames / 2, 1);
  return 0;
}
