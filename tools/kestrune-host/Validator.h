#pragma once
// The validate command: runs every check (or those named with --check) in a child process each, prints
// one line per check, passed, failed or skipped with its reason, and closes with "N passed, M failed".

#include "tools/kestrune-host/CommandLine.h"

#include <cstdio>
#include <string>

namespace khost
{

class Validator
{
public:
  static int Run(const Options& options, FILE* out, FILE* err);

  // Writes a short mono test sample (a decaying sine) for plug-ins that play samples.
  static bool WriteTestSample(const std::string& path, std::string* error);
};
} // namespace khost
