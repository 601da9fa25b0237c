#pragma once
// The snapshot command: an instance set up as render sets it up (state, program, SFZ, samples,
// parameters), with notes held and some audio rendered, then asked to draw its editor without a
// window into a PNG file. The plug-in draws through the editor-picture vendor call; one that does not
// serve it is reported, as nothing can be drawn for it here.

#include "tools/kestrune-host/CommandLine.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace khost
{

class HostedPlugin;

class SnapshotCommand
{
public:
  static int Run(const Options& options, FILE* out, FILE* err);

  // The editor's size from effEditGetRect; false when the plug-in has no editor or answers no size.
  static bool EditorSize(HostedPlugin& plugin, int* width, int* height);
  // The editor's pixel size at scale percent, from the editor-picture call; false when not served.
  static bool EditorSizeAt(HostedPlugin& plugin, int scale, int* width, int* height);
  // Asks the plug-in for its picture (A R G B words, rows from the top) at scale percent (0: its own
  // size); false when it is not served.
  static bool TakePicture(HostedPlugin& plugin, int width, int height, int ticks, int scale,
                          std::vector<uint32_t>* pixels);
  static bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);
};
} // namespace khost
