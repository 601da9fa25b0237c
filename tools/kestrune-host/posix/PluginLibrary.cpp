// Opening a module with dlopen.

#include "tools/kestrune-host/PluginLibrary.h"

#include <dlfcn.h>

namespace khost
{

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
} // namespace khost
