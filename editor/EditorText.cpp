#include "editor/EditorText.h"

#include "framework/TextUtil.h"

#include <climits>
#include <cstring>

namespace
{
constexpr const char* kPitchNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
constexpr int kNotesPerOctave = 12;
} // namespace

void FormatViewNoteName(int viewNote, char* out, size_t outSize)
{
  if (!out || outSize == 0) return;
  out[0] = '\0';
  if (viewNote < 0) return;
  char octave[16];
  FormatInt(viewNote / kNotesPerOctave, octave, sizeof(octave));
  const char* pitch = kPitchNames[viewNote % kNotesPerOctave];
  const size_t pitchLen = std::strlen(pitch);
  const size_t octaveLen = std::strlen(octave);
  if (pitchLen + octaveLen + 1 > outSize) return; // refuse what does not fit
  std::memcpy(out, pitch, pitchLen);
  std::memcpy(out + pitchLen, octave, octaveLen + 1);
}

bool ParseLeadingInt(const char* text, int* out)
{
  if (!text || !out) return false;
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
  {
    negative = *p == '-';
    ++p;
  }
  if (*p < '0' || *p > '9') return false;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
  {
    if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (*p - '0');
  }
  if (negative) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  *out = static_cast<int>(v);
  return true;
}
