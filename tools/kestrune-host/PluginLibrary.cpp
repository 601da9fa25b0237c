#include "tools/kestrune-host/PluginLibrary.h"

#include "tools/kestrune-host/HostCallback.h"

namespace khost
{

PluginLibrary::PluginLibrary(std::string path, Entry entry, const char* entryName)
    : mPath(std::move(path)), mEntry(entry), mEntryName(entryName)
{
}

AEffect* PluginLibrary::CreateEffect() const
{
  AEffect* effect = mEntry(&HostCallback);
  if (effect && effect->magic != kEffectMagic) return nullptr;
  return effect;
}
} // namespace khost
