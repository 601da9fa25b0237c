#pragma once
// Helper programs the editor runs (the web browser opener, a file dialog): started with posix_spawn,
// never through a shell, so no text of ours is ever interpreted as a command. The caller reaps each
// child it started (TryReap) so none stays a zombie.
//
// Threads: any; nothing here holds a lock.

#include <string>
#include <sys/types.h>
#include <vector>

namespace ChildProcess
{
// The full path of program found in the folders of PATH, or empty when it is not installed.
std::string FindInPath(const char* program);
// Starts argv[0] (a full path) with argv. Its standard input and error are /dev/null; its standard
// output goes to a new pipe whose reading end is stored in *stdoutFd (close-on-exec, the caller closes
// it) or, when stdoutFd is null, to /dev/null. Answers the process id, or -1 when it could not start.
pid_t Spawn(const std::vector<std::string>& argv, int* stdoutFd);
// True when pid has ended (and is reaped); *exitCode is its exit status, or -1 when a signal ended it.
bool TryReap(pid_t pid, int* exitCode);
} // namespace ChildProcess
