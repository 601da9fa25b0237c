#pragma once
// A VST 2.4 plug-in module, opened with dlopen (posix/PluginLibrary.cpp) or LoadLibrary
// (windows/PluginLibrary.cpp): finds its entry point (VSTPluginMain, else main) and creates instances
// through it with the host tool's callback. The module stays loaded for the life of the process: many
// plug-ins leave threads or atexit handlers behind that would run unmapped code.

#include "framework/VstDefs.h"

#include <memory>
#include <string>

namespace khost
{

class PluginLibrary
{
public:
  using Entry = AEffect* (*)(audioMasterCallback);

  // Opens the module at path; null with a reason in error when it cannot be loaded or has no entry point.
  static std::unique_ptr<PluginLibrary> Open(const std::string& path, std::string* error);

  // Calls the entry point; null when the plug-in refuses or answers a record without the VstP magic.
  AEffect* CreateEffect() const;
  const std::string& Path() const { return mPath; }
  const char* EntryName() const { return mEntryName; }

private:
  PluginLibrary(std::string path, Entry entry, const char* entryName);
  std::string mPath;
  Entry mEntry = nullptr;
  const char* mEntryName = "";
};
} // namespace khost
