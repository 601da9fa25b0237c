#pragma once
// The validate command: runs every check (or those named with --check) in a child process each, prints
// one line per check, passed, failed or skipped with its reason, and closes with "N passed, M failed".

#include "tools/kestrune-host/ChildRunner.h"
#include "tools/kestrune-host/CommandLine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace khost
{

class Validator
{
public:
  static int Run(const Options& options, FILE* out, FILE* err);

  // What a check's child process runs (ChildRunner's task): opens the module as the arguments say and
  // runs the check they name. The arguments are the check's name, the test sample's path and the
  // validate command line with the loading options.
  static CheckResult RunCheck(const std::vector<std::string>& args);

  // Writes a short mono test sample (a decaying sine) for plug-ins that play samples.
  static bool WriteTestSample(const std::string& path, std::string* error);
};
} // namespace khost
