// Drops a file on a window the way a drag from a file manager does (XDND, text/uri-list), for the
// manual host checks. Usage: xdnd-drop WINDOW X Y FILE
//   WINDOW  the window to drop on (decimal or 0x hex); X, Y in its coordinates
// It first says which top-level window is under that point and whether that window announces XdndAware:
// a source that only looks at top-level windows (as GTK's does) drops there, not on an embedded child.

#include "tests/x11/XdndTestSource.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
bool IsAware(Display* d, Window w)
{
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Atom aware = XInternAtom(d, "XdndAware", False);
  bool yes = XGetWindowProperty(d, w, aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                                &data) == Success &&
             type != None;
  if (data) XFree(data);
  return yes;
}

// The client window (the one with WM_STATE) under the root point, or 0.
Window ClientAt(Display* d, Window w, int x, int y, Atom wmState)
{
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, wmState, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success &&
      type != None)
  {
    if (data) XFree(data);
    return w;
  }
  if (data) XFree(data);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = n; i-- > 0 && !found;)
  {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
    int cx = 0, cy = 0;
    Window dummy = 0;
    XTranslateCoordinates(d, DefaultRootWindow(d), children[i], x, y, &cx, &cy, &dummy);
    if (cx >= 0 && cy >= 0 && cx < a.width && cy < a.height) found = ClientAt(d, children[i], x, y, wmState);
  }
  if (children) XFree(children);
  return found;
}
} // namespace

int main(int argc, char** argv)
{
  if (argc != 5)
  {
    std::fprintf(stderr, "usage: xdnd-drop WINDOW X Y FILE\n");
    return 2;
  }
  unsigned long target = std::strtoul(argv[1], nullptr, 0);
  int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
  std::string path = argv[4];
  if (Display* d = XOpenDisplay(nullptr))
  {
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(d, target, DefaultRootWindow(d), x, y, &rx, &ry, &child);
    Window client = ClientAt(d, DefaultRootWindow(d), rx, ry, XInternAtom(d, "WM_STATE", False));
    std::printf("top-level under the point: 0x%lx, XdndAware: %s; target 0x%lx XdndAware: %s\n", client,
                client && IsAware(d, client) ? "yes" : "no", target, IsAware(d, target) ? "yes" : "no");
    XCloseDisplay(d);
  }
  x11_test::XdndResult r = x11_test::DragAndDrop(target, x, y, "file://" + path + "\r\n", false);
  std::printf("status seen: %d, accepted: %d, data asked: %d, finished: %d, ok: %d\n", r.mStatusSeen,
              r.mAccepted, r.mDataRequested, r.mFinished, r.mFinishedOk);
  return r.mFinishedOk ? 0 : 1;
}
