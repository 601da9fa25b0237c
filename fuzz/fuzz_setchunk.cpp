// Fuzzes a host restoring a state: effSetChunk with the input's bytes on a fresh in-process instance,
// then a note and a block. The first byte chooses the bank chunk (odd) or the program chunk (even).
//
// The chunk's texts are sample paths that the instance loads. So that no fuzzed path reaches a real
// file outside a temp folder (which holds a few sample files), every "/" in the text part of the chunk
// becomes "_", and each text that can be read from the chunk is put behind the temp folder's path,
// its length word adjusted. A text the chunk's lengths do not lead to is not read by the instance
// either; it stays as it is, without separators.

#include "engine/Kestrune.h"
#include "samplefiles/OggLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Version word and 60 doubles: the texts start after them.
constexpr size_t kTextsOffset = 4 + 60 * 8;

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  return opcode == audioMasterVersion ? 2400 : 0;
}

void PutLe(std::vector<char>& b, uint32_t v, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    b.push_back(static_cast<char>(v >> (8 * i)));
}

// The chunk with every text that can be read (int32 length, then the bytes) and names a file behind
// prefix.
std::vector<uint8_t> PrefixTexts(const std::vector<uint8_t>& chunk, const std::string& prefix)
{
  if (chunk.size() < kTextsOffset) return chunk;
  std::vector<uint8_t> out(chunk.begin(), chunk.begin() + kTextsOffset);
  size_t pos = kTextsOffset;
  while (pos + 4 <= chunk.size())
  {
    int32_t length = 0;
    std::memcpy(&length, chunk.data() + pos, 4);
    if (length < 0 || static_cast<size_t>(length) > chunk.size() - pos - 4) break;
    // "0" and the empty text name no file: they stay as they are.
    const bool names = length > 1 || (length == 1 && chunk[pos + 4] != '0');
    const int32_t longer = length + (names ? static_cast<int32_t>(prefix.size()) : 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&longer);
    out.insert(out.end(), bytes, bytes + 4);
    if (names) out.insert(out.end(), prefix.begin(), prefix.end());
    out.insert(out.end(), chunk.begin() + static_cast<std::ptrdiff_t>(pos + 4),
               chunk.begin() + static_cast<std::ptrdiff_t>(pos + 4 + static_cast<size_t>(length)));
    pos += 4 + static_cast<size_t>(length);
  }
  out.insert(out.end(), chunk.begin() + static_cast<std::ptrdiff_t>(pos), chunk.end());
  return out;
}

// A folder of its own with two sample files, made once per process and removed at exit.
struct WorkFolder
{
  std::string path;
  WorkFolder()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-setchunk-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    // a.wav: 16-bit mono, 64 frames; kit.sfz: two regions of it.
    std::vector<char> wav = {'R', 'I', 'F', 'F'};
    PutLe(wav, 36 + 128, 4);
    for (char c : std::string("WAVEfmt "))
      wav.push_back(c);
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, 1, 2);
    PutLe(wav, 44100, 4);
    PutLe(wav, 88200, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    for (char c : std::string("data"))
      wav.push_back(c);
    PutLe(wav, 128, 4);
    for (int i = 0; i < 64; ++i)
      PutLe(wav, static_cast<uint32_t>(i * 300), 2);
    std::ofstream(path + "/a.wav", std::ios::binary)
        .write(wav.data(), static_cast<std::streamsize>(wav.size()));
    std::ofstream(path + "/kit.sfz")
        << "<region>\nsample=a.wav\nlokey=40\n<region>\nsample=a.wav\nhikey=90\n";
  }
  ~WorkFolder()
  {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const WorkFolder folder;
  if (size == 0) return 0;
  const int index = data[0] & 1;
  std::vector<uint8_t> chunk(data + 1, data + size);
  for (size_t i = kTextsOffset; i < chunk.size(); ++i)
    if (chunk[i] == '/') chunk[i] = '_';
  chunk = PrefixTexts(chunk, folder.path + "/");

  IEffectInstanceInfo info;
  info.mHostCallback = &Host;
  auto plug = std::make_unique<CLS_KESTRUNE>(info);
  AEffect* fx = plug->GetAEffect();
  fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  fx->dispatcher(fx, effSetBlockSize, 0, 64, nullptr, 0.0f);
  fx->dispatcher(fx, effOpen, 0, 0, nullptr, 0.0f);
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  fx->dispatcher(fx, effSetChunk, index, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f);

  double left[64], right[64];
  double* outs[2] = {left, right};
  fx->processDoubleReplacing(fx, nullptr, outs, 8);
  VstMidiEvent on = {};
  on.type = kVstMidiType;
  on.byteSize = sizeof(on);
  on.midiData[0] = static_cast<char>(0x90);
  on.midiData[1] = 60;
  on.midiData[2] = 100;
  VstEvents events = {};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&on);
  fx->dispatcher(fx, effProcessEvents, 0, 0, &events, 0.0f);
  fx->processDoubleReplacing(fx, nullptr, outs, 64);
  void* saved = nullptr;
  fx->dispatcher(fx, effGetChunk, index, 0, &saved, 0.0f);
  fx->dispatcher(fx, effClose, 0, 0, nullptr, 0.0f); // the instance deletes itself
  plug.release();
  return 0;
}
