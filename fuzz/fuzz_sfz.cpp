// Fuzzes the line-by-line SFZ reader: the input becomes an .sfz file in a folder that holds a few tiny
// WAV files, and the runs for slots 0 to 4 read it as the loading flow would. The first line of the
// input also goes through the value conversions, which must agree with the C library's in the C locale.

#include "fuzz/FuzzFiles.h"
#include "samplefiles/SfzLimits.h"
#include "samplefiles/SfzLineReader.h"
#include "samplefiles/SfzValues.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
using fuzzfiles::Check;
using fuzzfiles::kTinyWav;
using fuzzfiles::WriteFile;

// One folder per fuzzing process with the samples an input may name; removed at exit.
struct Folder
{
  std::string path;
  Folder()
  {
    std::string pattern = "/tmp/fuzz_sfz_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    std::filesystem::create_directories(path + "/sub");
    std::filesystem::create_directories(path + "/smp/sub");
    for (const char* name : {"/a.wav", "/b.wav", "/sub/c.wav", "/smp/d.wav", "/smp/sub/e.wav"})
      if (!WriteFile(path + name, kTinyWav, sizeof kTinyWav)) std::abort();
  }
  ~Folder()
  {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

const std::string& InputPath()
{
  static const Folder folder;
  static const std::string input = folder.path + "/in.sfz";
  return input;
}

bool SameFloat(float a, float b)
{
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

// The conversions against sscanf and atoi, on a text taken as a C string.
void CheckConversions(const std::string& text)
{
  float expected = -7.0f;
  float actual = -7.0f;
  const bool converted = std::sscanf(text.c_str(), "%f", &expected) == 1;
  Check(ScanSfzFloat(text, actual) == converted && SameFloat(actual, expected));

  Check(SfzAtoi16(text) == static_cast<int16_t>(std::atoi(text.c_str())));

  int16_t note = 999;
  const bool set = ReadSfzNote(text, note);
  Check(set == (std::strlen(text.c_str()) <= 3));
  if (set && std::strlen(text.c_str()) <= 3)
  {
    int number = 0;
    if (std::sscanf(text.c_str(), "%d", &number) == 1 && number >= 12)
      Check(note == number);
    else
    {
      char name[3] = "";
      int octave = -1;
      std::sscanf(text.c_str(), std::strlen(text.c_str()) == 3 ? "%2s%d" : "%1s%d", name, &octave);
      static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
      int index = -1;
      for (int i = 0; i < 12 && index < 0; ++i)
      {
        bool agrees = true;
        for (size_t c = 0; c < std::strlen(name) && agrees; ++c)
          agrees = std::toupper(static_cast<unsigned char>(name[c])) == kNames[i][c];
        if (agrees) index = i;
      }
      Check(note == (index < 0 ? -1 : index + 12 * octave + 12));
    }
  }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string input(reinterpret_cast<const char*>(data), size);
  CheckConversions(input.substr(0, std::min<size_t>(input.find('\n'), 64)));

  if (!WriteFile(InputPath(), data, size)) return 0;
  for (int slot = 0; slot < kSfzSlots; ++slot)
  {
    const SfzSlotResult r = ReadSfzSlotByLines(InputPath(), slot, false);
    Check(r.params[0] == kSfzNotGiven);
    if (r.action == SfzSlotResult::Action::kLoad)
      Check(!r.samplePath.empty() && r.samplePath.size() < kSfzMaxPathBytes &&
            r.samplePath.find('\0') == std::string::npos);
    else
      for (double value : r.params)
        Check(value == kSfzNotGiven);
    if (r.showWarning)
      Check(r.warningText.rfind(kSfzWarningCaption, 0) == 0);
    else
      Check(r.warningText.empty());
    // With the slot's flag set, the same run asks for no warning and decides the same.
    const SfzSlotResult quiet = ReadSfzSlotByLines(InputPath(), slot, true);
    Check(!quiet.showWarning && quiet.action == r.action && quiet.samplePath == r.samplePath);
  }
  return 0;
}
