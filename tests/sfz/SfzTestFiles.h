#pragma once
// SFZ files and the tiny WAV files they name, written to a temp folder that goes with the fixture.

#include "samplefiles/SfzFullReader.h"
#include "samplefiles/SfzLineReader.h"
#include "samplefiles/WavTestFiles.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

namespace sfztest
{
// A valid mono 16-bit WAV file: the 44-byte header and four frames.
inline wavtest::Bytes TinyWav()
{
  using namespace wavtest;
  return Riff({Fmt(1, 1, 44100, 16), Chunk("data", Pcm16({0, 1000, -1000, 0}))});
}

class SfzFolder
{
public:
  const std::string& Path() const { return mDir.Path(); }

  // Writes a tiny WAV file at the relative path name, creating its folders; returns the full path.
  std::string Wav(const std::string& name) const
  {
    std::filesystem::create_directories(std::filesystem::path(Path() + "/" + name).parent_path());
    return mDir.Write(name, TinyWav());
  }

  // Writes text as it stands (no line ending added) to the relative path name; returns the full path.
  std::string Text(const std::string& name, const std::string& text) const
  {
    const std::string path = Path() + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    return path;
  }

private:
  wavtest::TempDir mDir;
};

// The line reader's runs for slots 0 to 4, as the loading flow makes them, each with its slot's
// warning flag clear.
inline std::array<SfzSlotResult, kSfzSlots> ReadAllSlots(const std::string& sfzPath)
{
  std::array<SfzSlotResult, kSfzSlots> results;
  for (int slot = 0; slot < kSfzSlots; ++slot)
    results[static_cast<size_t>(slot)] = ReadSfzSlotByLines(sfzPath, slot, false);
  return results;
}

// The same runs of the full reader.
inline std::array<SfzSlotResult, kSfzSlots> ReadAllSlotsFull(const std::string& sfzPath)
{
  std::array<SfzSlotResult, kSfzSlots> results;
  for (int slot = 0; slot < kSfzSlots; ++slot)
    results[static_cast<size_t>(slot)] = ReadSfzSlotFull(sfzPath, slot, false);
  return results;
}
} // namespace sfztest
