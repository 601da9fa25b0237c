#pragma once
// Bounded text helpers shared by the framework: copies that never write past the destination and
// number formatting/parsing that ignores the process locale.

#include <cstddef>
#include <string_view>

// Copies src into dst (dstSize bytes, terminator included), cutting what does not fit at the end of a
// whole character, never inside one. A null src writes the empty text; dstSize 0 or a null dst writes
// nothing.
void CopyText(char* dst, size_t dstSize, const char* src);

// Texts are UTF-8, read as the drawing layer draws them (DRAW_Utf8.h): a well-formed sequence is one
// character, any other byte a character of its own.
// The number of characters of text.
size_t CountChars(std::string_view text);
// The bytes of text's first maxChars characters (all of text when it has no more).
size_t CharPrefixBytes(std::string_view text, size_t maxChars);
// The longest start of text of at most maxBytes bytes that ends at the end of a character.
size_t FitBytes(std::string_view text, size_t maxBytes);

// Writes value with `decimals` fixed decimals ("%.*f" in the C locale), cut to outSize bytes.
void FormatFixed(double value, int decimals, char* out, size_t outSize);

// Writes an int ("%d"), cut to outSize bytes.
void FormatInt(long long value, char* out, size_t outSize);

// Reads the number at the start of text the way strtod (and atof) does in the C locale, whatever the
// process locale: leading blanks and a sign allowed, trailing text ignored; decimal numbers with an
// optional "e" exponent, hexadecimal ones after "0x" with an optional "p" exponent, "inf", "infinity"
// and "nan" in any case; a number too large gives +-infinity (HUGE_VAL) and one too small +-0. 0 when
// there is no number; null text reads as 0.
double ParseDouble(const char* text);
