#include "tools/kestrune-host/HostCallback.h"

#include "tools/kestrune-host/AllocationCounter.h"
#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/HostedPlugin.h"

#include <cstring>
#include <mutex>

namespace khost
{

namespace
{
// A fixed table: looking an instance up allocates nothing, so it may run inside counted calls.
constexpr int kMaxRegistered = 512;
struct Registered
{
  AEffect* effect;
  HostedPlugin* hosted;
};
Registered gRegistered[kMaxRegistered];
std::mutex gRegistryMutex;

HostedPlugin* FindHosted(AEffect* effect)
{
  if (!effect) return nullptr;
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  for (const Registered& r : gRegistered)
    if (r.effect == effect) return r.hosted;
  return nullptr;
}

// Copies text into a plug-in's buffer of the published size for host strings.
void CopyHostString(void* ptr, const char* text)
{
  if (!ptr) return;
  std::strncpy(static_cast<char*>(ptr), text, kVstMaxProductStrLen - 1);
  static_cast<char*>(ptr)[kVstMaxProductStrLen - 1] = '\0';
}

bool HostCanDo(const char* what)
{
  if (!what) return false;
  static const char* const kCanDo[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                       "receiveVstEvents", "receiveVstMidiEvent", "supplyIdle",
                                       "startStopProcess", "acceptIOChanges",     "reportConnectionChanges"};
  for (const char* c : kCanDo)
    if (std::strcmp(c, what) == 0) return true;
  return false;
}
} // namespace

void RegisterHostedPlugin(AEffect* effect, HostedPlugin* hosted)
{
  if (!effect) return;
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  for (Registered& r : gRegistered)
    if (r.effect == effect)
    {
      r.effect = hosted ? effect : nullptr;
      r.hosted = hosted;
      return;
    }
  if (!hosted) return;
  for (Registered& r : gRegistered)
    if (!r.effect)
    {
      r = {effect, hosted};
      return;
    }
}

extern "C" VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt)
{
  // The host's own work here is not the plug-in's allocation.
  AllocationCounter::Scope notCounting(false);
  switch (opcode)
  {
  case audioMasterVersion:
    return kVstVersion;
  case audioMasterCurrentId:
    return effect ? effect->uniqueID : 0;
  case audioMasterIdle:
  case audioMasterNeedIdle:
  case audioMasterIOChanged:
  case audioMasterSizeWindow:
    return 0;
  case audioMasterWantMidi:
    return 1;
  case audioMasterGetVendorString:
    CopyHostString(ptr, kHostVendorString);
    return 1;
  case audioMasterGetProductString:
    CopyHostString(ptr, kHostProductString);
    return 1;
  case audioMasterGetVendorVersion:
    return kHostVendorVersion;
  case audioMasterCanDo:
    return HostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
  case audioMasterGetLanguage:
    return 1; // English
  case audioMasterGetAutomationState:
    return 1; // off
  default:
    break;
  }
  HostedPlugin* hosted = FindHosted(effect);
  if (!hosted) hosted = HostedPlugin::BeingCreated();
  if (hosted) return hosted->OnHostCall(opcode, index, value, ptr, opt);
  // Before the instance is known: the defaults.
  switch (opcode)
  {
  case audioMasterGetSampleRate:
    return static_cast<VstIntPtr>(kDefaultSampleRateHz);
  case audioMasterGetBlockSize:
    return kDefaultBlockFrames;
  case audioMasterGetCurrentProcessLevel:
    return kVstProcessLevelUser;
  case audioMasterUpdateDisplay:
    return 1;
  default:
    return 0;
  }
}
} // namespace khost
