#include "samplefiles/SfzOpcodeSet.h"

#include "samplefiles/PathRules.h"
#include "samplefiles/SfzFileTests.h"
#include "samplefiles/SfzValues.h"

#include <algorithm>
#include <cmath>

namespace
{
// Slot parameter kinds (the engine's order).
enum Kind
{
  kLowNote = 1,
  kHighNote,
  kRootNote,
  kSemitonesMultiply,
  kAttack,
  kRelease,
  kPan,
  kAlternatePan,
  kVolume,
  kReverse,
  kLoop
};

constexpr int kLowestKey = -1;
constexpr int kHighestKey = 127;

// A whole number that fills the text: optional sign and decimal digits.
bool ReadWholeInt(std::string_view text, int& value)
{
  size_t pos = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  if (pos >= text.size() || text.size() > 8) return false;
  for (size_t i = pos; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return ScanSfzInt(text, value);
}

// A finite decimal number at the start of the text.
bool ReadNumber(std::string_view text, double& value)
{
  float number = 0.0f;
  if (!ScanSfzFloat(text, number) || !std::isfinite(number)) return false;
  value = number;
  return true;
}

// Semitones above C of a note letter; -1 for other characters.
int NoteLetter(char c)
{
  switch (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c)
  {
  case 'c':
    return 0;
  case 'd':
    return 2;
  case 'e':
    return 4;
  case 'f':
    return 5;
  case 'g':
    return 7;
  case 'a':
    return 9;
  case 'b':
    return 11;
  default:
    return -1;
  }
}

bool SetKey(std::optional<int>& key, std::string_view value, const SfzControl& control)
{
  int note = 0;
  if (!ReadSfzKey(value, note)) return false;
  key = note + control.noteOffset + 12 * control.octaveOffset;
  return true;
}

bool SetNumber(std::optional<double>& target, std::string_view value)
{
  double number = 0.0;
  if (!ReadNumber(value, number)) return false;
  target = number;
  return true;
}

bool SetSwitch(std::optional<int>& target, std::string_view value, std::string_view on, std::string_view off)
{
  if (value == on)
    target = 1;
  else if (value == off)
    target = 0;
  else
    return false;
  return true;
}

template <typename T> void Fill(std::optional<T>& over, const std::optional<T>& under)
{
  if (!over) over = under;
}

template <typename T> double ValueOr(const std::optional<T>& value, double fallback)
{
  return value ? static_cast<double>(*value) : fallback;
}
} // namespace

bool ReadSfzKey(std::string_view text, int& note)
{
  int number = 0;
  if (ReadWholeInt(text, number))
  {
    if (number < kLowestKey || number > kHighestKey) return false;
    note = number;
    return true;
  }
  if (text.empty()) return false;
  int semitone = NoteLetter(text[0]);
  if (semitone < 0) return false;
  size_t pos = 1;
  if (pos < text.size() && (text[pos] == '#' || text[pos] == 'b')) semitone += text[pos++] == '#' ? 1 : -1;
  const std::string_view octave = text.substr(pos);
  if (octave != "-1" && (octave.size() != 1 || octave[0] < '0' || octave[0] > '9')) return false;
  const int value = semitone + 12 * (octave == "-1" ? 0 : octave[0] - '0' + 1);
  if (value < 0 || value > kHighestKey) return false;
  note = value;
  return true;
}

bool ApplySfzControlOpcode(SfzControl& control, std::string_view opcode, std::string_view value)
{
  int number = 0;
  if (opcode == "default_path")
    control.defaultPath = SlashesForBackslashes(value);
  else if (opcode == "note_offset")
  {
    if (ReadWholeInt(value, number) && number >= -127 && number <= 127) control.noteOffset = number;
  }
  else if (opcode == "octave_offset")
  {
    if (ReadWholeInt(value, number) && number >= -10 && number <= 10) control.octaveOffset = number;
  }
  else
    return false;
  return true;
}

bool ApplySfzOpcode(SfzOpcodeSet& set, std::string_view opcode, std::string_view value,
                    const SfzControl& control)
{
  if (opcode == "sample")
  {
    // An empty value names no sample (and hides one the region would inherit).
    const std::string name = SlashesForBackslashes(value);
    set.sample =
        name.empty() || IsAbsolutePath(name) || IsSfzGenerator(name) ? name : control.defaultPath + name;
    set.sampleGiven = true;
    return true;
  }
  if (opcode == "lokey") return SetKey(set.lowKey, value, control);
  if (opcode == "hikey") return SetKey(set.highKey, value, control);
  if (opcode == "pitch_keycenter") return SetKey(set.keyCenter, value, control);
  if (opcode == "key")
  {
    std::optional<int> key;
    if (!SetKey(key, value, control)) return false;
    set.lowKey = set.highKey = set.keyCenter = key;
    return true;
  }
  if (opcode == "pitch_keytrack") return SetNumber(set.keyTrack, value);
  if (opcode == "ampeg_attack") return SetNumber(set.attack, value);
  if (opcode == "ampeg_release") return SetNumber(set.release, value);
  if (opcode == "pan") return SetNumber(set.pan, value);
  if (opcode == "volume") return SetNumber(set.volume, value);
  if (opcode == "pan_alternate") return SetSwitch(set.panAlternate, value, "yes", "no");
  if (opcode == "direction") return SetSwitch(set.reverse, value, "reverse", "forward");
  if (opcode == "loop_mode")
  {
    if (value == "loop_continuous" || value == "loop_sustain")
      set.loop = 1;
    else if (value == "no_loop" || value == "one_shot")
      set.loop = 0;
    else
      return false;
    return true;
  }
  return false;
}

SfzOpcodeSet OverlaySfzOpcodes(const SfzOpcodeSet& over, const SfzOpcodeSet& under)
{
  SfzOpcodeSet set = over;
  if (!set.sampleGiven)
  {
    set.sampleGiven = under.sampleGiven;
    set.sample = under.sample;
  }
  Fill(set.lowKey, under.lowKey);
  Fill(set.highKey, under.highKey);
  Fill(set.keyCenter, under.keyCenter);
  Fill(set.keyTrack, under.keyTrack);
  Fill(set.attack, under.attack);
  Fill(set.release, under.release);
  Fill(set.pan, under.pan);
  Fill(set.panAlternate, under.panAlternate);
  Fill(set.volume, under.volume);
  Fill(set.reverse, under.reverse);
  Fill(set.loop, under.loop);
  return set;
}

bool IsSfzGenerator(std::string_view sample)
{
  return !sample.empty() && sample.front() == '*';
}

std::array<double, kSfzSlotParamKinds> SfzSlotParams(const SfzOpcodeSet& region)
{
  std::array<double, kSfzSlotParamKinds> p;
  p.fill(kSfzNotGiven);
  p[kLowNote] = ValueOr(region.lowKey, 0);
  p[kHighNote] = ValueOr(region.highKey, 127);
  p[kRootNote] = ValueOr(region.keyCenter, 60);
  p[kSemitonesMultiply] = ValueOr(region.keyTrack, 100.0) * 0.01;
  p[kAttack] = ValueOr(region.attack, 0.0);
  p[kRelease] = ValueOr(region.release, 0.0);
  p[kPan] = ValueOr(region.pan, 0.0);
  p[kAlternatePan] = ValueOr(region.panAlternate, 0);
  p[kVolume] = ValueOr(region.volume, 0.0);
  p[kReverse] = ValueOr(region.reverse, 0);
  p[kLoop] = ValueOr(region.loop, 0);
  // The flow leaves a parameter alone for a value below -100; every slot parameter's range lies above
  // it, so a value raised to -100 ends at the parameter's minimum all the same.
  for (int k = kLowNote; k <= kLoop; ++k)
    p[static_cast<size_t>(k)] = std::max(p[static_cast<size_t>(k)], kSfzNotGiven + 1.0);
  return p;
}
