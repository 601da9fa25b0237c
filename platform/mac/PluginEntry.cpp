// The exported entry points of the macOS bundle. Hosts look for VSTPluginMain; older ones for main, and
// some for main_macho. Each creates one sampler instance and answers its AEffect (null when creation
// fails). The link's export list names these three as the bundle's only exports.

#include "framework/VSTEntry.h"

extern "C" KESTRUNE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}

extern "C" KESTRUNE_EXPORT AEffect* main_macho(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}

// "main" cannot be declared as a C++ function of this signature, so the symbol is given by name (with
// the leading underscore of Mach-O C symbols; ELF symbols have none).
#ifdef __APPLE__
extern "C" KESTRUNE_EXPORT AEffect* KestruneLegacyMain(audioMasterCallback host) __asm__("_main");
#else
extern "C" KESTRUNE_EXPORT AEffect* KestruneLegacyMain(audioMasterCallback host) __asm__("main");
#endif

AEffect* KestruneLegacyMain(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}
