#pragma once
// One Xlib connection of an editor, separate from the host's own: the display, the atoms the editor
// speaks, a hidden window that owns our selections for as long as the connection lives (so the
// clipboard outlives a closed editor), and the cursors of the X cursor font.
//
// Threads: whoever holds the editor's mutex (IGraphicsLinux) uses it; Xlib is not told about threads.

#include <X11/Xlib.h>

#include <map>

class X11Connection
{
public:
  struct Atoms
  {
    Atom mClipboard, mUtf8String, mTargets, mText, mWmProtocols, mWmDeleteWindow, mNetWmName;
    Atom mXdndAware, mXdndEnter, mXdndPosition, mXdndStatus, mXdndLeave, mXdndDrop, mXdndFinished;
    Atom mXdndSelection, mXdndActionCopy, mXdndTypeList, mUriList, mTransfer;
  };

  X11Connection() = default;
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  // Connects to the display the environment names; false when there is none.
  bool Open();
  Display* GetDisplay() const { return mDisplay; }
  int Fd() const;
  const Atoms& GetAtoms() const { return mAtoms; }
  // The hidden window that owns our selections.
  Window OwnerWindow() const { return mOwner; }
  // A cursor of the X cursor font (created once per connection); 0 when it cannot be made.
  Cursor FontCursor(unsigned int shape);
  // Whether the default visual takes our back buffer's pixels as they are (32 bits per pixel, red in
  // bits 16-23, green 8-15, blue 0-7).
  bool VisualMatchesBackBuffer() const;
  // Sends the requests buffered so far and waits until the server has handled them; answers the
  // number of X errors they caused.
  int SyncAndCountErrors();

private:
  Display* mDisplay = nullptr;
  Atoms mAtoms{};
  Window mOwner = 0;
  std::map<unsigned int, Cursor> mCursors;
};
