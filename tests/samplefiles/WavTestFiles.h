#pragma once
// Byte-level WAV files for the reader tests: chunks are built in memory and written to a temp folder
// that is removed with the fixture.

#include "samplefiles/PathRules.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace wavtest
{
using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& b, uint32_t v)
{
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutLe32(Bytes& b, uint32_t v)
{
  PutLe16(b, v & 0xFFFF);
  PutLe16(b, v >> 16);
}

inline void Append(Bytes& b, const Bytes& more)
{
  b.insert(b.end(), more.begin(), more.end());
}

// A chunk with its stated size; the payload is written as given (no pad byte added).
inline Bytes Chunk(const char* id, uint32_t statedSize, const Bytes& payload)
{
  Bytes b(id, id + 4);
  PutLe32(b, statedSize);
  Append(b, payload);
  return b;
}

inline Bytes Chunk(const char* id, const Bytes& payload)
{
  return Chunk(id, static_cast<uint32_t>(payload.size()), payload);
}

// A "fmt " chunk of 16 bytes plus extraBytes zero bytes (18 or 40 for the longer variants).
inline Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t extraBytes = 0)
{
  Bytes p;
  PutLe16(p, tag);
  PutLe16(p, channels);
  PutLe32(p, rate);
  PutLe32(p, rate * channels * bits / 8);
  PutLe16(p, static_cast<uint32_t>(channels * bits / 8));
  PutLe16(p, bits);
  p.resize(p.size() + extraBytes, 0);
  return Chunk("fmt ", p);
}

// "RIFF", size, "WAVE" and then the chunks.
inline Bytes Riff(const std::vector<Bytes>& chunks)
{
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks)
    Append(body, c);
  Bytes b{'R', 'I', 'F', 'F'};
  PutLe32(b, static_cast<uint32_t>(body.size()));
  Append(b, body);
  return b;
}

inline Bytes Pcm16(const std::vector<int16_t>& samples)
{
  Bytes b;
  for (int16_t s : samples)
    PutLe16(b, static_cast<uint16_t>(s));
  return b;
}

inline Bytes Float64(const std::vector<double>& samples)
{
  Bytes b(samples.size() * 8);
  std::memcpy(b.data(), samples.data(), b.size());
  return b;
}

// A whole 16-bit mono PCM file of the samples at rate.
inline Bytes MonoPcm16File(const std::vector<int16_t>& samples, uint32_t rate)
{
  return Riff({Fmt(1, 1, rate, 16), Chunk("data", Pcm16(samples))});
}

// Writes bytes to the file at path; false when it cannot be written whole.
inline bool WriteBytes(const std::string& path, const Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A temporary folder, removed with everything in it when the object goes.
class TempDir
{
public:
  TempDir()
  {
#ifdef _WIN32
    // No mkdtemp: a random name, taken only when the folder did not exist.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && mPath.empty(); ++attempt)
    {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("kestrune-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) mPath = candidate.string();
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrune-XXXXXX").string();
    mPath = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
#endif
  }
  ~TempDir()
  {
    std::error_code ignored;
    if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const
  {
    return mPath;
  }
  // The path of name in the folder, joined with the platform's separator.
  std::string In(const std::string& name) const
  {
    return mPath + kPathSeparator + name;
  }

  std::string Write(const std::string& name, const Bytes& bytes) const
  {
    const std::string path = In(name);
    WriteBytes(path, bytes);
    return path;
  }

private:
  std::string mPath;
};
} // namespace wavtest
