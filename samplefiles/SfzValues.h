#pragma once
// Value conversions of the SFZ reader. They give the results of the C library's conversions in the
// C locale ("%f", "%d", atoi, "%1s%d"/"%2s%d") whatever the process locale is, without calling them:
// hosts set locales in which "0.5" reads as 0. The text is taken as a C string would be: up to its
// first NUL byte, if any. Any thread; no allocation.

#include <cstdint>
#include <string_view>

// "%f": skips leading white space and reads the longest number at the start of text (decimal or
// "0x" hexadecimal, "inf", "infinity", "nan"), rounded to float; out of range gives +-inf or +-0.
// Returns false, leaving value as it was, when no number starts the text.
bool ScanSfzFloat(std::string_view text, float& value);

// "%d": skips leading white space and reads an optional sign and decimal digits; a value past the
// range of int keeps its low 32 bits. Returns false, leaving value as it was, when no digit follows.
bool ScanSfzInt(std::string_view text, int& value);

// atoi, kept to 16 bits: skips leading white space, reads an optional sign and decimal digits (none
// gives 0), saturates at the limits of a 64-bit long as strtol does, and keeps the low 16 bits.
int16_t SfzAtoi16(std::string_view text);

// A note value of "lokey", "hikey" or "pitch_keycenter". Returns false (sets nothing) for a text longer
// than three characters. Otherwise note becomes a leading integer of 12 or more, or else the note
// name and octave read with "%2s%d" (three characters) or "%1s%d" (fewer): the name, upper-cased,
// compared over its own length with "C", "C#", "D", ... "B" in this order, gives index i and the note
// i + 12 x octave + 12; a missing octave counts as -1, a name that agrees with none gives -1.
bool ReadSfzNote(std::string_view text, int16_t& note);
