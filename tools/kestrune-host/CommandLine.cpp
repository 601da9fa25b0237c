#include "tools/kestrune-host/CommandLine.h"

#include <charconv>
#include <cstring>
#include <fstream>

namespace khost
{

const char* CommandLine::Usage()
{
  return "usage: kestrune-host COMMAND PLUGIN [options]\n"
         "\n"
         "commands:\n"
         "  info PLUGIN                         identity, flags, parameters, programs, pins, capabilities\n"
         "  render PLUGIN --midi SONG.mid -o OUT.wav [options]\n"
         "                                      plays a Standard MIDI File through the plug-in into a WAV\n"
         "  validate PLUGIN [options]           runs the host checks, each in its own process\n"
         "  snapshot PLUGIN -o EDITOR.png       the editor drawn without a window, as a PNG picture\n"
         "  kit DIR                             writes the default kit: five samples, an SFZ, a demo song\n"
         "  edit PLUGIN [options]               opens the editor in a window of its own and runs the loop\n"
         "\n"
         "loading options (render, validate, snapshot):\n"
         "  --state FILE        restore a state chunk saved with --save-state\n"
         "  --program N         select program N\n"
         "  --sfz FILE          hand an SFZ file to the plug-in (text slot 0 of the extra-parameter call)\n"
         "  --slot N=FILE       hand a sample file to slot N (vendor-specific call 56)\n"
         "  --param I=V         set parameter I to the normalised value V (0..1)\n"
         "  --param-text I=T    set parameter I from the text T, as typed into a host (effString2Parameter)\n"
         "  --args FILE         read more arguments from FILE, one per line\n"
         "render options:\n"
         "  --rate HZ           sample rate (48000)\n"
         "  --block FRAMES      block size (512)\n"
         "  --tail SECONDS      audio rendered after the last MIDI event (2)\n"
         "  --format F          pcm16, pcm24 (default) or float\n"
         "  --double            use the double-precision process call when the plug-in has one\n"
         "  --save-state FILE   write the state chunk after loading, before rendering\n"
         "  --no-progress       no progress bar\n"
         "snapshot options:\n"
         "  --note N[,V]        hold MIDI note N at velocity V (100) (repeatable)\n"
         "  --hold SECONDS      audio rendered after the notes, before the picture (0.1)\n"
         "  --ticks N           editor timer ticks before the picture (24)\n"
         "  --scale S           the editor at 1, 1.5 or 2 times its size (the size it would open at)\n"
         "  --rate HZ           sample rate (48000)\n"
         "edit options:\n"
         "  --idle-hz N         effEditIdle N times a second, 0 for never (30)\n"
         "  --idle-thread       idle calls come from a second thread\n"
         "  --seconds S         close after S seconds (default: when the window is closed)\n"
         "  --play N[,V]        a render thread paced like an audio thread plays note N at velocity V\n"
         "                      (100) in blocks of --block frames (64) at --rate HZ (48000), timing\n"
         "                      every process call\n"
         "  --script FILE       host actions, one a line: wait MS, param I V, print I, watch I (print\n"
         "                      each change), sample N (slot N's path), ticks (editor timer ticks\n"
         "                      seen), stats (the render thread's figures since the last stats),\n"
         "                      calls (the threads the plug-in reported edits on), close, open,\n"
         "                      destroy (the window under the editor), idle HZ, quit; FILE - reads\n"
         "                      them from standard input as they arrive\n"
         "validate options:\n"
         "  --check NAME        run only this check (repeatable)\n"
         "  --timeout SECONDS   a check still running after this fails (120)\n"
         "  --verbose           let the plug-in's own output through\n";
}

bool CommandLine::ParseInt(const std::string& text, int* out)
{
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, *out);
  return ec == std::errc() && p == end && !text.empty();
}

bool CommandLine::ParseDouble(const std::string& text, double* out)
{
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, *out);
  return ec == std::errc() && p == end && !text.empty();
}

namespace
{
bool SplitPair(const std::string& text, std::string* left, std::string* right)
{
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  *left = text.substr(0, eq);
  *right = text.substr(eq + 1);
  return true;
}
} // namespace

bool CommandLine::Parse(int argc, char** argv, Options* options, std::string* error)
{
  std::vector<std::string> args(argv + 1, argv + argc);
  // Argument files: each line one argument, so paths may hold spaces.
  for (size_t i = 0; i < args.size();)
  {
    if (args[i] != "--args")
    {
      ++i;
      continue;
    }
    if (i + 1 >= args.size()) return *error = "--args needs a file", false;
    std::ifstream in(args[i + 1]);
    if (!in) return *error = "cannot open " + args[i + 1], false;
    std::vector<std::string> more;
    for (std::string line; std::getline(in, line);)
    {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
      if (!line.empty()) more.push_back(line);
    }
    const auto at = args.begin() + static_cast<std::ptrdiff_t>(i);
    args.erase(at, at + 2);
    args.insert(args.begin() + static_cast<std::ptrdiff_t>(i), more.begin(), more.end());
    i += more.size();
  }
  const int count = static_cast<int>(args.size());
  std::vector<std::string> positional;
  for (int i = 0; i < count; ++i)
  {
    const std::string arg = args[i];
    auto value = [&](std::string* out)
    {
      if (i + 1 >= count)
      {
        *error = arg + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    std::string v, left, right;
    if (arg == "--midi")
    {
      if (!value(&options->midi)) return false;
    }
    else if (arg == "-o" || arg == "--output")
    {
      if (!value(&options->output)) return false;
    }
    else if (arg == "--state")
    {
      if (!value(&options->load.stateIn)) return false;
    }
    else if (arg == "--save-state")
    {
      if (!value(&options->saveState)) return false;
    }
    else if (arg == "--sfz")
    {
      if (!value(&options->load.sfz)) return false;
    }
    else if (arg == "--program")
    {
      if (!value(&v)) return false;
      if (!ParseInt(v, &options->load.program) || options->load.program < 0)
        return *error = "--program needs a program number", false;
    }
    else if (arg == "--slot")
    {
      int slot;
      if (!value(&v)) return false;
      if (!SplitPair(v, &left, &right) || !ParseInt(left, &slot) || slot < 0 || right.empty())
        return *error = "--slot needs N=FILE", false;
      options->load.slots.emplace_back(slot, right);
    }
    else if (arg == "--param")
    {
      int idx;
      double normalised;
      if (!value(&v)) return false;
      if (!SplitPair(v, &left, &right) || !ParseInt(left, &idx) || idx < 0 ||
          !ParseDouble(right, &normalised) || normalised < 0.0 || normalised > 1.0)
        return *error = "--param needs I=V with V between 0 and 1", false;
      options->load.params.emplace_back(idx, normalised);
    }
    else if (arg == "--param-text")
    {
      int idx;
      if (!value(&v)) return false;
      if (!SplitPair(v, &left, &right) || !ParseInt(left, &idx) || idx < 0)
        return *error = "--param-text needs I=TEXT", false;
      options->load.paramTexts.emplace_back(idx, right);
    }
    else if (arg == "--rate")
    {
      if (!value(&v)) return false;
      if (!ParseDouble(v, &options->rate) || !(options->rate >= 1000.0 && options->rate <= 768000.0))
        return *error = "--rate needs a sample rate between 1000 and 768000", false;
    }
    else if (arg == "--block")
    {
      if (!value(&v)) return false;
      if (!ParseInt(v, &options->block) || options->block < 1 || options->block > 16384)
        return *error = "--block needs a block size between 1 and 16384", false;
    }
    else if (arg == "--tail")
    {
      if (!value(&v)) return false;
      if (!ParseDouble(v, &options->tail) || !(options->tail >= 0.0 && options->tail <= 3600.0))
        return *error = "--tail needs seconds between 0 and 3600", false;
    }
    else if (arg == "--format")
    {
      if (!value(&options->format)) return false;
      if (options->format != "pcm16" && options->format != "pcm24" && options->format != "float")
        return *error = "--format is pcm16, pcm24 or float", false;
    }
    else if (arg == "--check")
    {
      if (!value(&v)) return false;
      options->checks.push_back(v);
    }
    else if (arg == "--timeout")
    {
      if (!value(&v)) return false;
      if (!ParseInt(v, &options->checkTimeoutSeconds) || options->checkTimeoutSeconds < 1 ||
          options->checkTimeoutSeconds > 3600)
        return *error = "--timeout needs seconds between 1 and 3600", false;
    }
    else if (arg == "--script")
    {
      if (!value(&options->script)) return false;
    }
    else if (arg == "--idle-hz")
    {
      if (!value(&v)) return false;
      if (!ParseInt(v, &options->idleHz) || options->idleHz < 0 || options->idleHz > 1000)
        return *error = "--idle-hz needs a rate between 0 and 1000", false;
    }
    else if (arg == "--seconds")
    {
      if (!value(&v)) return false;
      if (!ParseDouble(v, &options->seconds) || !(options->seconds >= 0.0 && options->seconds <= 86400.0))
        return *error = "--seconds needs seconds between 0 and 86400", false;
    }
    else if (arg == "--note" || arg == "--play")
    {
      int note = 0, velocity = 100;
      if (!value(&v)) return false;
      const size_t comma = v.find(',');
      const bool ok = ParseInt(v.substr(0, comma), &note) &&
                      (comma == std::string::npos || ParseInt(v.substr(comma + 1), &velocity));
      if (!ok || note < 0 || note > 127 || velocity < 1 || velocity > 127)
        return *error = arg + " needs N[,V] with N 0..127 and V 1..127", false;
      if (arg == "--play")
      {
        options->playNote = note;
        options->playVelocity = velocity;
      }
      else
        options->notes.emplace_back(note, velocity);
    }
    else if (arg == "--hold")
    {
      if (!value(&v)) return false;
      if (!ParseDouble(v, &options->holdSeconds) ||
          !(options->holdSeconds >= 0.0 && options->holdSeconds <= 60.0))
        return *error = "--hold needs seconds between 0 and 60", false;
    }
    else if (arg == "--ticks")
    {
      if (!value(&v)) return false;
      if (!ParseInt(v, &options->ticks) || options->ticks < 0 || options->ticks > 10000)
        return *error = "--ticks needs a count between 0 and 10000", false;
    }
    else if (arg == "--scale")
    {
      if (!value(&v)) return false;
      // Exactly the three sizes: a snapshot of another size than asked for would mislead.
      if (v != "1" && v != "1.5" && v != "2") return *error = "--scale needs 1, 1.5 or 2", false;
      options->scale = v == "1" ? 100 : v == "1.5" ? 150 : 200;
    }
    else if (arg == "--idle-thread")
      options->idleThread = true;
    else if (arg == "--no-progress")
      options->progress = false;
    else if (arg == "--double")
      options->doublePrecision = true;
    else if (arg == "--verbose")
      options->verbose = true;
    else if (arg == "-h" || arg == "--help")
    {
      options->command = "help";
      return true;
    }
    else if (arg.size() > 1 && arg[0] == '-')
      return *error = "unknown option " + arg, false;
    else
      positional.push_back(arg);
  }
  if (positional.empty()) return *error = "no command", false;
  options->command = positional[0];
  if (positional.size() > 1) options->plugin = positional[1];
  if (positional.size() > 2) return *error = "unexpected argument " + positional[2], false;
  return true;
}
} // namespace khost
