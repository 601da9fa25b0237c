#include "tools/kestrune-host/KitCommand.h"

#include "tools/kestrune-host/DemoSong.h"
#include "tools/kestrune-host/KitSynth.h"
#include "tools/kestrune-host/OggWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sndfile.h>

namespace khost
{

namespace
{
enum class KitFormat
{
  kPcm16,
  kPcm24,
  kFloat,
  kVorbis
};

// One slot of the kit: its sample, key range, root key and playing settings.
struct KitSlot
{
  const char* file;
  KitSound (*make)();
  KitFormat format;
  int lowKey, highKey, rootKey;
  double attackSeconds, releaseSeconds;
  int volumeDb, pan;
  bool loop;
};

const KitSlot kKit[5] = {
    {"pluck.wav", &KitSynth::PluckedString, KitFormat::kPcm16, 48, 76, 57, 0.0, 0.25, -14, -25, false},
    {"pad.ogg", &KitSynth::Pad, KitFormat::kVorbis, 77, 100, 84, 0.5, 1.2, -22, 0, true},
    {"bass.wav", &KitSynth::Bass, KitFormat::kPcm24, 12, 40, 36, 0.0, 0.12, -13, 0, false},
    {"bell.wav", &KitSynth::Bell, KitFormat::kFloat, 101, 127, 108, 0.0, 1.5, -18, 30, false},
    {"drum.wav", &KitSynth::Drum, KitFormat::kPcm16, 41, 47, 44, 0.0, 0.2, -10, 0, false},
};

// Slot parameter kinds (index = slot * 12 + kind).
constexpr int kKindLowNote = 1, kKindHighNote = 2, kKindRootNote = 3, kKindSemitones = 4, kKindAttack = 5,
              kKindRelease = 6, kKindPan = 7, kKindVolume = 9, kKindLoop = 11;
constexpr int kKindsPerSlot = 12;

bool WriteWav(const std::string& path, const KitSound& sound, KitFormat format, std::string* error)
{
  SF_INFO info = {};
  info.samplerate = sound.sampleRate;
  info.channels = static_cast<int>(sound.channels.size());
  info.format = SF_FORMAT_WAV | (format == KitFormat::kPcm16   ? SF_FORMAT_PCM_16
                                 : format == KitFormat::kPcm24 ? SF_FORMAT_PCM_24
                                                               : SF_FORMAT_FLOAT);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return *error = "cannot write " + path, false;
  const size_t frames = sound.channels[0].size();
  std::vector<float> interleaved(frames * sound.channels.size());
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < sound.channels.size(); ++c)
      interleaved[i * sound.channels.size() + c] = sound.channels[c][i];
  const sf_count_t written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
  if (written != static_cast<sf_count_t>(frames)) return *error = "short write to " + path, false;
  return true;
}

std::string Decimal(double v)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%.3f", v);
  return text;
}

std::string SfzText()
{
  std::string text = "// The default kit of Kestrune: five synthesised instruments, one per slot.\n";
  for (const KitSlot& k : kKit)
  {
    text += "<region>\n";
    text += std::string("sample=") + k.file + "\n";
    text += "lokey=" + std::to_string(k.lowKey) + "\n";
    text += "hikey=" + std::to_string(k.highKey) + "\n";
    text += "pitch_keycenter=" + std::to_string(k.rootKey) + "\n";
    text += "pitch_keytrack=100\n";
    text += "ampeg_attack=" + Decimal(k.attackSeconds) + "\n";
    text += "ampeg_release=" + Decimal(k.releaseSeconds) + "\n";
    text += "volume=" + std::to_string(k.volumeDb) + "\n";
    text += "pan=" + std::to_string(k.pan) + "\n";
    text += std::string("loop_mode=") + (k.loop ? "loop_continuous" : "no_loop") + "\n";
  }
  return text;
}

// The same kit as host options, one argument per line (kestrune-host --args FILE): each sample
// handed to its slot and its settings typed into the parameters.
std::string SlotArgs(const std::filesystem::path& folder)
{
  std::string text;
  int slot = 0;
  for (const KitSlot& k : kKit)
  {
    text += "--slot\n" + std::to_string(slot) + "=" + (folder / k.file).string() + "\n";
    auto param = [&](int kind, const std::string& value)
    { text += "--param-text\n" + std::to_string(slot * kKindsPerSlot + kind) + "=" + value + "\n"; };
    param(kKindLowNote, std::to_string(k.lowKey));
    param(kKindHighNote, std::to_string(k.highKey));
    param(kKindRootNote, std::to_string(k.rootKey));
    param(kKindSemitones, "1.0");
    param(kKindAttack, Decimal(k.attackSeconds));
    param(kKindRelease, Decimal(k.releaseSeconds));
    param(kKindPan, std::to_string(k.pan));
    param(kKindVolume, std::to_string(k.volumeDb));
    param(kKindLoop, k.loop ? "Yes" : "No");
    ++slot;
  }
  return text;
}

bool WriteText(const std::string& path, const std::string& text, std::string* error)
{
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) return *error = "cannot write " + path, false;
  return true;
}
} // namespace

int KitCommand::Run(const std::string& folder, FILE* out, FILE* err)
{
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made)
  {
    std::fprintf(err, "cannot create %s\n", folder.c_str());
    return 1;
  }
  const std::filesystem::path dir = std::filesystem::canonical(folder, made);
  if (made)
  {
    std::fprintf(err, "cannot resolve %s\n", folder.c_str());
    return 1;
  }
  std::string error;
  for (const KitSlot& k : kKit)
  {
    const KitSound sound = k.make();
    const std::string path = (dir / k.file).string();
    const bool ok = k.format == KitFormat::kVorbis
                        ? OggWriter::Write(path, sound.channels, sound.sampleRate, 0.5f, &error)
                        : WriteWav(path, sound, k.format, &error);
    if (!ok)
    {
      std::fprintf(err, "%s\n", error.c_str());
      return 1;
    }
    std::fprintf(out, "%s: %.2f s, %zu channel%s at %d Hz\n", path.c_str(),
                 double(sound.channels[0].size()) / sound.sampleRate, sound.channels.size(),
                 sound.channels.size() == 1 ? "" : "s", sound.sampleRate);
  }
  const std::string sfz = (dir / "kestrune-kit.sfz").string(), args = (dir / "kestrune-kit.args").string(),
                    song = (dir / "kestrune-demo.mid").string();
  if (!WriteText(sfz, SfzText(), &error) || !WriteText(args, SlotArgs(dir), &error) ||
      !DemoSong::Build().Save(song))
  {
    std::fprintf(err, "%s\n", error.empty() ? ("cannot write " + song).c_str() : error.c_str());
    return 1;
  }
  std::fprintf(out, "%s\n%s\n%s\n", sfz.c_str(), args.c_str(), song.c_str());
  return 0;
}
} // namespace khost
