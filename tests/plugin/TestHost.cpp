#include "plugin/TestHost.h"

#include <mutex>

#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace plugintest
{

namespace
{
TestHost* gCurrentHost = nullptr;
}

TestHost::TestHost()
{
  mTimeInfo.sampleRate = 44100.0;
  mTimeInfo.tempo = 120.0;
  mTimeInfo.timeSigNumerator = 4;
  mTimeInfo.timeSigDenominator = 4;
  mTimeInfo.flags = kVstTempoValid | kVstTimeSigValid;
  gCurrentHost = this;
}

TestHost::~TestHost()
{
  if (gCurrentHost == this) gCurrentHost = nullptr;
}

VstIntPtr TestHost::Callback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt)
{
  TestHost* host = gCurrentHost;
  if (!host) return 0;
  {
    std::lock_guard<std::mutex> lock(host->mCallsMutex);
    host->mCalls.push_back({opcode, index, value, opt, std::this_thread::get_id()});
  }
  switch (opcode)
  {
  case audioMasterVersion:
    return 2400;
  case audioMasterGetTime:
    return reinterpret_cast<VstIntPtr>(&host->mTimeInfo);
  case audioMasterGetProductString:
    if (ptr) std::strcpy(static_cast<char*>(ptr), "Kestrune Test Host");
    return 1;
  case audioMasterProcessEvents:
  {
    const auto* events = static_cast<const VstEvents*>(ptr);
    for (int i = 0; events && i < events->numEvents; ++i)
    {
      const VstEvent* e = events->events[i];
      if (e && e->type == kVstMidiType)
      {
        const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
        host->mMidiOut.push_back({m->deltaFrames,
                                  {static_cast<uint8_t>(m->midiData[0]), static_cast<uint8_t>(m->midiData[1]),
                                   static_cast<uint8_t>(m->midiData[2])}});
      }
    }
    return 1;
  }
  default:
    return 0;
  }
}

int TestHost::Count(VstInt32 opcode) const
{
  int n = 0;
  for (const HostCall& c : mCalls)
    n += c.opcode == opcode ? 1 : 0;
  return n;
}

void TestHost::ClearRecord()
{
  mCalls.clear();
  mMidiOut.clear();
}

PluginModule& PluginModule::Get()
{
  static PluginModule module;
  return module;
}

const char* PluginModule::Path()
{
#ifdef KESTRUNE_MODULE_PATH
  return KESTRUNE_MODULE_PATH;
#else
  return "";
#endif
}

PluginModule::PluginModule()
{
#ifdef _WIN32
  HMODULE module = LoadLibraryA(Path());
  mHandle = module;
  if (!module)
  {
    mError = "LoadLibrary failed, error " + std::to_string(GetLastError());
    return;
  }
  mVSTPluginMain = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
  mMain = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "main")));
#else
  mHandle = dlopen(Path(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle)
  {
    const char* err = dlerror();
    mError = err ? err : "dlopen failed";
    return;
  }
  mVSTPluginMain = reinterpret_cast<Entry>(dlsym(mHandle, "VSTPluginMain"));
  mMain = reinterpret_cast<Entry>(dlsym(mHandle, "main"));
#endif
}

PluginInstance::PluginInstance(PluginModule::Entry entry)
{
  if (!entry) entry = PluginModule::Get().mVSTPluginMain;
  if (entry) mEffect = entry(&TestHost::Callback);
}

PluginInstance::~PluginInstance()
{
  if (mEffect) mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr PluginInstance::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void PluginInstance::Open(float sampleRate, int blockSize)
{
  Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effOpen);
  Dispatch(effMainsChanged, 0, 1);
}

std::string PluginInstance::ParamText(VstInt32 opcode, int idx)
{
  char text[256] = {};
  Dispatch(opcode, idx, 0, text);
  return text;
}

std::string PluginInstance::ProgramName()
{
  char text[300] = {};
  Dispatch(effGetProgramName, 0, 0, text);
  return text;
}

std::string PluginInstance::ProgramNameIndexed(int idx)
{
  char text[300] = {};
  Dispatch(effGetProgramNameIndexed, idx, 0, text);
  return text;
}

std::vector<uint8_t> PluginInstance::GetChunk(int index)
{
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, index, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr PluginInstance::SetChunk(const std::vector<uint8_t>& bytes, int index)
{
  std::vector<uint8_t> copy = bytes; // the host owns its buffer; the plug-in must copy it
  return Dispatch(effSetChunk, index, static_cast<VstIntPtr>(copy.size()), copy.data());
}

VstIntPtr PluginInstance::SendMidi(const std::vector<SentMidi>& events)
{
  std::vector<VstMidiEvent> midi(events.size());
  std::vector<char> storage(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = static_cast<VstInt32>(events.size());
  for (size_t i = 0; i < events.size(); ++i)
  {
    midi[i] = {};
    midi[i].type = kVstMidiType;
    midi[i].byteSize = sizeof(VstMidiEvent);
    midi[i].deltaFrames = events[i].deltaFrames;
    for (int b = 0; b < 3; ++b)
      midi[i].midiData[b] = static_cast<char>(events[i].bytes[b]);
    list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
  }
  return Dispatch(effProcessEvents, 0, 0, list);
}

} // namespace plugintest
