#pragma once
// What the SFZ harnesses share: the check that stops a run, and the tiny sample they put beside an
// input so that its regions have a file to name.

#include <cstddef>
#include <cstdio>
#include <string>

namespace fuzzfiles
{
inline void Check(bool condition)
{
  if (!condition) __builtin_trap();
}

// A mono 16-bit WAV file of four frames.
inline constexpr unsigned char kTinyWav[] = {
    'R', 'I', 'F', 'F', 44, 0, 0,    0,    'W', 'A', 'V',  'E',  'f',  'm',  't', ' ', 16, 0,
    0,   0,   1,   0,   1,  0, 0x44, 0xAC, 0,   0,   0x88, 0x58, 1,    0,    2,   0,   16, 0,
    'd', 'a', 't', 'a', 8,  0, 0,    0,    0,   0,   0xE8, 3,    0x18, 0xFC, 0,   0};

inline bool WriteFile(const std::string& path, const void* data, size_t size)
{
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}
} // namespace fuzzfiles
