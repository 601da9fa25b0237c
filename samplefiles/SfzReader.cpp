#include "samplefiles/SfzReader.h"

#include "samplefiles/SfzFullReader.h"
#include "samplefiles/SfzLineReader.h"

#include <exception>
#include <string>

namespace
{
bool LineReaderTakesSlotZero(std::string_view sfzPath)
{
  return ReadSfzSlotByLines(sfzPath, 0, true).action == SfzSlotResult::Action::kLoad;
}
} // namespace

SfzSlotResult ReadSfzSlot(std::string_view sfzPath, int slot, bool warningShown) noexcept
{
  SfzSlotResult byLines = ReadSfzSlotByLines(sfzPath, slot, warningShown);
  const bool lines =
      slot == 0 ? byLines.action == SfzSlotResult::Action::kLoad : LineReaderTakesSlotZero(sfzPath);
  return lines ? byLines : ReadSfzSlotFull(sfzPath, slot, warningShown);
}

std::array<SfzSlotResult, kSfzSlots> ReadSfzSlots(std::string_view sfzPath,
                                                  const std::array<bool, kSfzSlots>& warningShown) noexcept
{
  std::array<SfzSlotResult, kSfzSlots> results;
  for (int s = 0; s < kSfzSlots; ++s)
    results[static_cast<size_t>(s)] = ReadSfzSlotByLines(sfzPath, s, warningShown[static_cast<size_t>(s)]);
  if (results[0].action == SfzSlotResult::Action::kLoad) return results;
  try
  {
    const std::string path(sfzPath);
    const SfzFullReading reading =
        path.empty() || path.find('\0') != std::string::npos
            ? SfzFullReading()
            : ReadSfzRegions(path, kSfzSlots, SampleSearchFoldersFromEnvironment());
    for (int s = 0; s < kSfzSlots; ++s)
      results[static_cast<size_t>(s)] = SfzSlotResultOf(reading, s, warningShown[static_cast<size_t>(s)]);
  }
  catch (const std::exception&)
  {
    results.fill(SfzSlotResult());
  }
  return results;
}
