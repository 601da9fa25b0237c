#pragma once
// File drops on the Linux editor window, by the XDND protocol (version 5 and older down to 3): the
// window says it is aware; a source announces its data types (we take text/uri-list), asks at each
// pointer position whether we accept, and on release we fetch the list through the XdndSelection,
// read the first file:// URI and tell the source we are finished.
//
// Threads: used under the editor's mutex.

#include "platform/linux/X11Connection.h"

#include <string>

class X11DropTarget
{
public:
  struct Drop
  {
    int mX = 0, mY = 0; // editor pixels
    std::string mPath;  // the first local file of the list
  };

  explicit X11DropTarget(X11Connection& connection) : mConnection(connection) {}

  // Marks window as a drop target (or, with accept false, as one that refuses everything).
  void Attach(Window window, bool accept);
  void Detach();
  // An XDND client message or the selection notice of a drop for our window: handled, true. When the
  // event completes a drop of a local file, *drop holds it and *dropped is set.
  bool HandleEvent(const XEvent& event, Drop* drop, bool* dropped);

private:
  void SendStatus(bool accept);
  void SendFinished(bool accepted);
  void Reset();

  X11Connection& mConnection;
  Window mWindow = 0;
  bool mAcceptDrops = false;
  Window mSource = 0;
  int mVersion = 0;
  bool mSourceHasUriList = false;
  bool mAccepting = false;
  bool mAwaitingData = false;
  int mX = 0, mY = 0;
};
