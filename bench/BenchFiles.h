#pragma once
// Files the benchmarks read: a temporary folder of their own, removed at exit, integer PCM WAV files
// of a stereo sine sweep written into it, and the large samples of the loading benchmarks.

#include "tests/samplefiles/OggTestFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace benchfiles
{

class TempFolder
{
public:
  explicit TempFolder(const char* prefix) : mPrefix(prefix) {}
  ~TempFolder()
  {
    std::error_code ignored;
    if (!mDir.empty()) std::filesystem::remove_all(mDir, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, made on first use.
  const std::string& Dir()
  {
    if (mDir.empty())
    {
      std::string pattern = (std::filesystem::temp_directory_path() / (mPrefix + "-XXXXXX")).string();
      if (mkdtemp(pattern.data()) == nullptr) std::abort();
      mDir = pattern;
    }
    return mDir;
  }

private:
  std::string mPrefix, mDir;
};

// Writes a PCM WAV file of 16 or 24 bits: channel c holds sin(frame * 0.001 * (c + 1)) at full scale.
// Aborts when the file cannot be written (a benchmark without its file measures nothing).
inline void WriteSineWav(const std::string& path, uint32_t frames, int channels, uint32_t rate, int bits)
{
  std::vector<uint8_t> bytes;
  auto put = [&bytes](uint32_t v, int n)
  {
    for (int i = 0; i < n; ++i)
      bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto tag = [&bytes](const char* four) { bytes.insert(bytes.end(), four, four + 4); };
  const uint32_t frameBytes = static_cast<uint32_t>(channels * bits / 8);
  const uint32_t dataBytes = frames * frameBytes;
  tag("RIFF");
  put(4 + 24 + 8 + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(static_cast<uint32_t>(channels), 2);
  put(rate, 4);
  put(rate * frameBytes, 4);
  put(frameBytes, 2);
  put(static_cast<uint32_t>(bits), 2);
  tag("data");
  put(dataBytes, 4);
  bytes.reserve(bytes.size() + dataBytes);
  const double full = bits == 16 ? 32767.0 : 8388607.0;
  for (uint32_t f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      put(static_cast<uint32_t>(static_cast<int32_t>(std::sin(f * 0.001 * (c + 1)) * full)), bits / 8);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
}

// The loading benchmarks' files: a 60-second stereo 24-bit WAV file and a 60-second stereo Ogg Vorbis
// file of 44.1 kHz, written on first use, removed at exit.
class LargeSamples
{
public:
  static constexpr int kSeconds = 60;
  static constexpr uint32_t kRate = 44100;
  static constexpr uint32_t kFrames = kSeconds * kRate;
  static constexpr int kChannels = 2;

  static LargeSamples& Get()
  {
    static LargeSamples files;
    return files;
  }
  const std::string& Wav()
  {
    if (mWav.empty())
    {
      mWav = mFolder.Dir() + "/stereo60_24.wav";
      WriteSineWav(mWav, kFrames, kChannels, kRate, 24);
    }
    return mWav;
  }
  const std::string& Ogg()
  {
    if (mOgg.empty())
    {
      mOgg = mFolder.Dir() + "/stereo60.ogg";
      if (!oggtest::WriteOgg(mOgg, kChannels, kRate, kFrames)) std::abort();
    }
    return mOgg;
  }

private:
  LargeSamples() = default;
  TempFolder mFolder{"kestrune-loadbench"};
  std::string mWav, mOgg;
};
} // namespace benchfiles
