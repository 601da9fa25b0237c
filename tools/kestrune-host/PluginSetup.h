#pragma once
// Brings an opened instance into the state the loading options ask for, in this order: the state
// chunk, the program, the SFZ file, the slot samples, the parameter values. Also reads and writes
// chunk files.

#include "tools/kestrune-host/CommandLine.h"
#include "tools/kestrune-host/HostedPlugin.h"

#include <cstdint>
#include <string>
#include <vector>

namespace khost
{

class PluginSetup
{
public:
  // False with a reason when the plug-in refuses an option (unknown slot, no chunks, bad index).
  static bool Apply(HostedPlugin& plugin, const LoadOptions& load, std::string* error);

  static bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);
  static bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
};
} // namespace khost
