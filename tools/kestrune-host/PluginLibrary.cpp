#include "tools/kestrune-host/PluginLibrary.h"

#include "tools/kestrune-host/HostCallback.h"

#include <dlfcn.h>

namespace khost
{

PluginLibrary::PluginLibrary(std::string path, Entry entry, const char* entryName)
    : mPath(std::move(path)), mEntry(entry), mEntryName(entryName)
{
}

std::unique_ptr<PluginLibrary> PluginLibrary::Open(const std::string& path, std::string* error)
{
  // A bare file name would make dlopen search the library path instead of the current folder.
  const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle)
  {
    const char* why = dlerror();
    if (error) *error = why ? why : "cannot load " + path;
    return nullptr;
  }
  const char* entryName = "VSTPluginMain";
  void* symbol = dlsym(handle, entryName);
  if (!symbol)
  {
    entryName = "main";
    symbol = dlsym(handle, entryName);
  }
  if (!symbol)
  {
    if (error) *error = path + " exports neither VSTPluginMain nor main";
    return nullptr;
  }
  return std::unique_ptr<PluginLibrary>(new PluginLibrary(path, reinterpret_cast<Entry>(symbol), entryName));
}

AEffect* PluginLibrary::CreateEffect() const
{
  AEffect* effect = mEntry(&HostCallback);
  if (effect && effect->magic != kEffectMagic) return nullptr;
  return effect;
}
} // namespace khost
