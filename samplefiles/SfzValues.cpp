#include "samplefiles/SfzValues.h"

#include "framework/FloatChars.h"
#include "samplefiles/Keyword.h"

#include <array>
#include <charconv>
#include <limits>
#include <system_error>

namespace
{
// White space of the C locale, as isspace sees it.
bool IsCSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char UpperAscii(char c)
{
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The text as the C conversions see it: up to its first NUL byte.
std::string_view AsCString(std::string_view text)
{
  const size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

size_t SkipSpace(std::string_view text, size_t pos)
{
  while (pos < text.size() && IsCSpace(text[pos]))
    ++pos;
  return pos;
}

// True when word (lower case) stands at pos, compared case-insensitively.
bool WordAt(std::string_view text, size_t pos, std::string_view word)
{
  if (text.size() - pos < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (LowerAscii(text[pos + i]) != word[i]) return false;
  return true;
}

// Adds a digit to a magnitude that stops growing at limit.
uint64_t AddDigit(uint64_t magnitude, int digit, uint64_t limit)
{
  if (magnitude > (limit - static_cast<uint64_t>(digit)) / 10) return limit;
  return magnitude * 10 + static_cast<uint64_t>(digit);
}

// A number too large or too small for a float (the digits, without sign or "0x", start with a digit
// or a point): true when it is too large. The two cases lie hundreds of decades apart, so the decimal
// exponent of the first significant digit tells them apart; for hexadecimal text it is in bits.
bool TooLargeForFloat(std::string_view digits, bool hex)
{
  const auto isDigit = [hex](char c) { return hex ? IsHexDigit(c) : IsDigit(c); };
  size_t pos = 0;
  int64_t integerDigits = 0; // significant digits before the point
  while (pos < digits.size() && isDigit(digits[pos]))
  {
    if (integerDigits > 0 || digits[pos] != '0') ++integerDigits;
    ++pos;
  }
  int64_t fractionZeros = 0; // zeros after the point before the first significant digit
  if (pos < digits.size() && digits[pos] == '.')
  {
    ++pos;
    if (integerDigits == 0)
      while (pos < digits.size() && digits[pos] == '0')
      {
        ++fractionZeros;
        ++pos;
      }
    while (pos < digits.size() && isDigit(digits[pos]))
      ++pos;
  }
  int64_t exponent = 0;
  if (pos < digits.size() && LowerAscii(digits[pos]) == (hex ? 'p' : 'e'))
  {
    size_t e = pos + 1;
    bool negative = false;
    if (e < digits.size() && (digits[e] == '+' || digits[e] == '-')) negative = digits[e++] == '-';
    constexpr uint64_t kExponentLimit = uint64_t{1} << 40;
    uint64_t magnitude = 0;
    while (e < digits.size() && IsDigit(digits[e]))
      magnitude = AddDigit(magnitude, digits[e++] - '0', kExponentLimit);
    exponent = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  }
  const int64_t leading = integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1);
  return (hex ? leading * 4 : leading) + exponent > 0;
}

// Reads the magnitude of a number whose digits (no sign, no "0x") start with a digit or a point that
// a digit follows.
float ReadMagnitude(std::string_view digits, bool hex)
{
  float magnitude = 0.0f;
  const auto format = hex ? std::chars_format::hex : std::chars_format::general;
  const auto result = float_chars::FromChars(digits.data(), digits.data() + digits.size(), magnitude, format);
  if (result.ec == std::errc::result_out_of_range)
    return TooLargeForFloat(digits, hex) ? std::numeric_limits<float>::infinity() : 0.0f;
  return magnitude;
}

// Reads an optional sign and decimal digits at pos, saturating the magnitude at 2^63 as strtol does
// for a 64-bit long. Returns false when no digit follows the sign.
bool ReadLong(std::string_view text, size_t& pos, int64_t& value)
{
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos >= text.size() || !IsDigit(text[pos])) return false;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  while (pos < text.size() && IsDigit(text[pos]))
    magnitude = AddDigit(magnitude, text[pos++] - '0', limit);
  // Two's complement negation in unsigned arithmetic, so -2^63 needs no signed overflow.
  const uint64_t bits = negative ? ~magnitude + 1 : magnitude;
  value = static_cast<int64_t>(bits);
  return true;
}

// "%Ns": skips white space and takes up to maxChars characters that are not white space.
bool ScanWord(std::string_view text, size_t maxChars, size_t& pos, std::string_view& word)
{
  pos = SkipSpace(text, pos);
  if (pos >= text.size()) return false;
  const size_t start = pos;
  while (pos < text.size() && pos - start < maxChars && !IsCSpace(text[pos]))
    ++pos;
  word = text.substr(start, pos - start);
  return true;
}

// Index of the first of the twelve note names that the name, upper-cased, agrees with over its own
// length; -1 when none does.
int NoteNameIndex(std::string_view name)
{
  static constexpr std::array<std::string_view, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                              "F#", "G",  "G#", "A",  "A#", "B"};
  for (size_t i = 0; i < kNames.size(); ++i)
  {
    const std::string_view known = kNames[i];
    bool agrees = name.size() <= known.size();
    for (size_t c = 0; agrees && c < name.size(); ++c)
      agrees = UpperAscii(name[c]) == known[c];
    if (agrees) return static_cast<int>(i);
  }
  return -1;
}
} // namespace

bool ScanSfzFloat(std::string_view text, float& value)
{
  text = AsCString(text);
  size_t pos = SkipSpace(text, 0);
  if (pos >= text.size()) return false;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
  if (pos >= text.size()) return false;

  float magnitude = 0.0f;
  const char first = LowerAscii(text[pos]);
  if (first == 'i')
  {
    // "inf" or "infinity"; a started but unfinished "infinity" is no number at all.
    if (!WordAt(text, pos, "inf")) return false;
    pos += 3;
    if (pos < text.size() && LowerAscii(text[pos]) == 'i' && !WordAt(text, pos, "inity")) return false;
    magnitude = std::numeric_limits<float>::infinity();
  }
  else if (first == 'n')
  {
    if (!WordAt(text, pos, "nan")) return false;
    magnitude = std::numeric_limits<float>::quiet_NaN();
  }
  else if (first == '0' && pos + 1 < text.size() && LowerAscii(text[pos + 1]) == 'x')
  {
    pos += 2;
    if (pos < text.size() && IsHexDigit(text[pos]))
      magnitude = ReadMagnitude(text.substr(pos), true);
    else if (pos < text.size() && text[pos] == '.')
    {
      // "0x." without a digit after the point reads as 0.
      const bool digitFollows = pos + 1 < text.size() && IsHexDigit(text[pos + 1]);
      magnitude = digitFollows ? ReadMagnitude(text.substr(pos), true) : 0.0f;
    }
    else
      return false;
  }
  else if (IsDigit(first) || (first == '.' && pos + 1 < text.size() && IsDigit(text[pos + 1])))
    magnitude = ReadMagnitude(text.substr(pos), false);
  else
    return false;

  value = negative ? -magnitude : magnitude;
  return true;
}

bool ScanSfzInt(std::string_view text, int& value)
{
  text = AsCString(text);
  size_t pos = SkipSpace(text, 0);
  int64_t number = 0;
  if (!ReadLong(text, pos, number)) return false;
  value = static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(number)));
  return true;
}

int16_t SfzAtoi16(std::string_view text)
{
  text = AsCString(text);
  size_t pos = SkipSpace(text, 0);
  int64_t number = 0;
  if (!ReadLong(text, pos, number)) return 0;
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(number)));
}

bool ReadSfzNote(std::string_view text, int16_t& note)
{
  text = AsCString(text);
  if (text.size() > 3) return false;
  int number = 0;
  if (ScanSfzInt(text, number) && number >= 12)
  {
    note = static_cast<int16_t>(number); // at most three digits
    return true;
  }
  std::string_view name;
  int octave = -1;
  size_t pos = 0;
  if (ScanWord(text, text.size() == 3 ? 2 : 1, pos, name)) ScanSfzInt(text.substr(pos), octave);
  const int index = NoteNameIndex(name);
  note = static_cast<int16_t>(index < 0 ? -1 : index + 12 * octave + 12);
  return true;
}
