// Fuzzes the FLAC path of a load: the header step, the data step with its growing buffer and the
// reversal, on a file holding exactly the input's bytes. The seeds (fuzz/corpus/fuzz_flac) are small
// files of the tests' encoder in several widths and channel counts, two of them with a STREAMINFO that
// claims 10^9 frames or leaves the length open: the data step must allocate for the frames that
// decode, not for the claim (libFuzzer's malloc limit catches it).

#include "samplefiles/FlacLoader.h"
#include "samplefiles/SampleBuffer.h"

#include "FuzzInputFile.h"

#include <cstddef>
#include <cstdint>

namespace
{
void Check(bool condition)
{
  if (!condition) __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const fuzzinput::InputFile input(".flac");
  if (!input.Write(data, size)) return 0;
  const char* path = input.Path();

  // The load as the loading flow runs it.
  SampleFileInfo info;
  if (!ReadFlacHeader(path, info)) return 0;
  Check(info.channels >= 1 && info.sampleRate != 0);
  DecodedSample decoded;
  if (!LoadFlacSampleData(path, info.frames, info.channels, decoded)) return 0;
  Check(decoded.data != nullptr && decoded.frames <= info.frames);
  ReverseSampleData(decoded.data.get(), decoded.frames, info.channels);
  // A slot that believes in other numbers than the file holds: fewer frames and one channel, or two.
  if (info.frames > 1) LoadFlacSampleData(path, info.frames / 2, 1, decoded);
  LoadFlacSampleData(path, info.frames, 2, decoded);
  return 0;
}
