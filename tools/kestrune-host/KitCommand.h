#pragma once
// The kit command: writes the default kit into a folder: five synthesised instrument samples (16-bit,
// 24-bit and float WAV, and Ogg Vorbis), an SFZ file mapping them, and a demo song that plays all five.

#include <cstdio>
#include <string>

namespace khost
{

class KitCommand
{
public:
  static int Run(const std::string& folder, FILE* out, FILE* err);
};
} // namespace khost
