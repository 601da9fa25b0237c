#include "platform/linux/X11DropTarget.h"

#include "platform/linux/UriList.h"
#include "platform/linux/X11Tunables.h"

#include <X11/Xatom.h>

void X11DropTarget::Attach(Window window, bool accept)
{
  mWindow = window;
  mAcceptDrops = accept;
  Reset();
  Atom version = kXdndVersion;
  XChangeProperty(mConnection.GetDisplay(), window, mConnection.GetAtoms().mXdndAware, XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&version), 1);
}

void X11DropTarget::Detach()
{
  mWindow = 0;
  Reset();
}

void X11DropTarget::Reset()
{
  mSource = 0;
  mVersion = 0;
  mSourceHasUriList = false;
  mAccepting = false;
  mAwaitingData = false;
}

void X11DropTarget::SendStatus(bool accept)
{
  const X11Connection::Atoms& atoms = mConnection.GetAtoms();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = mSource;
  event.xclient.message_type = atoms.mXdndStatus;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(mWindow);
  // Bit 0: we accept; bit 1: send a position message for every move (our area is not a rectangle).
  event.xclient.data.l[1] = (accept ? 1 : 0) | 2;
  event.xclient.data.l[4] = accept ? static_cast<long>(atoms.mXdndActionCopy) : 0;
  XSendEvent(mConnection.GetDisplay(), mSource, False, NoEventMask, &event);
  XFlush(mConnection.GetDisplay());
}

void X11DropTarget::SendFinished(bool accepted)
{
  const X11Connection::Atoms& atoms = mConnection.GetAtoms();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = mSource;
  event.xclient.message_type = atoms.mXdndFinished;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(mWindow);
  event.xclient.data.l[1] = accepted ? 1 : 0;
  event.xclient.data.l[2] = accepted ? static_cast<long>(atoms.mXdndActionCopy) : 0;
  XSendEvent(mConnection.GetDisplay(), mSource, False, NoEventMask, &event);
  XFlush(mConnection.GetDisplay());
}

bool X11DropTarget::HandleEvent(const XEvent& event, Drop* drop, bool* dropped)
{
  if (dropped) *dropped = false;
  if (!mWindow) return false;
  Display* display = mConnection.GetDisplay();
  const X11Connection::Atoms& atoms = mConnection.GetAtoms();

  if (event.type == SelectionNotify)
  {
    if (event.xselection.requestor != mWindow || event.xselection.selection != atoms.mXdndSelection)
      return false;
    if (!mAwaitingData) return true;
    mAwaitingData = false;
    std::string path;
    if (event.xselection.property != 0)
    {
      Atom type = 0;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, mWindow, atoms.mTransfer, 0, kMaxSelectionBytes / 4, True,
                             AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
          data && format == 8)
        path = UriList::FirstLocalPath(std::string_view(reinterpret_cast<const char*>(data), count));
      if (data) XFree(data);
    }
    SendFinished(!path.empty());
    if (!path.empty() && drop && dropped)
    {
      drop->mX = mX;
      drop->mY = mY;
      drop->mPath = path;
      *dropped = true;
    }
    Reset();
    return true;
  }

  if (event.type != ClientMessage || event.xclient.window != mWindow) return false;
  const XClientMessageEvent& message = event.xclient;
  if (message.message_type == atoms.mXdndEnter)
  {
    Reset();
    mSource = static_cast<Window>(message.data.l[0]);
    mVersion = static_cast<int>((static_cast<unsigned long>(message.data.l[1]) >> 24) & 0xff);
    if (message.data.l[1] & 1)
    {
      // More than three types: the full list is a property of the source window.
      Atom type = 0;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, mSource, atoms.mXdndTypeList, 0, 1024, False, XA_ATOM, &type, &format,
                             &count, &after, &data) == Success &&
          data && format == 32)
      {
        const Atom* types = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i)
          mSourceHasUriList = mSourceHasUriList || types[i] == atoms.mUriList;
      }
      if (data) XFree(data);
    }
    else
      for (int i = 2; i <= 4; ++i)
        mSourceHasUriList = mSourceHasUriList || static_cast<Atom>(message.data.l[i]) == atoms.mUriList;
    return true;
  }
  if (message.message_type == atoms.mXdndPosition)
  {
    mSource = static_cast<Window>(message.data.l[0]);
    int rootX = static_cast<int>((message.data.l[2] >> 16) & 0xffff);
    int rootY = static_cast<int>(message.data.l[2] & 0xffff);
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(display, DefaultRootWindow(display), mWindow, rootX, rootY, &x, &y, &child);
    mX = x;
    mY = y;
    mAccepting = mAcceptDrops && mSourceHasUriList;
    SendStatus(mAccepting);
    return true;
  }
  if (message.message_type == atoms.mXdndLeave)
  {
    Reset();
    return true;
  }
  if (message.message_type == atoms.mXdndDrop)
  {
    mSource = static_cast<Window>(message.data.l[0]);
    if (!mAccepting)
    {
      SendFinished(false);
      Reset();
      return true;
    }
    Time time = mVersion >= 1 ? static_cast<Time>(message.data.l[2]) : CurrentTime;
    XConvertSelection(display, atoms.mXdndSelection, atoms.mUriList, atoms.mTransfer, mWindow, time);
    XFlush(display);
    mAwaitingData = true;
    return true;
  }
  return false;
}
