#pragma once
// What a validation check works with inside its child process: the plug-in module (opened in the
// child), the loading options, and helpers that create and start instances and scan their output.

#include "tools/kestrune-host/CommandLine.h"
#include "tools/kestrune-host/HostedPlugin.h"
#include "tools/kestrune-host/PluginLibrary.h"

#include <cstdint>
#include <memory>
#include <string>

namespace khost
{

// NaN, infinities, subnormals and the peak of a run of output.
struct OutputScan
{
  int64_t nan = 0;
  int64_t inf = 0;
  int64_t subnormal = 0;
  int64_t samples = 0;
  double peak = 0.0;

  void Add(const HostedPlugin& plugin, int frames);
  bool Clean() const { return nan == 0 && inf == 0 && subnormal == 0; }
  std::string Describe() const;
};

class CheckEnv
{
public:
  // samplePath: a sample handed to text slot 0 of plug-ins that take extra-parameter texts when the
  // loading options name nothing (empty: none).
  CheckEnv(std::string pluginPath, LoadOptions load, std::string samplePath);

  // Opens the module; false with a reason.
  bool Open(std::string* error);
  const PluginLibrary& Library() const { return *mLibrary; }

  // A new instance, created only. Null when the plug-in made none.
  std::unique_ptr<HostedPlugin> Create(double rate = 48000.0, int block = 512);
  // Created, opened, set to rate and block, resumed, loaded as the options say, and one block
  // processed; its inputs (if any) carry a test signal.
  std::unique_ptr<HostedPlugin> Started(double rate = 48000.0, int block = 512, bool inputSignal = true);
  // Applies the loading options (or the fallback sample); false with a reason.
  bool Prepare(HostedPlugin& plugin, std::string* error);
  const std::string& Failure() const { return mFailure; }
  // Whether the last prepared instance was given content to play: samples or a state from the
  // loading options, or the fallback sample.
  bool GaveContent() const { return mGaveContent; }

  // Processes blocks of frames with silent input, scanning the output.
  static void Run(HostedPlugin& plugin, int blocks, int frames, OutputScan* scan,
                  bool doublePrecision = false);

private:
  std::string mPluginPath;
  LoadOptions mLoad;
  std::string mSamplePath;
  std::unique_ptr<PluginLibrary> mLibrary;
  std::string mFailure;
  bool mGaveContent = false;
};
} // namespace khost
