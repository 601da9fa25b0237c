#pragma once
// Text helpers of the editor's views: note names and the "%d" reading of typed note numbers, both
// independent of the process locale.

#include <cstddef>

// Name of view note n (MIDI note - 12) as "%s%d" of the pitch name and the octave: 48 gives "C4".
// Negative notes give the empty text. out holds outSize bytes (8 are always enough).
void FormatViewNoteName(int viewNote, char* out, size_t outSize);

// Reads an int the way "%d" does: leading blanks, an optional sign, then digits; what follows is
// ignored. Values beyond the int range saturate. False (out untouched) when there are no digits.
bool ParseLeadingInt(const char* text, int* out);
