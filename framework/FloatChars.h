#pragma once
// Locale-free conversions of floating-point numbers: std::from_chars and std::to_chars where the C++
// library has them for floating point; with a library that lacks them (libc++ as macOS ships it:
// neither in its headers, nor in its dylib before macOS 13.3) the C library's conversions in the "C"
// locale, with from_chars's rules (no leading white space or '+', hex digits without "0x", out of
// range leaves the value untouched). Header-only, so that any folder may use it.

#include <charconv>
#include <system_error>

#if !defined(__cpp_lib_to_chars) && defined(__APPLE__)
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <xlocale.h>
#define KESTRUNE_FLOAT_CHARS_FALLBACK 1
#endif

namespace float_chars
{
#ifdef KESTRUNE_FLOAT_CHARS_FALLBACK
inline locale_t CLocale()
{
  static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

template <typename T>
std::from_chars_result FromChars(const char* first, const char* last, T& value, std::chars_format fmt)
{
  const char* p = first;
  const bool negative = p < last && *p == '-';
  if (negative) ++p;
  const bool hex = fmt == std::chars_format::hex;
  if (p == last || *p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v' ||
      *p == '+' || *p == '-')
    return {first, std::errc::invalid_argument};
  std::string text(negative ? "-" : "");
  if (hex) text += "0x";
  // The C library would read "0x" itself in the general format; from_chars stops after the 0.
  const bool prefixed = !hex && last - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
  text.append(p, prefixed ? p + 1 : last);
  char* end = nullptr;
  errno = 0;
  const T parsed = sizeof(T) == sizeof(float) ? static_cast<T>(strtof_l(text.c_str(), &end, CLocale()))
                                              : static_cast<T>(strtod_l(text.c_str(), &end, CLocale()));
  const size_t used = static_cast<size_t>(end - text.c_str());
  const size_t added = hex ? 2 : 0;
  if (used <= added + (negative ? 1 : 0)) return {first, std::errc::invalid_argument};
  const char* stop = first + (used - added);
  if (errno == ERANGE) return {stop, std::errc::result_out_of_range};
  value = parsed;
  return {stop, std::errc()};
}

inline std::to_chars_result ToCharsFixed(char* first, char* last, double value, int decimals)
{
  const int n = snprintf_l(first, static_cast<size_t>(last - first), CLocale(), "%.*f", decimals, value);
  if (n < 0 || n >= last - first) return {last, std::errc::value_too_large};
  return {first + n, std::errc()};
}
#else
template <typename T>
std::from_chars_result FromChars(const char* first, const char* last, T& value, std::chars_format fmt)
{
  return std::from_chars(first, last, value, fmt);
}

inline std::to_chars_result ToCharsFixed(char* first, char* last, double value, int decimals)
{
  return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
}
#endif
} // namespace float_chars
