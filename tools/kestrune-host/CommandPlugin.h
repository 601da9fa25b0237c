#pragma once
// The plug-in a command works on: its module, loaded from the command line's path, and one instance
// made with the command's sample rate and block size (--rate and --block, or the defaults). The
// instance is not started; the module stays loaded after the instance is gone.

#include "tools/kestrune-host/CommandLine.h"
#include "tools/kestrune-host/HostedPlugin.h"
#include "tools/kestrune-host/PluginLibrary.h"

#include <cstdio>
#include <memory>

namespace khost
{

class CommandPlugin
{
public:
  // Loads options.plugin and creates the instance; false, with the reason printed on err, when the
  // module cannot be loaded or its entry point makes no instance.
  bool Open(const Options& options, FILE* err);

  HostedPlugin& Instance() { return *mInstance; }
  const PluginLibrary& Library() const { return *mLibrary; }
  double Rate() const { return mRate; }
  int Block() const { return mBlock; }
  // Starts the instance at the command's rate and block size, then applies the loading options;
  // false, with the reason printed on err, when the plug-in refuses one.
  bool StartAndLoad(const LoadOptions& load, FILE* err);

private:
  std::unique_ptr<PluginLibrary> mLibrary;
  std::unique_ptr<HostedPlugin> mInstance;
  double mRate = 0.0;
  int mBlock = 0;
};
} // namespace khost
