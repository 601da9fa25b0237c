#include "platform/linux/X11WindowTree.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace
{
constexpr int kSearchDepth = 3;          // root, frames, clients: where top-level windows live
constexpr long kMaxPropertyItems = 4096; // longest window list read from a property

bool HasProperty(Display* display, Window window, Atom property)
{
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType, &type,
                                        &format, &items, &after, &data);
  if (data) XFree(data);
  return status == Success && type != None;
}

bool PidOf(Display* display, Window window, Atom pidAtom, pid_t* pid)
{
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                                        &items, &after, &data);
  const bool found = status == Success && data && format == 32 && items == 1;
  if (found) *pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return found;
}

std::vector<Window> Children(Display* display, Window window)
{
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<Window> out;
  if (XQueryTree(display, window, &root, &parent, &children, &count) && children)
    out.assign(children, children + count);
  if (children) XFree(children);
  return out;
}

Window Search(Display* display, Window window, Atom pidAtom, pid_t pid, int depth)
{
  pid_t owner = 0;
  if (PidOf(display, window, pidAtom, &owner) && owner == pid) return window;
  if (depth == 0) return 0;
  for (Window child : Children(display, window))
    if (Window found = Search(display, child, pidAtom, pid, depth - 1)) return found;
  return 0;
}
} // namespace

// Errors (a window that went away while we looked) are recorded by our connection's error handler.
namespace X11WindowTree
{
unsigned long TopLevelOf(Display* display, unsigned long window)
{
  if (!display || !window) return 0;
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  Window current = window;
  Window managed = 0;
  for (;;)
  {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, current, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (!managed && current != window && HasProperty(display, current, wmState)) managed = current;
    if (parent == root || parent == 0) return managed ? managed : current;
    current = parent;
  }
}

unsigned long WindowOfProcess(Display* display, pid_t pid)
{
  if (!display || pid <= 0) return 0;
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  const Window root = DefaultRootWindow(display);
  // Window managers that follow the desktop conventions list their clients on the root.
  const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", True);
  if (clientList != None)
  {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, clientList, 0, kMaxPropertyItems, False, XA_WINDOW, &type, &format,
                           &items, &after, &data) == Success &&
        data && format == 32)
    {
      const unsigned long* windows = reinterpret_cast<unsigned long*>(data);
      for (unsigned long i = 0; i < items; ++i)
      {
        pid_t owner = 0;
        if (PidOf(display, windows[i], pidAtom, &owner) && owner == pid)
        {
          const Window found = windows[i];
          XFree(data);
          return found;
        }
      }
    }
    if (data) XFree(data);
  }
  return Search(display, root, pidAtom, pid, kSearchDepth);
}

void Activate(Display* display, unsigned long window)
{
  if (!display || !window) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2; // a request from a pager-like source: honoured without a timestamp
  event.xclient.data.l[1] = CurrentTime;
  const Window root = DefaultRootWindow(display);
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XMapRaised(display, window);
  XFlush(display);
}
} // namespace X11WindowTree
