#pragma once
// The clipboard of the Linux editor: X has no clipboard store, the program that owns the CLIPBOARD
// selection answers every paste. We own it with the connection's hidden window (so it outlives a
// closed editor) and answer TARGETS, UTF8_STRING, STRING and TEXT until another program takes the
// selection over.
//
// Threads: used under the editor's mutex.

#include "platform/linux/X11Connection.h"

#include <string>

class X11Clipboard
{
public:
  explicit X11Clipboard(X11Connection& connection) : mConnection(connection) {}

  // Takes the CLIPBOARD selection with text; false without a connection.
  bool SetText(const std::string& text);
  // A selection request or clear for our owner window: answered, and true. Other events: false.
  bool HandleEvent(const XEvent& event);
  const std::string& Text() const { return mText; }
  bool Owned() const { return mOwned; }

private:
  X11Connection& mConnection;
  std::string mText;
  bool mOwned = false;
};
