#pragma once
// The info command: what a host learns about a plug-in when it scans it.

#include "tools/kestrune-host/CommandLine.h"

#include <cstdio>

namespace khost
{

class InfoCommand
{
public:
  static int Run(const Options& options, FILE* out, FILE* err);
};
} // namespace khost
