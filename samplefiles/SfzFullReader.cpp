#include "samplefiles/SfzFullReader.h"

#include "samplefiles/PathRules.h"
#include "samplefiles/SfzElementReader.h"
#include "samplefiles/SfzFileTests.h"
#include "samplefiles/SfzLimits.h"
#include "samplefiles/SfzOpcodeSet.h"
#include "samplefiles/SfzPreprocessor.h"

#include <exception>

namespace
{
enum class Level
{
  kNone, // before the first header, or under a header that maps nothing (<curve>, <effect>, ...)
  kControl,
  kGlobal,
  kMaster,
  kGroup,
  kRegion
};

class FullRun
{
public:
  FullRun(const std::string& sfzPath, int regionsWanted, const std::vector<std::string>& searchFolders)
      : mSfzPath(sfzPath), mWanted(regionsWanted)
  {
    const size_t separator = LastPathSeparator(sfzPath);
    if (separator != std::string::npos) mFolderPrefix = sfzPath.substr(0, separator + 1);
    mHints.sfzFolder = mFolderPrefix;
    mHints.searchFolders = searchFolders;
  }

  SfzFullReading Run()
  {
    std::string text;
    if (!PreprocessSfz(mSfzPath, text)) return std::move(mReading);
    mReading.opened = true;
    SfzElementReader reader(text);
    SfzElement element;
    while (!Done() && reader.Next(element))
    {
      if (element.kind == SfzElement::Kind::kHeader)
        OnHeader(element.name);
      else
        OnOpcode(element.name, element.value);
    }
    if (!Done()) EndRegion();
    return std::move(mReading);
  }

private:
  bool Done() const { return static_cast<int>(mReading.regions.size()) >= mWanted; }

  void OnHeader(std::string_view name)
  {
    EndRegion();
    if (name == "control")
      mLevel = Level::kControl;
    else if (name == "global")
    {
      mGlobal = mMaster = mGroup = SfzOpcodeSet();
      mLevel = Level::kGlobal;
    }
    else if (name == "master")
    {
      mMaster = mGroup = SfzOpcodeSet();
      mLevel = Level::kMaster;
    }
    else if (name == "group")
    {
      mGroup = SfzOpcodeSet();
      mLevel = Level::kGroup;
    }
    else if (name == "region")
    {
      mRegion = SfzOpcodeSet();
      mLevel = Level::kRegion;
    }
    else
      mLevel = Level::kNone;
  }

  void OnOpcode(std::string_view name, std::string_view value)
  {
    if (ApplySfzControlOpcode(mControl, name, value)) return;
    SfzOpcodeSet* target = nullptr;
    switch (mLevel)
    {
    case Level::kGlobal:
      target = &mGlobal;
      break;
    case Level::kMaster:
      target = &mMaster;
      break;
    case Level::kGroup:
      target = &mGroup;
      break;
    case Level::kRegion:
      target = &mRegion;
      break;
    case Level::kNone:
    case Level::kControl:
      return;
    }
    ApplySfzOpcode(*target, name, value, mControl);
  }

  // The region in progress (if any) ends: it is taken when it names a sample that is found.
  void EndRegion()
  {
    if (mLevel != Level::kRegion) return;
    mLevel = Level::kNone;
    const SfzOpcodeSet region =
        OverlaySfzOpcodes(mRegion, OverlaySfzOpcodes(mGroup, OverlaySfzOpcodes(mMaster, mGlobal)));
    if (region.sample.empty() || IsSfzGenerator(region.sample)) return;
    std::string path = IsAbsolutePath(region.sample) ? region.sample : mFolderPrefix + region.sample;
    if (!SfzSampleFileOpens(path))
    {
      std::string found;
      if (mSearches < kSfzMaxSampleSearches)
      {
        ++mSearches;
        found = LocateSample(path, mHints);
      }
      if (found.empty() || !SfzSampleFileOpens(found))
      {
        mReading.missing.push_back({static_cast<int>(mReading.regions.size()), std::move(path)});
        return;
      }
      path = std::move(found);
    }
    const size_t separator = LastPathSeparator(path);
    if (separator != std::string::npos) mHints.slotFolders.push_back(path.substr(0, separator + 1));
    mReading.regions.push_back({std::move(path), SfzSlotParams(region)});
  }

  const std::string mSfzPath;
  const int mWanted;
  std::string mFolderPrefix; // the instrument's folder with its separator; empty for a bare name
  SampleSearchHints mHints;
  int mSearches = 0;
  Level mLevel = Level::kNone;
  SfzControl mControl;
  SfzOpcodeSet mGlobal;
  SfzOpcodeSet mMaster;
  SfzOpcodeSet mGroup;
  SfzOpcodeSet mRegion;
  SfzFullReading mReading;
};
} // namespace

SfzFullReading ReadSfzRegions(const std::string& sfzPath, int regionsWanted,
                              const std::vector<std::string>& searchFolders)
{
  return FullRun(sfzPath, regionsWanted, searchFolders).Run();
}

SfzSlotResult SfzSlotResultOf(const SfzFullReading& reading, int slot, bool warningShown)
{
  SfzSlotResult result;
  if (!reading.opened || slot < 0 || slot >= kSfzSlots) return result;
  const size_t index = static_cast<size_t>(slot);
  if (index < reading.regions.size())
  {
    result.action = SfzSlotResult::Action::kLoad;
    result.samplePath = reading.regions[index].samplePath;
    result.params = reading.regions[index].params;
  }
  else if (slot > 0)
    result.action = SfzSlotResult::Action::kClear;
  for (const SfzMissingSample& missing : reading.missing)
    if (missing.slot == slot && !warningShown)
    {
      result.showWarning = true;
      result.warningText = std::string(kSfzWarningCaption) + ": " + missing.path;
      break;
    }
  return result;
}

SfzSlotResult ReadSfzSlotFull(std::string_view sfzPath, int slot, bool warningShown) noexcept
{
  try
  {
    const std::string path(sfzPath);
    if (slot < 0 || slot >= kSfzSlots || path.empty() || path.find('\0') != std::string::npos) return {};
    return SfzSlotResultOf(ReadSfzRegions(path, slot + 1, SampleSearchFoldersFromEnvironment()), slot,
                           warningShown);
  }
  catch (const std::exception&)
  {
    return {};
  }
}
