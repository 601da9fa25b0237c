// kestrune-host: a command-line VST 2.4 host for Linux and Windows. See CommandLine::Usage for the commands.

#include "tools/kestrune-host/ChildRunner.h"
#include "tools/kestrune-host/CommandLine.h"
#include "tools/kestrune-host/EditCommand.h"
#include "tools/kestrune-host/InfoCommand.h"
#include "tools/kestrune-host/KitCommand.h"
#include "tools/kestrune-host/Renderer.h"
#include "tools/kestrune-host/SnapshotCommand.h"
#include "tools/kestrune-host/Validator.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
  using namespace khost;
  // A validation check's own process (Windows starts the program again for each).
  int childExit = 0;
  if (ChildRunner::ServeChild(argc, argv, &Validator::RunCheck, &childExit)) return childExit;
  Options options;
  std::string error;
  if (!CommandLine::Parse(argc, argv, &options, &error))
  {
    std::fprintf(stderr, "kestrune-host: %s\n\n%s", error.c_str(), CommandLine::Usage());
    return 2;
  }
  if (options.command == "help")
  {
    std::fputs(CommandLine::Usage(), stdout);
    return 0;
  }
  if (options.plugin.empty())
  {
    std::fprintf(stderr, "kestrune-host: %s needs a %s\n\n%s", options.command.c_str(),
                 options.command == "kit" ? "folder" : "plug-in", CommandLine::Usage());
    return 2;
  }
  if (options.command == "info") return InfoCommand::Run(options, stdout, stderr);
  if (options.command == "render") return Renderer::Run(options, stdout, stderr);
  if (options.command == "validate") return Validator::Run(options, stdout, stderr);
  if (options.command == "edit") return EditCommand::Run(options, stdout, stderr);
  if (options.command == "kit") return KitCommand::Run(options.plugin, stdout, stderr);
  if (options.command == "snapshot") return SnapshotCommand::Run(options, stdout, stderr);
  std::fprintf(stderr, "kestrune-host: unknown command %s\n\n%s", options.command.c_str(),
               CommandLine::Usage());
  return 2;
}
