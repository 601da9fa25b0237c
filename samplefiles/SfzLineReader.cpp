#include "samplefiles/SfzLineReader.h"

#include "samplefiles/Keyword.h"
#include "samplefiles/PathRules.h"
#include "samplefiles/SfzFileTests.h"
#include "samplefiles/SfzLimits.h"
#include "samplefiles/SfzValues.h"

#include <cstdint>
#include <exception>
#include <fstream>

namespace
{
constexpr std::string_view kRegionHeader = "<region>";

// The opcodes the reader knows, in the order a key is tested against them: the first name the key
// matches (MatchesKeyword, so a key that begins a name counts) is handled, the rest are not tried.
enum class Opcode
{
  kAttack,
  kRelease,
  kVolume,
  kLowKey,
  kHighKey,
  kKeyCenter,
  kKeyTrack,
  kPan,
  kDirection,
  kLoopMode,
  kPanAlternate,
  kDefaultPath,
  kSample
};

struct OpcodeName
{
  std::string_view name;
  Opcode opcode;
};

constexpr OpcodeName kOpcodes[] = {{"ampeg_attack", Opcode::kAttack},
                                   {"ampeg_release", Opcode::kRelease},
                                   {"volume", Opcode::kVolume},
                                   {"lokey", Opcode::kLowKey},
                                   {"hikey", Opcode::kHighKey},
                                   {"pitch_keycenter", Opcode::kKeyCenter},
                                   {"pitch_keytrack", Opcode::kKeyTrack},
                                   {"pan", Opcode::kPan},
                                   {"direction", Opcode::kDirection},
                                   {"loop_mode", Opcode::kLoopMode},
                                   {"pan_alternate", Opcode::kPanAlternate},
                                   {"default_path", Opcode::kDefaultPath},
                                   {"sample", Opcode::kSample}};

// One set of region or file-wide values. The start values mean "not given".
struct SfzSettings
{
  float attack = -1.0f;  // seconds
  float release = -1.0f; // seconds
  int16_t volume = -50;  // dB
  int16_t lowKey = 0;
  int16_t highKey = 0;
  int16_t keyCenter = 0;
  int16_t keyTrack = -1; // cents per key
  int16_t pan = -101;
  int16_t panAlternate = -1;
  int16_t reverse = -1;
  int16_t loop = -1;
};

// The region value when the region gave one, else the file-wide value when the file gave one.
double RegionElseFile(bool regionGiven, double region, bool fileGiven, double file)
{
  return regionGiven ? region : fileGiven ? file : kSfzNotGiven;
}

// The state of one run.
class SfzRun
{
public:
  SfzRun(std::string_view sfzPath, int slot, bool warningShown)
      : mSfzPath(sfzPath), mSlot(slot), mWarningShown(warningShown)
  {
    // Relative sample paths start at the SFZ file's folder, separator included. A bare file name has
    // no folder part; its samples are looked up next to it, not at the root.
    const size_t separator = LastPathSeparator(mSfzPath);
    if (separator != std::string::npos) mFolderPrefix = mSfzPath.substr(0, separator + 1);
  }

  SfzSlotResult Run()
  {
    if (mSlot < 0 || mSlot >= kSfzSlots || mSfzPath.find('\0') != std::string::npos) return {};
    if (!IsRegularFile(mSfzPath)) return {};
    std::ifstream in(mSfzPath, std::ios::binary);
    if (!in) return {};

    std::string line;
    while (std::getline(in, line))
    {
      const std::string_view text = TrimLine(line);
      if (text.empty()) continue;
      const size_t equals = text.find('=');
      if (equals == std::string_view::npos)
      {
        if (!OnHeader(text)) break;
      }
      else
        OnOpcode(text.substr(0, equals), text.substr(equals + 1));
    }
    in.close();

    if (mRegionCount == mSlot && !mSamplePath.empty() && MatchesKeyword(mHeader, kRegionHeader))
    {
      mResult.action = SfzSlotResult::Action::kLoad;
      mResult.samplePath = mSamplePath;
      FillParams();
    }
    // Every slot past the last region found is cleared.
    while (mRegionCount + 1 <= kSfzSlots - 1)
      if (++mRegionCount == mSlot) mResult.action = SfzSlotResult::Action::kClear;
    return mResult;
  }

private:
  // The line as the reader sees it: up to a NUL byte, if any (as C text), without trailing spaces,
  // tabs, carriage returns and line feeds.
  static std::string_view TrimLine(std::string_view line)
  {
    const size_t nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);
    const size_t last = line.find_last_not_of(" \t\r\n");
    return last == std::string_view::npos ? std::string_view() : line.substr(0, last + 1);
  }

  // A line without "=". Returns false when the run has what it reads for.
  bool OnHeader(std::string_view line)
  {
    if (mSamplePath.empty() || !MatchesKeyword(mHeader, kRegionHeader))
    {
      mHeader = line;
      return true;
    }
    // The region in progress ends here. The count never passes the run's slot (0..4), so a run
    // reads at most five regions.
    if (mRegionCount == mSlot) return false;
    ++mRegionCount;
    mRegion = SfzSettings();
    mHeader = line;
    return true;
  }

  void OnOpcode(std::string_view key, std::string_view value)
  {
    SfzSettings& target = MatchesKeyword(mHeader, kRegionHeader) ? mRegion : mFile;
    for (const OpcodeName& entry : kOpcodes)
    {
      if (!MatchesKeyword(key, entry.name)) continue;
      switch (entry.opcode)
      {
      case Opcode::kAttack:
        ScanSfzFloat(value, target.attack);
        break;
      case Opcode::kRelease:
        ScanSfzFloat(value, target.release);
        break;
      case Opcode::kVolume:
        target.volume = SfzAtoi16(value);
        break;
      case Opcode::kLowKey:
        ReadSfzNote(value, target.lowKey);
        break;
      case Opcode::kHighKey:
        ReadSfzNote(value, target.highKey);
        break;
      case Opcode::kKeyCenter:
        ReadSfzNote(value, target.keyCenter);
        break;
      case Opcode::kKeyTrack:
        target.keyTrack = SfzAtoi16(value);
        break;
      case Opcode::kPan:
        target.pan = SfzAtoi16(value);
        break;
      case Opcode::kDirection:
        target.reverse = MatchesKeyword(value, "reverse") ? 1 : 0;
        break;
      case Opcode::kLoopMode:
        if (MatchesKeyword(value, "no_loop"))
          target.loop = 0;
        else if (MatchesKeyword(value, "loop_continuous") || MatchesKeyword(value, "loop_sustain"))
          target.loop = 1;
        break;
      case Opcode::kPanAlternate:
        target.panAlternate = MatchesKeyword(value, "yes") ? 1 : 0;
        break;
      case Opcode::kDefaultPath:
        mDefaultPath = SlashesForBackslashes(value);
        break;
      case Opcode::kSample:
        OnSample(value);
        break;
      }
      return;
    }
  }

  void OnSample(std::string_view value)
  {
    const std::string name = SlashesForBackslashes(value);
    std::string path;
    if (IsAbsolutePath(value))
      path = name;
    else if (IsAbsolutePath(mDefaultPath))
      path = mDefaultPath + name;
    else
      path = mFolderPrefix + mDefaultPath + name;

    if (SfzSampleFileOpens(path))
    {
      mSamplePath = std::move(path);
      return;
    }
    if (mRegionCount == mSlot && !mWarningShown)
    {
      mWarningShown = true;
      mResult.showWarning = true;
      mResult.warningText = std::string(kSfzWarningCaption) + ": " + path;
    }
    mSamplePath.clear();
  }

  void FillParams()
  {
    const SfzSettings& r = mRegion;
    const SfzSettings& f = mFile;
    auto& p = mResult.params;
    p[1] = RegionElseFile(r.lowKey != 0, r.lowKey, f.lowKey != 0, f.lowKey);
    p[2] = RegionElseFile(r.highKey != 0, r.highKey, f.highKey != 0, f.highKey);
    p[3] = RegionElseFile(r.keyCenter != 0, r.keyCenter, f.keyCenter != 0, f.keyCenter);
    p[4] = RegionElseFile(r.keyTrack >= 0, r.keyTrack * 0.01, f.keyTrack >= 0, f.keyTrack * 0.01);
    p[5] = RegionElseFile(r.attack > -1.0f, r.attack, f.attack > -1.0f, f.attack);
    p[6] = RegionElseFile(r.release > -1.0f, r.release, f.release > -1.0f, f.release);
    p[7] = RegionElseFile(r.pan >= -100, r.pan, f.pan >= -100, f.pan);
    p[8] = RegionElseFile(r.panAlternate >= 0, r.panAlternate, f.panAlternate >= 0, f.panAlternate);
    p[9] = RegionElseFile(r.volume >= -49, r.volume, f.volume >= -49, f.volume);
    p[10] = RegionElseFile(r.reverse >= 0, r.reverse, f.reverse >= 0, f.reverse);
    p[11] = RegionElseFile(r.loop >= 0, r.loop, f.loop >= 0, f.loop);
  }

  const std::string mSfzPath;
  const int mSlot;
  bool mWarningShown;
  std::string mFolderPrefix;
  std::string mHeader;      // the last header line
  std::string mDefaultPath; // from "default_path", backslashes turned into "/"
  std::string mSamplePath;  // the last sample that could be opened; kept across regions
  int16_t mRegionCount = 0; // regions closed so far
  SfzSettings mRegion;
  SfzSettings mFile;
  SfzSlotResult mResult;
};
} // namespace

SfzSlotResult ReadSfzSlotByLines(std::string_view sfzPath, int slot, bool warningShown) noexcept
{
  try
  {
    return SfzRun(sfzPath, slot, warningShown).Run();
  }
  catch (const std::exception&)
  {
    return {}; // out of memory on a huge line: the run changes nothing
  }
}
