#pragma once
// The edit command: opens the plug-in's editor in a top-level window of ours, as a DAW does (an X
// window on Linux, a Win32 window on Windows: EditWindow), and runs the host's event loop:
// effEditIdle at a chosen rate (or never), from the loop's thread or a second one, and a script of host
// actions (automation, closing and reopening the editor, destroying the window under it, reading
// parameters and sample paths back). The script comes from a file, or from standard input as its lines
// arrive ("--script -"), so that a driver can act on the editor with the mouse and keyboard and then
// ask what came of it. Mouse and keyboard come from the user, or from xdotool aimed at the window the
// command prints. It ends when the window is closed, the time is up or the script says quit.
//
// With --play a render thread paced like a DAW's audio thread plays a note meanwhile and times every
// process call (PacedRender), and the host counts the threads the plug-in reports the user's edits
// on (HostCallCensus): both are printed at the end, and on the script's stats and calls lines.

#include "tools/kestrune-host/CommandLine.h"
#include "tools/kestrune-host/EditScript.h"

#include <cstdio>
#include <string>
#include <vector>

namespace khost
{

class EditCommand
{
public:
  static int Run(const Options& options, FILE* out, FILE* err);
  // Reads a script (one action a line, '#' starts a comment); false with the line's fault in error.
  static bool ParseScript(const std::string& text, std::vector<EditAction>* actions, std::string* error)
  {
    return EditScript::Parse(text, actions, error);
  }
};
} // namespace khost
