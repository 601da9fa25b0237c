// kestrune-snapshot: builds one Kestrune instance in this process, optionally loads sample files into
// its slots and plays notes, runs the editor's timer ticks without a window and writes the editor's
// picture to a PNG file.
//
//   kestrune-snapshot [options] OUT.png
//     --sample SLOT=PATH   load a WAV or Ogg Vorbis file into slot 0..4 (repeatable)
//     --tone SLOT=SECONDS[,CHANNELS]  put a generated decaying tone into the slot (repeatable)
//     --note NOTE[,VELOCITY]          hold MIDI note NOTE (repeatable)
//     --set INDEX=VALUE               set parameter INDEX (0..59) to a normalised VALUE through the host
//     --render FRAMES                 frames rendered after the notes (default 4800: voices move on)
//     --ticks N                       editor timer ticks after everything (default 24)
//     --message TEXT                  show TEXT in the message bar
//     --rate HZ                       the host's sample rate (default 48000)

#include "drawing/DRAW_PNG.h"
#include "drawing/DRAW_SysBitmap.h"
#include "editor/BarLabel.h"
#include "editor/MySample.h"
#include "engine/Kestrune.h"
#include "framework/IGraphics.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "samplefiles/OggLoader.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr int kBlockFrames = 512;

struct Options
{
  std::string mOut;
  std::vector<std::pair<int, std::string>> mSamples;
  struct Tone
  {
    int mSlot;
    double mSeconds;
    int mChannels;
  };
  std::vector<Tone> mTones;
  std::vector<std::pair<int, int>> mNotes;
  std::vector<std::pair<int, double>> mSets;
  int mRenderFrames = 4800;
  int mTicks = 24;
  std::string mMessage;
  double mRate = 48000.0;
};

VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  return opcode == audioMasterVersion ? 2400 : 0;
}

void Usage()
{
  std::fprintf(stderr, "usage: kestrune-snapshot [--sample SLOT=PATH] [--tone SLOT=SECONDS[,CHANNELS]] "
                       "[--note NOTE[,VELOCITY]] [--set INDEX=VALUE] [--render FRAMES] [--ticks N] "
                       "[--message TEXT] [--rate HZ] OUT.png\n");
}

bool SplitAt(const std::string& text, char sep, std::string* a, std::string* b)
{
  const size_t at = text.find(sep);
  if (at == std::string::npos) return false;
  *a = text.substr(0, at);
  *b = text.substr(at + 1);
  return true;
}

bool ParseOptions(int argc, char** argv, Options* o)
{
  for (int i = 1; i < argc; ++i)
  {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    std::string a, b;
    if (arg == "--sample" && hasValue && SplitAt(argv[++i], '=', &a, &b))
      o->mSamples.emplace_back(std::atoi(a.c_str()), b);
    else if (arg == "--tone" && hasValue && SplitAt(argv[++i], '=', &a, &b))
    {
      std::string seconds = b, channels = "1";
      SplitAt(b, ',', &seconds, &channels);
      o->mTones.push_back(
          {std::atoi(a.c_str()), std::strtod(seconds.c_str(), nullptr), std::atoi(channels.c_str())});
    }
    else if (arg == "--note" && hasValue)
    {
      std::string note = argv[++i], velocity = "100";
      SplitAt(argv[i], ',', &note, &velocity);
      o->mNotes.emplace_back(std::atoi(note.c_str()), std::atoi(velocity.c_str()));
    }
    else if (arg == "--set" && hasValue && SplitAt(argv[++i], '=', &a, &b))
      o->mSets.emplace_back(std::atoi(a.c_str()), std::strtod(b.c_str(), nullptr));
    else if (arg == "--render" && hasValue)
      o->mRenderFrames = std::atoi(argv[++i]);
    else if (arg == "--ticks" && hasValue)
      o->mTicks = std::atoi(argv[++i]);
    else if (arg == "--message" && hasValue)
      o->mMessage = argv[++i];
    else if (arg == "--rate" && hasValue)
      o->mRate = std::strtod(argv[++i], nullptr);
    else if (!arg.empty() && arg[0] != '-' && o->mOut.empty())
      o->mOut = arg;
    else
      return false;
  }
  return !o->mOut.empty() && o->mRate > 0.0;
}

std::string FileName(const std::string& path)
{
#ifdef _WIN32
  const size_t slash = path.find_last_of("/\\"); // Windows paths may use either separator
#else
  const size_t slash = path.find_last_of('/');
#endif
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() > 20) name.resize(19); // the sample view's cut of long names
  return name;
}

// Puts a decoded buffer into the slot under the instance mutex, as the loading flow's last steps do.
void InstallSample(CLS_KESTRUNE& plug, int slot, std::unique_ptr<double[]> data, uint32_t frames,
                   int channels, double fileRate, const std::string& name)
{
  std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
  SamplerEngine& e = plug.Engine();
  e.StopSlotVoices(slot);
  e.mSampleData[slot] = std::move(data);
  e.mSampleFrames[slot] = frames;
  e.mSampleChannels[slot] = static_cast<int16_t>(channels);
  e.mSampleFileRate[slot] = fileRate;
  e.mRateRatio[slot] = fileRate / e.mEngineSampleRate;
  if (e.mReverse[slot]) e.ReverseSampleData(slot);
  MySample* view = plug.Views()->SampleView(slot);
  view->SetDuration(frames / fileRate);
  view->SetDisplayName(name.c_str());
  view->SetChanged();
}

bool LoadSampleFile(CLS_KESTRUNE& plug, int slot, const std::string& path)
{
  SampleFileInfo info;
  const bool ogg = path.size() > 4 && (path.compare(path.size() - 4, 4, ".ogg") == 0 ||
                                       path.compare(path.size() - 4, 4, ".OGG") == 0);
  if (!(ogg ? ReadOggHeader(path.c_str(), info) : ReadWavHeader(path.c_str(), info))) return false;
  if (info.frames == 0) return false;
  std::unique_ptr<double[]> data = AllocateSampleData(info.frames, info.channels);
  if (!data) return false;
  const bool ok = ogg ? LoadOggSampleData(path.c_str(), data.get(), info.frames, info.channels)
                      : LoadWavSampleData(path.c_str(), data.get(), info.frames, info.channels);
  if (!ok) return false;
  InstallSample(plug, slot, std::move(data), info.frames, info.channels, info.sampleRate, FileName(path));
  return true;
}

void MakeTone(CLS_KESTRUNE& plug, int slot, double seconds, int channels, double rate)
{
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  if (frames == 0) return;
  channels = channels >= 2 ? 2 : 1;
  auto data = std::make_unique<double[]>(static_cast<size_t>(frames) * channels);
  for (int c = 0; c < channels; ++c)
  {
    for (uint32_t i = 0; i < frames; ++i)
    {
      const double t = i / rate;
      const double envelope = std::exp(-3.0 * t / seconds) * std::min(1.0, t * 200.0);
      data[static_cast<size_t>(c) * frames + i] = 0.9 * envelope *
                                                  std::sin(2.0 * kPi * (110.0 + 55.0 * c) * t) *
                                                  (0.6 + 0.4 * std::sin(2.0 * kPi * 3.0 * t));
    }
  }
  char name[32];
  std::snprintf(name, sizeof(name), "tone %d.wav", slot + 1);
  InstallSample(plug, slot, std::move(data), frames, channels, rate, name);
}

void Render(AEffect* fx, int frames)
{
  std::vector<float> left(kBlockFrames), right(kBlockFrames);
  float* outs[2] = {left.data(), right.data()};
  while (frames > 0)
  {
    const int n = frames < kBlockFrames ? frames : kBlockFrames;
    fx->processReplacing(fx, nullptr, outs, n);
    frames -= n;
  }
}
} // namespace

int main(int argc, char** argv)
{
  Options o;
  if (!ParseOptions(argc, argv, &o))
  {
    Usage();
    return 2;
  }

  IEffectInstanceInfo info;
  info.mHostCallback = &QuietHost;
  auto plug = std::make_unique<CLS_KESTRUNE>(info);
  AEffect* fx = plug->GetAEffect();
  fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, static_cast<float>(o.mRate));
  fx->dispatcher(fx, effSetBlockSize, 0, kBlockFrames, nullptr, 0.0f);
  fx->dispatcher(fx, effOpen, 0, 0, nullptr, 0.0f);
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  Render(fx, kBlockFrames);

  auto* gui = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(plug.get()));
  if (!gui || !gui->Open(nullptr))
  {
    std::fprintf(stderr, "kestrune-snapshot: the editor cannot be opened\n");
    return 1;
  }

  for (const auto& set : o.mSets)
    fx->setParameter(fx, set.first, static_cast<float>(set.second));
  for (const auto& tone : o.mTones)
    if (tone.mSlot >= 0 && tone.mSlot < kNumSlots)
      MakeTone(*plug, tone.mSlot, tone.mSeconds, tone.mChannels, o.mRate);
  for (const auto& sample : o.mSamples)
  {
    if (sample.first < 0 || sample.first >= kNumSlots || !LoadSampleFile(*plug, sample.first, sample.second))
    {
      std::fprintf(stderr, "kestrune-snapshot: cannot load %s into slot %d\n", sample.second.c_str(),
                   sample.first);
      return 1;
    }
  }
  for (const auto& note : o.mNotes)
  {
    IMidiMsg msg(0, 0x90, static_cast<uint8_t>(note.first), static_cast<uint8_t>(note.second));
    std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
    plug->ProcessMidiMsg(&msg);
  }
  Render(fx, o.mRenderFrames);
  if (!o.mMessage.empty()) plug->Views()->SampleView(0)->MessageBar()->SetMessage(o.mMessage.c_str());

  IRECT all(0, 0, gui->Width(), gui->Height());
  gui->Draw(&all);
  gui->Ticks(o.mTicks);
  if (!DRAW_SavePNG(gui->GetDrawBitmap(), o.mOut.c_str()))
  {
    std::fprintf(stderr, "kestrune-snapshot: cannot write %s\n", o.mOut.c_str());
    return 1;
  }
  gui->Close();
  return 0;
}
