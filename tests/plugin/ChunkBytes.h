#pragma once
// Reading state chunks byte by byte: int32 version word, 60 doubles, five
// length-prefixed texts, all little-endian.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace plugintest
{

inline int32_t ChunkInt(const std::vector<uint8_t>& c, size_t pos)
{
  int32_t v = 0;
  std::memcpy(&v, c.data() + pos, sizeof(v));
  return v;
}

// Parameter value i of a VST state chunk (after the version word).
inline double ChunkValue(const std::vector<uint8_t>& c, int i)
{
  double v = 0.0;
  std::memcpy(&v, c.data() + 4 + 8 * static_cast<size_t>(i), sizeof(v));
  return v;
}

// The texts of a chunk, read after the version and the 60 values; stops at the first malformed one.
inline std::vector<std::string> ChunkTexts(const std::vector<uint8_t>& c)
{
  std::vector<std::string> texts;
  size_t pos = 4 + 60 * 8;
  while (pos + 4 <= c.size())
  {
    const int32_t n = ChunkInt(c, pos);
    if (n < 0 || pos + 4 + static_cast<size_t>(n) > c.size()) break;
    texts.emplace_back(reinterpret_cast<const char*>(c.data() + pos + 4), static_cast<size_t>(n));
    pos += 4 + static_cast<size_t>(n);
  }
  return texts;
}
} // namespace plugintest
