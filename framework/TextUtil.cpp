#include "framework/TextUtil.h"

#include "drawing/DRAW_Utf8.h"
#include "framework/FloatChars.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

void CopyText(char* dst, size_t dstSize, const char* src)
{
  if (!dst || dstSize == 0) return;
  size_t n = 0;
  if (src)
  {
    // Up to a whole character (at most four bytes) past what fits: enough to read the last character
    // that starts inside the field whole, so that it is kept or left out whole.
    constexpr size_t kMaxCharBytes = 4;
    const size_t scan = dstSize - 1 + kMaxCharBytes;
    size_t length = 0;
    while (length < scan && src[length] != '\0')
      ++length;
    n = FitBytes(std::string_view(src, length), dstSize - 1);
    std::memmove(dst, src, n);
  }
  dst[n] = '\0';
}

size_t CountChars(std::string_view text)
{
  const char* p = text.data();
  const char* end = p + text.size();
  size_t n = 0;
  for (; p < end; ++n)
    DRAW_NextCodepoint(p, end);
  return n;
}

size_t CharPrefixBytes(std::string_view text, size_t maxChars)
{
  const char* p = text.data();
  const char* end = p + text.size();
  for (size_t n = 0; n < maxChars && p < end; ++n)
    DRAW_NextCodepoint(p, end);
  return static_cast<size_t>(p - text.data());
}

size_t FitBytes(std::string_view text, size_t maxBytes)
{
  if (text.size() <= maxBytes) return text.size();
  const char* p = text.data();
  const char* end = p + text.size();
  size_t fit = 0;
  while (p < end)
  {
    DRAW_NextCodepoint(p, end);
    const size_t after = static_cast<size_t>(p - text.data());
    if (after > maxBytes) break;
    fit = after;
  }
  return fit;
}

namespace
{
// Copies the range [begin, end) into out, bounded.
void WriteRange(const char* begin, const char* end, char* out, size_t outSize)
{
  if (!out || outSize == 0) return;
  const size_t n = std::min(static_cast<size_t>(end - begin), outSize - 1);
  std::memcpy(out, begin, n);
  out[n] = '\0';
}
} // namespace

void FormatFixed(double value, int decimals, char* out, size_t outSize)
{
  char buf[512]; // a fixed double has at most 309 integer digits
  const auto res = float_chars::ToCharsFixed(buf, buf + sizeof(buf), value, decimals);
  WriteRange(buf, res.ec == std::errc() ? res.ptr : buf, out, outSize);
}

void FormatInt(long long value, char* out, size_t outSize)
{
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof(buf), value);
  WriteRange(buf, res.ptr, out, outSize);
}

namespace
{
bool IsHexDigit(char c)
{
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int DigitValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// For a number the conversion found too large or too small for a double: whether it is too large.
// [begin, end) is the digits, point and exponent of a decimal number (base 10, exponent "e" in powers
// of ten) or of a hexadecimal one after its "0x" (exponent "p" in powers of two). Only the sign of
// the number's order matters: a result out of range is at least 2^1024 or below 2^-1074.
bool TooLarge(const char* begin, const char* end, bool hex)
{
  const int digitBits = hex ? 4 : 1; // the order is counted in bits (hex) or decimal digits
  const char exponentMark = hex ? 'p' : 'e';
  long long order = 0; // the place of the first non-zero digit, 0 = the units
  bool seenNonZero = false;
  bool afterPoint = false;
  const char* p = begin;
  for (; p < end; ++p)
  {
    const char c = *p;
    if (c == '.')
    {
      afterPoint = true;
      continue;
    }
    if ((c | 0x20) == exponentMark) break;
    if (!seenNonZero && DigitValue(c) != 0)
    {
      seenNonZero = true;
      if (afterPoint) order -= digitBits; // the digit's own place after the point
    }
    else if (seenNonZero && !afterPoint)
      order += digitBits; // one more integer digit after the first non-zero one
    else if (!seenNonZero && afterPoint)
      order -= digitBits; // a leading zero after the point
  }
  long long exponent = 0;
  if (p < end)
  {
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    constexpr long long kSaturated = 1000000000LL; // far beyond any double's order
    for (; p < end && exponent < kSaturated; ++p)
      exponent = exponent * 10 + (*p - '0');
    if (negative) exponent = -exponent;
  }
  return order + exponent > 0;
}
} // namespace

double ParseDouble(const char* text)
{
  if (!text) return 0.0;
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
  {
    negative = *p == '-';
    ++p;
  }
  if (*p == '+' || *p == '-') return 0.0; // a second sign is not a number
  const char* end = p + std::strlen(p);
  // "0x" followed by a hexadecimal digit (or a point and one) starts a hexadecimal number, whose
  // exponent is a power of two after "p"; otherwise the "0" alone is the number.
  const bool hex =
      p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && (IsHexDigit(p[2]) || (p[2] == '.' && IsHexDigit(p[3])));
  if (hex) p += 2;
  double value = 0.0;
  const auto res =
      float_chars::FromChars(p, end, value, hex ? std::chars_format::hex : std::chars_format::general);
  if (res.ec == std::errc::invalid_argument) return 0.0;
  // Out of range, from_chars leaves value alone; the C library answers HUGE_VAL for a number too large
  // and 0 for one too small (both with their sign).
  if (res.ec == std::errc::result_out_of_range)
    value = TooLarge(p, res.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}
