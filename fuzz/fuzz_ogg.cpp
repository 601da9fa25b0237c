// Fuzzes the Ogg Vorbis path of a load: the header step, the data step with its growing buffer and the
// reversal, on a file holding exactly the input's bytes. The seeds (fuzz/corpus/fuzz_ogg) are small
// files of the tests' encoder, one of them with a last page that claims 10^9 frames: the data step must
// allocate for the frames that decode, not for the claim (libFuzzer's malloc limit catches it).

#include "samplefiles/OggLoader.h"
#include "samplefiles/SampleBuffer.h"

#include "FuzzInputFile.h"

#include <cstddef>
#include <cstdint>

// libvorbisfile 1.3.7 loses a few bytes inside ov_fopen for some damaged header packets, also when
// ov_clear follows as it must (a plain ov_fopen/ov_clear program shows it): the library's, not ours.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
  return "leak:libvorbisfile.so\n";
}

namespace
{
void Check(bool condition)
{
  if (!condition) __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const fuzzinput::InputFile input(".ogg");
  if (!input.Write(data, size)) return 0;
  const char* path = input.Path();

  // The load as the loading flow runs it.
  SampleFileInfo info;
  if (!ReadOggHeader(path, info)) return 0;
  Check(info.channels >= 1 && info.sampleRate != 0);
  DecodedSample decoded;
  if (!LoadOggSampleData(path, info.frames, info.channels, decoded)) return 0;
  Check(decoded.data != nullptr && decoded.frames <= info.frames);
  ReverseSampleData(decoded.data.get(), decoded.frames, info.channels);
  // A slot that believes in other numbers than the file holds: fewer frames and one channel, or every
  // frame a slot can have.
  if (info.frames > 1) LoadOggSampleData(path, info.frames / 2, 1, decoded);
  LoadOggSampleData(path, UINT32_MAX, 2, decoded);
  return 0;
}
