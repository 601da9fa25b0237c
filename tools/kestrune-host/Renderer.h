#pragma once
// The render command: plays a MIDI song through a plug-in in real blocks, each block's events handed
// over first with their frame offsets, and writes what comes out into a WAV file with libsndfile.

#include "tools/kestrune-host/CommandLine.h"
#include "tools/kestrune-host/HostedPlugin.h"
#include "tools/kestrune-host/MidiSong.h"

#include <cstdio>
#include <string>
#include <vector>

namespace khost
{

struct RenderStats
{
  int64_t frames = 0;
  int channels = 0;
  double peak = 0.0;
  double rms = 0.0;
  std::vector<double> channelPeak;
  std::vector<double> channelRms;
  int64_t nonFinite = 0;
};

class Renderer
{
public:
  // The whole command; returns the process exit status and prints to out and err.
  static int Run(const Options& options, FILE* out, FILE* err);

  // Plays the song through a started plug-in into interleaved frames (channels = the plug-in's outputs).
  static RenderStats Play(HostedPlugin& plugin, const MidiSong& song, double tailSeconds,
                          bool doublePrecision, std::vector<float>* interleaved, FILE* progress);

  static double ToDecibels(double linear);
};
} // namespace khost
