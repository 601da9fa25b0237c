// A small VST 2.4 instrument for the host tool's tests: sixteen cosine voices (a voice starts at its
// event's frame offset with its full level, so onsets can be found to the frame), a gain and a release
// parameter, two programs, a state chunk, and MIDI passed back to the host once per event. Built once
// well-behaved and once per fault the validator must catch, chosen by a compile definition:
//   SUBJECT_FAULT_nan     writes NaN into every block while a voice sounds
//   SUBJECT_FAULT_chunk   accepts a state chunk but ignores it
//   SUBJECT_FAULT_block1  crashes on a block of one frame
//   SUBJECT_FAULT_alloc   allocates in every process call
//   SUBJECT_FAULT_hang    never returns from a block of 17 frames

#include "framework/VstDefs.h"

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace
{

constexpr int kVoices = 16;
constexpr int kParams = 2; // 0 gain, 1 release
constexpr int kPrograms = 2;
constexpr float kProgramValues[kPrograms][kParams] = {{0.5f, 0.2f}, {0.9f, 0.05f}};
const char* const kProgramNames[kPrograms] = {"Soft", "Loud"};
constexpr uint32_t kChunkMagic = 0x4B485453;

struct Voice
{
  int key = -1;
  double phase = 0.0;
  double step = 0.0;
  double level = 0.0;
  double decay = 1.0; // per frame once released
  bool released = false;
  int startFrame = 0;
};

struct Subject
{
  AEffect effect = {};
  audioMasterCallback host = nullptr;
  double rate = 44100.0;
  std::atomic<float> params[kParams];
  int program = 0;
  Voice voices[kVoices];
  struct Pending
  {
    int frame;
    uint8_t status, key, velocity;
  } pending[512];
  int pendingCount = 0;
  uint8_t chunk[4 + 4 * kParams];

  double ReleaseSeconds() const { return 0.01 + params[1].load() * 0.99; }
};

Subject* Of(AEffect* e)
{
  return static_cast<Subject*>(e->object);
}

void CopyText(void* ptr, const char* text, size_t size)
{
  if (!ptr) return;
  std::snprintf(static_cast<char*>(ptr), size, "%s", text);
}

void StartNote(Subject* s, int key, int velocity, int frame)
{
  for (Voice& v : s->voices)
    if (v.key < 0)
    {
      v.key = key;
      v.phase = 0.0;
      v.step = 2.0 * M_PI * 440.0 * std::pow(2.0, (key - 69) / 12.0) / s->rate;
      v.level = 0.3 * velocity / 127.0;
      v.released = false;
      v.startFrame = frame;
      return;
    }
}

void ReleaseNote(Subject* s, int key)
{
  for (Voice& v : s->voices)
    if (v.key == key && !v.released)
    {
      v.released = true;
      // Down by 80 dB over the release time.
      v.decay = std::pow(10.0, -4.0 / (s->ReleaseSeconds() * s->rate));
    }
}

void Render(Subject* s, float** outputs, int frames)
{
#ifdef SUBJECT_FAULT_block1
  if (frames == 1)
  {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
  }
#endif
#ifdef SUBJECT_FAULT_hang
  while (frames == 17)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
#endif
#ifdef SUBJECT_FAULT_alloc
  std::vector<float>* scratch = new std::vector<float>(static_cast<size_t>(frames) + 1);
  delete scratch;
#endif
  const double gain = s->params[0].load();
  int next = 0;
  for (int i = 0; i < frames; ++i)
  {
    while (next < s->pendingCount && s->pending[next].frame <= i)
    {
      const auto& p = s->pending[next++];
      if ((p.status & 0xF0) == 0x90 && p.velocity > 0)
        StartNote(s, p.key, p.velocity, i);
      else if ((p.status & 0xF0) == 0x80 || (p.status & 0xF0) == 0x90)
        ReleaseNote(s, p.key);
    }
    double sum = 0.0;
    for (Voice& v : s->voices)
    {
      if (v.key < 0) continue;
      sum += v.level * std::cos(v.phase);
      v.phase += v.step;
      if (v.phase > 2.0 * M_PI) v.phase -= 2.0 * M_PI;
      if (v.released)
      {
        v.level *= v.decay;
        if (v.level < 1e-5) v.key = -1; // ended well before subnormal levels
      }
    }
    const float out = static_cast<float>(sum * gain);
    outputs[0][i] = out;
    outputs[1][i] = out;
  }
  s->pendingCount = 0;
#ifdef SUBJECT_FAULT_nan
  for (const Voice& v : s->voices)
    if (v.key >= 0 && frames > 0) outputs[0][0] = std::nanf("");
#endif
}

void ProcessReplacing(AEffect* e, float** /*inputs*/, float** outputs, VstInt32 frames)
{
  Render(Of(e), outputs, frames < 0 ? 0 : frames);
}

void ProcessDouble(AEffect* e, double** /*inputs*/, double** outputs, VstInt32 frames)
{
  // Rendered in single precision through a block-sized scratch on the stack, in pieces.
  float left[256], right[256];
  float* outs[2] = {left, right};
  for (int done = 0; done < frames;)
  {
    const int n = frames - done < 256 ? frames - done : 256;
    Render(Of(e), outs, n);
    for (int i = 0; i < n; ++i)
    {
      outputs[0][done + i] = left[i];
      outputs[1][done + i] = right[i];
    }
    done += n;
  }
}

void SetParameter(AEffect* e, VstInt32 idx, float value)
{
  if (idx < 0 || idx >= kParams) return;
  Of(e)->params[idx] = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
}

float GetParameter(AEffect* e, VstInt32 idx)
{
  return idx >= 0 && idx < kParams ? Of(e)->params[idx].load() : 0.0f;
}

VstIntPtr Dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  Subject* s = Of(e);
  switch (opcode)
  {
  case effClose:
    delete s;
    return 0;
  case effSetSampleRate:
    if (opt > 0.0f) s->rate = opt;
    return 0;
  case effSetProgram:
    if (value >= 0 && value < kPrograms)
    {
      s->program = static_cast<int>(value);
      for (int i = 0; i < kParams; ++i)
        s->params[i] = kProgramValues[s->program][i];
    }
    return 0;
  case effGetProgram:
    return s->program;
  case effGetProgramName:
    CopyText(ptr, kProgramNames[s->program], kVstMaxProgNameLen + 1);
    return 0;
  case effGetProgramNameIndexed:
    if (index < 0 || index >= kPrograms) return 0;
    CopyText(ptr, kProgramNames[index], kVstMaxProgNameLen + 1);
    return 1;
  case effGetParamName:
    if (index >= 0 && index < kParams) CopyText(ptr, index == 0 ? "Gain" : "Release", kVstMaxParamStrLen + 1);
    return 0;
  case effGetParamLabel:
    if (index >= 0 && index < kParams) CopyText(ptr, index == 0 ? "" : "s", kVstMaxParamStrLen + 1);
    return 0;
  case effGetParamDisplay:
    if (index >= 0 && index < kParams && ptr)
    {
      const double shown = index == 0 ? s->params[0].load() : s->ReleaseSeconds();
      std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen + 1, "%.2f", shown);
    }
    return 0;
  case effString2Parameter:
  {
    if (index < 0 || index >= kParams) return 0;
    if (!ptr) return 1;
    const char* text = static_cast<const char*>(ptr);
    double v = 0.0;
    if (std::from_chars(text, text + std::strlen(text), v).ec != std::errc()) return 0;
    SetParameter(e, index, static_cast<float>(index == 0 ? v : (v - 0.01) / 0.99));
    return 1;
  }
  case effCanBeAutomated:
    return index >= 0 && index < kParams ? 1 : 0;
  case effGetChunk:
  {
    if (!ptr) return 0;
    std::memcpy(s->chunk, &kChunkMagic, 4);
    for (int i = 0; i < kParams; ++i)
    {
      const float v = s->params[i].load();
      std::memcpy(s->chunk + 4 + 4 * i, &v, 4);
    }
    *static_cast<void**>(ptr) = s->chunk;
    return sizeof(s->chunk);
  }
  case effSetChunk:
  {
    if (!ptr || value != static_cast<VstIntPtr>(sizeof(s->chunk))) return 0;
    uint32_t magic;
    std::memcpy(&magic, ptr, 4);
    if (magic != kChunkMagic) return 0;
#ifndef SUBJECT_FAULT_chunk
    for (int i = 0; i < kParams; ++i)
    {
      float v;
      std::memcpy(&v, static_cast<const uint8_t*>(ptr) + 4 + 4 * i, 4);
      SetParameter(e, i, std::isfinite(v) ? v : 0.0f);
    }
#endif
    return 1;
  }
  case effProcessEvents:
  {
    const auto* events = static_cast<const VstEvents*>(ptr);
    if (!events) return 0;
    for (int i = 0; i < events->numEvents; ++i)
    {
      const VstEvent* ev = events->events[i];
      if (!ev || ev->type != kVstMidiType) continue;
      const auto* m = reinterpret_cast<const VstMidiEvent*>(ev);
      if (s->pendingCount < 512)
        s->pending[s->pendingCount++] = {m->deltaFrames, static_cast<uint8_t>(m->midiData[0]),
                                         static_cast<uint8_t>(m->midiData[1]),
                                         static_cast<uint8_t>(m->midiData[2])};
      // Every MIDI event goes back to the host once.
      struct
      {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[1];
      } one = {1, 0, {const_cast<VstEvent*>(ev)}};
      if (s->host) s->host(e, audioMasterProcessEvents, 0, 0, &one, 0.0f);
    }
    return 1;
  }
  case effMainsChanged:
    if (value == 0)
      for (Voice& v : s->voices)
        v.key = -1;
    return 0;
  case effGetEffectName:
    CopyText(ptr, "Host Test Subject", kVstMaxEffectNameLen + 1);
    return 1;
  case effGetVendorString:
    CopyText(ptr, "Kestrune tests", kVstMaxVendorStrLen + 1);
    return 1;
  case effGetProductString:
    CopyText(ptr, "Host Test Subject", kVstMaxProductStrLen + 1);
    return 1;
  case effGetVendorVersion:
    return 100;
  case effGetPlugCategory:
    return kPlugCategSynth;
  case effGetVstVersion:
    return kVstVersion;
  case effCanDo:
  {
    const char* what = static_cast<const char*>(ptr);
    if (!what) return 0;
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent"})
      if (std::strcmp(what, yes) == 0) return 1;
    return 0;
  }
  default:
    return 0;
  }
}
} // namespace

extern "C" KESTRUNE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host)
{
  Subject* s = new Subject();
  s->host = host;
  for (int i = 0; i < kParams; ++i)
    s->params[i] = kProgramValues[0][i];
  AEffect& e = s->effect;
  e.magic = kEffectMagic;
  e.dispatcher = &Dispatcher;
  e.setParameter = &SetParameter;
  e.getParameter = &GetParameter;
  e.processReplacing = &ProcessReplacing;
  e.processDoubleReplacing = &ProcessDouble;
  e.numPrograms = kPrograms;
  e.numParams = kParams;
  e.numInputs = 0;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks | effFlagsIsSynth;
  e.ioRatio = 1.0f;
  e.object = s;
  e.uniqueID = VstFourCC('K', 'h', 'T', 's');
  e.version = 100;
  return &e;
}
