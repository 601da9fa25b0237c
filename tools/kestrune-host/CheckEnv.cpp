#include "tools/kestrune-host/CheckEnv.h"

#include "tools/kestrune-host/PluginSetup.h"

#include <cmath>

namespace khost
{

void OutputScan::Add(const HostedPlugin& plugin, int frames)
{
  for (int c = 0; c < plugin.NumOutputs(); ++c)
    for (int i = 0; i < frames; ++i)
    {
      const double v = plugin.OutputSample(c, i);
      ++samples;
      if (std::isnan(v))
        ++nan;
      else if (std::isinf(v))
        ++inf;
      else
      {
        // Single-precision output is what the host receives: judge subnormals in its own precision.
        const int kind = std::fpclassify(static_cast<float>(v));
        if (kind == FP_SUBNORMAL || std::fpclassify(v) == FP_SUBNORMAL) ++subnormal;
        peak = std::fmax(peak, std::fabs(v));
      }
    }
}

std::string OutputScan::Describe() const
{
  std::string text;
  auto add = [&](int64_t n, const char* what)
  {
    if (n == 0) return;
    text += (text.empty() ? "" : ", ") + std::to_string(n) + " " + what;
  };
  add(nan, "NaN");
  add(inf, "infinite");
  add(subnormal, "subnormal");
  return text.empty() ? "clean" : text + " of " + std::to_string(samples) + " samples";
}

CheckEnv::CheckEnv(std::string pluginPath, LoadOptions load, std::string samplePath)
    : mPluginPath(std::move(pluginPath)), mLoad(std::move(load)), mSamplePath(std::move(samplePath))
{
}

bool CheckEnv::Open(std::string* error)
{
  mLibrary = PluginLibrary::Open(mPluginPath, error);
  return mLibrary != nullptr;
}

std::unique_ptr<HostedPlugin> CheckEnv::Create(double rate, int block)
{
  auto plugin = std::make_unique<HostedPlugin>(*mLibrary, rate, block);
  if (!plugin->Valid()) return nullptr;
  return plugin;
}

bool CheckEnv::Prepare(HostedPlugin& plugin, std::string* error)
{
  if (!mLoad.Empty()) return PluginSetup::Apply(plugin, mLoad, error);
  if (mSamplePath.empty()) return true;
  // A plug-in that answers a read of extra-parameter text 0 takes sample paths that way.
  std::string current;
  if (!plugin.GetExtraParamText(0, &current)) return true;
  if (!plugin.SetExtraParamText(0, mSamplePath))
    return *error = "the plug-in did not take the test sample", false;
  mGaveContent = true;
  return true;
}

std::unique_ptr<HostedPlugin> CheckEnv::Started(double rate, int block, bool inputSignal)
{
  auto plugin = Create(rate, block);
  if (!plugin)
  {
    mFailure = "the entry point made no instance";
    return nullptr;
  }
  plugin->Start(rate, block);
  plugin->FeedInputSignal(inputSignal);
  std::string error;
  if (!Prepare(*plugin, &error))
  {
    mFailure = error;
    return nullptr;
  }
  // One block before the check begins, as a DAW's engine runs before anything is played: plug-ins
  // that settle in their first render call (some drop the events delivered before it) are ready.
  plugin->Process(block);
  return plugin;
}

void CheckEnv::Run(HostedPlugin& plugin, int blocks, int frames, OutputScan* scan, bool doublePrecision)
{
  for (int b = 0; b < blocks; ++b)
  {
    plugin.Process(frames, doublePrecision);
    if (scan) scan->Add(plugin, frames);
  }
}
} // namespace khost
