#include "XdndTestSource.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace x11_test
{
namespace
{
struct Atoms
{
  Atom aware, enter, position, status, leave, drop, finished, selection, copy, typeList, uriList, textPlain;
};

void Send(Display* d, Window target, Atom type, long l0, long l1, long l2, long l3, long l4)
{
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(d, target, False, NoEventMask, &e);
  XFlush(d);
}

// Handles events until done() or the time is up; serves selection requests on the way.
template <class Done>
bool Pump(Display* d, Window source, const Atoms& a, const std::string& list, XdndResult* result,
          int timeoutMs, Done done)
{
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done())
  {
    if (std::chrono::steady_clock::now() > end) return false;
    if (XPending(d) == 0)
    {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    XEvent e;
    XNextEvent(d, &e);
    if (e.type == ClientMessage && e.xclient.window == source)
    {
      if (e.xclient.message_type == a.status)
      {
        result->mStatusSeen = true;
        result->mAccepted = (e.xclient.data.l[1] & 1) != 0;
      }
      else if (e.xclient.message_type == a.finished)
      {
        result->mFinished = true;
        result->mFinishedOk = (e.xclient.data.l[1] & 1) != 0;
      }
    }
    else if (e.type == SelectionRequest && e.xselectionrequest.selection == a.selection)
    {
      const XSelectionRequestEvent& r = e.xselectionrequest;
      result->mDataRequested = true;
      XSelectionEvent reply{};
      reply.type = SelectionNotify;
      reply.requestor = r.requestor;
      reply.selection = r.selection;
      reply.target = r.target;
      reply.time = r.time;
      reply.property = 0;
      if (r.target == a.uriList)
      {
        XChangeProperty(d, r.requestor, r.property, a.uriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
        reply.property = r.property;
      }
      XSendEvent(d, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
      XFlush(d);
    }
  }
  return true;
}
} // namespace

XdndResult DragAndDrop(unsigned long target, int x, int y, const std::string& uriList,
                       bool moreThanThreeTypes, int timeoutMs)
{
  XdndResult result;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return result;
  Atoms a{};
  a.aware = XInternAtom(d, "XdndAware", False);
  a.enter = XInternAtom(d, "XdndEnter", False);
  a.position = XInternAtom(d, "XdndPosition", False);
  a.status = XInternAtom(d, "XdndStatus", False);
  a.leave = XInternAtom(d, "XdndLeave", False);
  a.drop = XInternAtom(d, "XdndDrop", False);
  a.finished = XInternAtom(d, "XdndFinished", False);
  a.selection = XInternAtom(d, "XdndSelection", False);
  a.copy = XInternAtom(d, "XdndActionCopy", False);
  a.typeList = XInternAtom(d, "XdndTypeList", False);
  a.uriList = XInternAtom(d, "text/uri-list", False);
  a.textPlain = XInternAtom(d, "text/plain", False);

  Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(d, a.selection, source, CurrentTime);
  long typesFlag = 0;
  long t1 = static_cast<long>(a.uriList), t2 = 0, t3 = 0;
  if (moreThanThreeTypes)
  {
    Atom types[] = {a.textPlain, XA_STRING, XInternAtom(d, "UTF8_STRING", False), a.uriList};
    XChangeProperty(d, source, a.typeList, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(types), 4);
    typesFlag = 1;
    t1 = static_cast<long>(a.textPlain);
    t2 = static_cast<long>(XA_STRING);
    t3 = static_cast<long>(types[2]);
  }
  XSync(d, False);

  Window child = 0;
  int rootX = 0, rootY = 0;
  XTranslateCoordinates(d, target, DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
  const long src = static_cast<long>(source);
  Send(d, target, a.enter, src, (5L << 24) | typesFlag, t1, t2, t3);
  Send(d, target, a.position, src, 0, (static_cast<long>(rootX) << 16) | rootY, CurrentTime,
       static_cast<long>(a.copy));
  Pump(d, source, a, uriList, &result, timeoutMs, [&] { return result.mStatusSeen; });
  if (result.mAccepted)
  {
    Send(d, target, a.drop, src, 0, CurrentTime, 0, 0);
    Pump(d, source, a, uriList, &result, timeoutMs, [&] { return result.mFinished; });
  }
  else
    Send(d, target, a.leave, src, 0, 0, 0, 0);
  XDestroyWindow(d, source);
  XCloseDisplay(d);
  return result;
}
} // namespace x11_test
