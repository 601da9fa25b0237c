#include "platform/linux/X11Connection.h"

#include "platform/linux/X11ErrorTrap.h"

#include <X11/Xutil.h>

X11Connection::~X11Connection()
{
  if (!mDisplay) return;
  for (auto& entry : mCursors)
    XFreeCursor(mDisplay, entry.second);
  if (mOwner) XDestroyWindow(mDisplay, mOwner);
  // Errors of our last requests land in our record; closing itself sends nothing that can fail (the
  // server frees what we leave when the connection ends).
  XSync(mDisplay, False);
  X11ErrorTrap::Unregister(mDisplay);
  XCloseDisplay(mDisplay);
}

bool X11Connection::Open()
{
  if (mDisplay) return true;
  mDisplay = XOpenDisplay(nullptr);
  if (!mDisplay) return false;
  X11ErrorTrap::Register(mDisplay);

  const char* names[] = {"CLIPBOARD",    "UTF8_STRING",      "TARGETS",          "TEXT",
                         "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_NAME",     "XdndAware",
                         "XdndEnter",    "XdndPosition",     "XdndStatus",       "XdndLeave",
                         "XdndDrop",     "XdndFinished",     "XdndSelection",    "XdndActionCopy",
                         "XdndTypeList", "text/uri-list",    "KESTRUNE_TRANSFER"};
  constexpr int kCount = sizeof(names) / sizeof(names[0]);
  Atom atoms[kCount] = {};
  XInternAtoms(mDisplay, const_cast<char**>(names), kCount, False, atoms);
  Atom* out[] = {
      &mAtoms.mClipboard,    &mAtoms.mUtf8String,     &mAtoms.mTargets,       &mAtoms.mText,
      &mAtoms.mWmProtocols,  &mAtoms.mWmDeleteWindow, &mAtoms.mNetWmName,     &mAtoms.mXdndAware,
      &mAtoms.mXdndEnter,    &mAtoms.mXdndPosition,   &mAtoms.mXdndStatus,    &mAtoms.mXdndLeave,
      &mAtoms.mXdndDrop,     &mAtoms.mXdndFinished,   &mAtoms.mXdndSelection, &mAtoms.mXdndActionCopy,
      &mAtoms.mXdndTypeList, &mAtoms.mUriList,        &mAtoms.mTransfer};
  static_assert(sizeof(out) / sizeof(out[0]) == kCount, "one atom per name");
  for (int i = 0; i < kCount; ++i)
    *out[i] = atoms[i];

  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  mOwner = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                         CopyFromParent, CWEventMask, &attributes);
  return true;
}

int X11Connection::Fd() const
{
  return mDisplay ? ConnectionNumber(mDisplay) : -1;
}

Cursor X11Connection::FontCursor(unsigned int shape)
{
  if (!mDisplay) return 0;
  auto found = mCursors.find(shape);
  if (found != mCursors.end()) return found->second;
  Cursor cursor = XCreateFontCursor(mDisplay, shape);
  mCursors[shape] = cursor;
  return cursor;
}

bool X11Connection::VisualMatchesBackBuffer() const
{
  if (!mDisplay) return false;
  int screen = DefaultScreen(mDisplay);
  Visual* visual = DefaultVisual(mDisplay, screen);
  int depth = DefaultDepth(mDisplay, screen);
  if (depth != 24 && depth != 32) return false;
  if (visual->red_mask != 0xff0000 || visual->green_mask != 0xff00 || visual->blue_mask != 0xff) return false;
  // The image format of that depth must store a pixel in 32 bits.
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(mDisplay, &count);
  bool found = false;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) found = formats[i].bits_per_pixel == 32;
  if (formats) XFree(formats);
  return found;
}

int X11Connection::SyncAndCountErrors()
{
  if (!mDisplay) return 0;
  XSync(mDisplay, False);
  return X11ErrorTrap::TakeErrorCount(mDisplay);
}
