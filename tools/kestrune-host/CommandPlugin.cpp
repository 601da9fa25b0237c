#include "tools/kestrune-host/CommandPlugin.h"

#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/PluginSetup.h"

#include <string>

namespace khost
{

bool CommandPlugin::Open(const Options& options, FILE* err)
{
  std::string error;
  mLibrary = PluginLibrary::Open(options.plugin, &error);
  if (!mLibrary)
  {
    std::fprintf(err, "%s\n", error.c_str());
    return false;
  }
  mRate = options.rate > 0 ? options.rate : kDefaultSampleRateHz;
  mBlock = options.block > 0 ? options.block : kDefaultBlockFrames;
  mInstance = std::make_unique<HostedPlugin>(*mLibrary, mRate, mBlock);
  if (!mInstance->Valid())
  {
    std::fprintf(err, "%s: the entry point made no instance\n", options.plugin.c_str());
    return false;
  }
  return true;
}

bool CommandPlugin::StartAndLoad(const LoadOptions& load, FILE* err)
{
  mInstance->Start(mRate, mBlock);
  std::string error;
  if (load.Empty() || PluginSetup::Apply(*mInstance, load, &error)) return true;
  std::fprintf(err, "%s\n", error.c_str());
  return false;
}
} // namespace khost
