#include "framework/TextUtil.h"

#include "framework/FloatChars.h"

#include <algorithm>
#include <charconv>
#include <cstring>

void CopyText(char* dst, size_t dstSize, const char* src)
{
  if (!dst || dstSize == 0) return;
  size_t n = 0;
  if (src)
  {
    while (n + 1 < dstSize && src[n] != '\0')
      ++n;
    std::memmove(dst, src, n);
  }
  dst[n] = '\0';
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
  double value = 0.0;
  const auto res = float_chars::FromChars(p, p + std::strlen(p), value, std::chars_format::general);
  if (res.ec == std::errc::invalid_argument) return 0.0;
  // Out-of-range numbers: from_chars leaves value untouched; atof answers +-HUGE_VAL or 0.
  if (res.ec == std::errc::result_out_of_range) return 0.0;
  return negative ? -value : value;
}
