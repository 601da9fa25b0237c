#include "framework/VSTEntry.h"

#include <algorithm>
#include <memory>
#include <mutex>

AEffect* VSTCreateInstance(audioMasterCallback hostCallback, VSTPlugFactory factory)
{
  static std::mutex creationMutex; // instances are constructed one at a time, process-wide
  std::lock_guard<std::mutex> lock(creationMutex);
  if (!hostCallback || !factory) return nullptr;
  try
  {
    IEffectInstanceInfo info;
    info.mHostCallback = hostCallback;
    std::unique_ptr<IEffectVST> plug(factory(info));
    if (!plug) return nullptr;
    plug->EnsureDefaultPreset();
    AEffect* effect = plug->GetAEffect();
    effect->numPrograms = std::max(plug->NPresets(), 1);
    plug.release(); // owned by the host from here; effClose destroys it
    return effect;
  }
  catch (...)
  {
    return nullptr; // nothing crosses into the host
  }
}
