// The exported entry points of the Windows module. Hosts look for VSTPluginMain; older ones for main.
// Both create one sampler instance and answer its AEffect (null when creation fails). Kestrune.def
// names them as the module's only exports.

#include "framework/VSTEntry.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}

// "main" cannot be declared as a C++ function of this signature, so the symbol is given by name.
extern "C" AEffect* KestruneLegacyMain(audioMasterCallback host) __asm__("main");

AEffect* KestruneLegacyMain(audioMasterCallback host)
{
  return VSTCreateInstance(host, &MakePlug);
}
