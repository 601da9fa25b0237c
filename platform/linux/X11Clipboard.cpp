#include "platform/linux/X11Clipboard.h"

#include <X11/Xatom.h>

bool X11Clipboard::SetText(const std::string& text)
{
  Display* display = mConnection.GetDisplay();
  if (!display) return false;
  mText = text;
  XSetSelectionOwner(display, mConnection.GetAtoms().mClipboard, mConnection.OwnerWindow(), CurrentTime);
  XFlush(display);
  mOwned = true;
  return true;
}

bool X11Clipboard::HandleEvent(const XEvent& event)
{
  Display* display = mConnection.GetDisplay();
  const X11Connection::Atoms& atoms = mConnection.GetAtoms();
  if (event.type == SelectionClear)
  {
    if (event.xselectionclear.window != mConnection.OwnerWindow() ||
        event.xselectionclear.selection != atoms.mClipboard)
      return false;
    mOwned = false; // another program owns the clipboard now
    mText.clear();
    return true;
  }
  if (event.type != SelectionRequest) return false;
  const XSelectionRequestEvent& request = event.xselectionrequest;
  if (request.owner != mConnection.OwnerWindow()) return false;

  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  // Old clients name no property: the target doubles as the property then.
  Atom property = request.property != 0 ? request.property : request.target;
  reply.property = 0;
  if (mOwned && request.selection == atoms.mClipboard)
  {
    if (request.target == atoms.mTargets)
    {
      Atom targets[] = {atoms.mTargets, atoms.mUtf8String, XA_STRING, atoms.mText};
      XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(targets), 4);
      reply.property = property;
    }
    else if (request.target == atoms.mUtf8String || request.target == XA_STRING ||
             request.target == atoms.mText)
    {
      Atom type = request.target == atoms.mText ? XA_STRING : request.target;
      XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(mText.data()), static_cast<int>(mText.size()));
      reply.property = property;
    }
  }
  XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(display);
  return true;
}
