// The exported entry points of the Linux module. Hosts look for VSTPluginMain; older ones for main.
// Both create one sampler instance and answer its AEffect (null when creation fails).

#include "framework/VSTEntry.h"

extern "C" KESTRUNE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}

// "main" cannot be declared as a C++ function of this signature, so the symbol is given by name.
extern "C" KESTRUNE_EXPORT AEffect* KestruneLegacyMain(audioMasterCallback host) __asm__("main");

AEffect* KestruneLegacyMain(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}
