// Fuzzes the SFZ readers as the loading flow uses them, above all the full reader: the input becomes
// an .sfz file in a folder of tiny WAV files (one in another letter case than an input is likely to
// name it) and include files (one that includes itself, one with definitions). Every slot's run must
// keep the results' rules, the single reading of all five slots must agree with the five runs, and the
// preprocessed text must keep to its bound.

#include "fuzz/FuzzFiles.h"
#include "samplefiles/FileKind.h"
#include "samplefiles/SampleLocator.h"
#include "samplefiles/SfzElementReader.h"
#include "samplefiles/SfzLimits.h"
#include "samplefiles/SfzPreprocessor.h"
#include "samplefiles/SfzReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
using fuzzfiles::Check;
using fuzzfiles::kTinyWav;
using fuzzfiles::WriteFile;

bool WriteText(const std::string& path, const std::string& text)
{
  return WriteFile(path, text.data(), text.size());
}

// One folder per fuzzing process with what an input may name; removed at exit.
struct Folder
{
  std::string path;
  Folder()
  {
    unsetenv(kSampleSearchPathVariable); // the search stays in this folder
    std::string pattern = "/tmp/fuzz_sfz_full_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    std::filesystem::create_directories(path + "/sub");
    std::filesystem::create_directories(path + "/Kit/Snare");
    for (const char* name : {"/a.wav", "/b.wav", "/sub/c.wav", "/d e.wav", "/Kit/Snare/Hit.wav"})
      if (!WriteFile(path + name, kTinyWav, sizeof kTinyWav)) std::abort();
    if (!WriteText(path + "/inc.txt", "<region> sample=sub/c.wav key=c#4\n") ||
        !WriteText(path + "/self.txt", "#include \"self.txt\" <group> #include \"sub/../self.txt\"\n") ||
        !WriteText(path + "/defs.txt", "#define $S b.wav\n#define $K 60\n"))
      std::abort();
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

bool SameResult(const SfzSlotResult& a, const SfzSlotResult& b)
{
  return a.action == b.action && a.samplePath == b.samplePath && a.params == b.params &&
         a.showWarning == b.showWarning && a.warningText == b.warningText;
}

void CheckResult(const SfzSlotResult& r)
{
  Check(r.params[0] == kSfzNotGiven);
  if (r.action == SfzSlotResult::Action::kLoad)
  {
    Check(!r.samplePath.empty() && r.samplePath.size() < kSfzMaxPathBytes);
    Check(KindOfFile(r.samplePath) == FileKind::kFile);
    for (size_t k = 1; k < r.params.size(); ++k)
      Check(std::isfinite(r.params[k]));
  }
  else
    for (double value : r.params)
      Check(value == kSfzNotGiven);
  Check(r.showWarning ? r.warningText.rfind(kSfzWarningCaption, 0) == 0 : r.warningText.empty());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string input(reinterpret_cast<const char*>(data), size);

  // The element reader over the raw text: names are never empty and values lie inside the text.
  SfzElementReader reader(input);
  SfzElement element;
  while (reader.Next(element))
  {
    Check(!element.name.empty());
    Check(element.name.data() >= input.data() &&
          element.name.data() + element.name.size() <= input.data() + size);
    Check(element.value.empty() || (element.value.data() >= input.data() &&
                                    element.value.data() + element.value.size() <= input.data() + size));
  }

  if (!WriteFile(InputPath(), data, size)) return 0;
  std::string text;
  // The bound is checked after each definition and include, which may add a line break per level.
  if (PreprocessSfz(InputPath(), text))
    Check(text.size() <= kSfzMaxExpandedBytes + kSfzMaxDefineBytes + kSfzMaxIncludeDepth + 1);

  const std::array<SfzSlotResult, kSfzSlots> together = ReadSfzSlots(InputPath(), {});
  // With the slots' flags set, the runs ask for no warning and decide the same.
  const std::array<SfzSlotResult, kSfzSlots> quiet =
      ReadSfzSlots(InputPath(), {true, true, true, true, true});
  for (size_t slot = 0; slot < kSfzSlots; ++slot)
  {
    const SfzSlotResult alone = ReadSfzSlot(InputPath(), static_cast<int>(slot), false);
    CheckResult(alone);
    Check(SameResult(alone, together[slot]));
    Check(!quiet[slot].showWarning && quiet[slot].action == alone.action &&
          quiet[slot].samplePath == alone.samplePath);
  }
  return 0;
}
