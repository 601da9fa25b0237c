// Opening a module with LoadLibrary. Its allocation imports are pointed at counting wrappers
// (ModuleAllocationHooks), so the no-allocation check sees what the module allocates itself.

#include "tools/kestrune-host/PluginLibrary.h"

#include "tools/kestrune-host/windows/ModuleAllocationHooks.h"

#include <windows.h>

namespace khost
{

namespace
{
std::string SystemMessage(DWORD code)
{
  char text[512] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                 text, sizeof(text), nullptr);
  std::string message(text, n);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return (message.empty() ? "error" : message) + " (error " + std::to_string(code) + ")";
}
} // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::Open(const std::string& path, std::string* error)
{
  // A bare or relative name would make LoadLibrary search the program's and the system's folders
  // first; the full path also lets the module's own folder be searched for its dependencies.
  std::string where = path;
  for (char& c : where)
    if (c == '/') c = '\\';
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(where.c_str(), sizeof(full), full, nullptr);
  if (length > 0 && length < sizeof(full)) where.assign(full, length);
  // No message boxes for a missing dependency or drive.
  DWORD oldMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
  HMODULE module = LoadLibraryExA(where.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD loadError = GetLastError();
  SetThreadErrorMode(oldMode, nullptr);
  if (!module)
  {
    if (error) *error = "cannot load " + path + ": " + SystemMessage(loadError);
    return nullptr;
  }
  const char* entryName = "VSTPluginMain";
  FARPROC symbol = GetProcAddress(module, entryName);
  if (!symbol)
  {
    entryName = "main";
    symbol = GetProcAddress(module, entryName);
  }
  if (!symbol)
  {
    if (error) *error = path + " exports neither VSTPluginMain nor main";
    return nullptr;
  }
  ModuleAllocationHooks::Install(module);
  // Through the generic function pointer type, which converts to any other without a warning.
  const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(symbol));
  return std::unique_ptr<PluginLibrary>(new PluginLibrary(path, entry, entryName));
}
} // namespace khost
