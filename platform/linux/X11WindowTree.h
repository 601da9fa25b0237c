#pragma once
// Finding and raising windows of other clients: the host's top-level window above ours (a dialog we
// start is attached to it, so the window manager keeps the dialog above the host), and the window of
// a dialog process we started (raised when the user clicks while it is open, say hidden behind the
// host's window).
//
// Editor mutex held (X calls on our connection).

#include <sys/types.h>

typedef struct _XDisplay Display;

namespace X11WindowTree
{
// The top-level client window that holds window: the nearest ancestor the window manager manages (it
// has WM_STATE), else the ancestor just below the root. 0 when window is 0 or gone.
unsigned long TopLevelOf(Display* display, unsigned long window);
// A top-level window of process pid (by _NET_WM_PID), 0 when none is found.
unsigned long WindowOfProcess(Display* display, pid_t pid);
// Asks the window manager to bring window to the front and give it the focus, and raises it.
void Activate(Display* display, unsigned long window);
} // namespace X11WindowTree
