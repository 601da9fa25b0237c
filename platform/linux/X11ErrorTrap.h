#pragma once
// The process-wide X error handler of our connections. Xlib has one error handler per process and its
// default ends the process, so an error on our own connection (a host window that no longer exists, a
// request on a window the host destroyed) would take the host down. The handler installed here records
// the errors of the connections registered with it and hands every other connection's errors to the
// handler that was installed before (the host's own, or Xlib's default), so the host sees what it
// would have seen without us.
//
// Threads: any. Registration and the records are guarded by a process-wide mutex; the handler runs on
// whichever thread made the failing Xlib call.

#include <X11/Xlib.h>

namespace X11ErrorTrap
{
// Registers display and (re)installs the handler when another one replaced it since.
void Register(Display* display);
// Forgets display; its later errors go to the previous handler. When no display of ours is left, the
// previous handler is put back, so a module unloaded by the host leaves no handler of its own behind.
void Unregister(Display* display);
// Installs the handler again if someone replaced it (the replacement becomes the one we chain to).
void EnsureInstalled();
// Errors recorded on display since the last call (0 when none); clears the count.
int TakeErrorCount(Display* display);
// The error code of the last recorded error on display (0 when none).
int LastErrorCode(Display* display);
} // namespace X11ErrorTrap
