#include "tools/kestrune-host/PluginSetup.h"

#include <fstream>
#include <iterator>

namespace khost
{

bool PluginSetup::ReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return *error = "cannot open " + path, false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool PluginSetup::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) return *error = "cannot write " + path, false;
  return true;
}

bool PluginSetup::Apply(HostedPlugin& plugin, const LoadOptions& load, std::string* error)
{
  if (!load.stateIn.empty())
  {
    std::vector<uint8_t> chunk;
    if (!ReadFile(load.stateIn, &chunk, error)) return false;
    if (!plugin.HasChunks()) return *error = "the plug-in keeps no state chunk", false;
    if (plugin.SetChunk(chunk) == 0)
      return *error = "the plug-in refused the state in " + load.stateIn, false;
  }
  if (load.program >= 0)
  {
    if (load.program >= plugin.NumPrograms())
      return *error = "program " + std::to_string(load.program) + " does not exist (the plug-in has " +
                      std::to_string(plugin.NumPrograms()) + ")",
             false;
    plugin.Dispatch(effSetProgram, 0, load.program);
  }
  if (!load.sfz.empty() && !plugin.SetExtraParamText(0, load.sfz))
    return *error = "the plug-in did not take the SFZ file " + load.sfz, false;
  for (const auto& [slot, path] : load.slots)
    if (!plugin.SetExtraParamText(slot, path))
      return *error = "the plug-in did not take " + path + " for slot " + std::to_string(slot), false;
  for (const auto& [idx, value] : load.params)
  {
    if (idx >= plugin.NumParams())
      return *error = "parameter " + std::to_string(idx) + " does not exist (the plug-in has " +
                      std::to_string(plugin.NumParams()) + ")",
             false;
    plugin.SetParameter(idx, static_cast<float>(value));
  }
  for (const auto& [idx, text] : load.paramTexts)
  {
    if (idx >= plugin.NumParams())
      return *error = "parameter " + std::to_string(idx) + " does not exist (the plug-in has " +
                      std::to_string(plugin.NumParams()) + ")",
             false;
    if (!plugin.SetParamFromText(idx, text))
      return *error =
                 "the plug-in did not take the text \"" + text + "\" for parameter " + std::to_string(idx),
             false;
  }
  return true;
}
} // namespace khost
