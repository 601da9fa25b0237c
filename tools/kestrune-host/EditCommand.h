#pragma once
// The edit command: opens the plug-in's editor in a top-level X window of ours, as a Linux DAW does,
// and runs the host's event loop: effEditIdle at a chosen rate (or never), from the loop's thread or a
// second one, and a script of host actions (automation, closing and reopening the editor, destroying
// the window under it). Mouse and keyboard come from the user, or from xdotool aimed at the window the
// command prints. It ends when the window is closed, the time is up or the script says quit.

#include "tools/kestrune-host/CommandLine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace khost
{

// One line of an edit script.
struct EditAction
{
  enum EKind
  {
    kWait,    // wait MS
    kParam,   // param I V      host automation of parameter I to the normalised V
    kPrint,   // print I        the parameter's display text on standard output
    kClose,   // close          effEditClose
    kOpen,    // open           effEditOpen (in a new window when the last one was destroyed)
    kDestroy, // destroy        the host destroys its window under the open editor
    kIdle,    // idle HZ        effEditIdle from now on at HZ (0: never)
    kQuit     // quit
  };
  EKind kind;
  int index = 0;
  double value = 0.0;
};

class EditCommand
{
public:
  static int Run(const Options& options, FILE* out, FILE* err);
  // Reads a script (one action a line, '#' starts a comment); false with the line's fault in error.
  static bool ParseScript(const std::string& text, std::vector<EditAction>* actions, std::string* error);
};
} // namespace khost
