#pragma once
// The command line of kestrune-host: a subcommand, the plug-in path, and options. Numbers are read
// without the process locale.

#include <string>
#include <utility>
#include <vector>

namespace khost
{

// What is loaded into an instance before it plays: the options render, validate and snapshot share.
struct LoadOptions
{
  std::string stateIn;                                 // chunk file restored first
  int program = -1;                                    // then this program
  std::string sfz;                                     // then this SFZ file (all slots)
  std::vector<std::pair<int, std::string>> slots;      // then these samples, slot by slot
  std::vector<std::pair<int, double>> params;          // then these normalised parameter values
  std::vector<std::pair<int, std::string>> paramTexts; // then these values typed as text
  bool Empty() const
  {
    return stateIn.empty() && program < 0 && sfz.empty() && slots.empty() && params.empty() &&
           paramTexts.empty();
  }
};

struct Options
{
  std::string command;
  std::string plugin;
  LoadOptions load;
  std::string midi;
  std::string output;
  std::string saveState;
  std::string format = "pcm24"; // pcm16, pcm24 or float
  double rate = 0.0;            // 0: the default
  int block = 0;
  double tail = -1.0;
  bool progress = true;
  bool doublePrecision = false;
  bool verbose = false;
  std::vector<std::string> checks;        // validate: only these
  int checkTimeoutSeconds = 0;            // validate: time limit of one check, 0 for kCheckTimeoutSeconds
  std::string script;                     // edit: host actions
  int idleHz = 30;                        // edit (kDefaultEditIdleHz): effEditIdle calls a second, 0 for none
  bool idleThread = false;                // edit: idle from a second thread
  double seconds = 0.0;                   // edit: run time, 0 until the window closes
  int playNote = -1;                      // edit: a paced render thread plays this note, -1 for none
  int playVelocity = 100;                 // edit: ... at this velocity (kDefaultPlayVelocity)
  std::vector<std::pair<int, int>> notes; // snapshot: notes held (number, velocity)
  double holdSeconds = -1.0;              // snapshot: audio rendered after the notes, < 0: the default
  int ticks = -1;                         // snapshot: editor timer ticks before the picture, < 0: the default
  int scale = 0;                          // snapshot: editor size in percent, 0: the one it opens at
};

class CommandLine
{
public:
  static bool Parse(int argc, char** argv, Options* options, std::string* error);
  static const char* Usage();

  static bool ParseInt(const std::string& text, int* out);
  static bool ParseDouble(const std::string& text, double* out);
};
} // namespace khost
