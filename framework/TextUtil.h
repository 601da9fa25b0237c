#pragma once
// Bounded text helpers shared by the framework: copies that never write past the destination and
// number formatting/parsing that ignores the process locale.

#include <cstddef>

// Copies src into dst (dstSize bytes, terminator included), cutting what does not fit. A null src
// writes the empty text; dstSize 0 or a null dst writes nothing.
void CopyText(char* dst, size_t dstSize, const char* src);

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
