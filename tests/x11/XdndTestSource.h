#pragma once
// A drag source of the XDND protocol, as a file manager would be: another X client that drags a
// text/uri-list onto a target window and serves the list when the target asks for it.

#include <string>

namespace x11_test
{
struct XdndResult
{
  bool mStatusSeen = false; // the target answered a position
  bool mAccepted = false;   // ... and accepted the drop
  bool mDataRequested = false;
  bool mFinished = false;   // the target said it was done
  bool mFinishedOk = false; // ... and took the data
};

// Drags uriList over target at (x, y) of target (window coordinates) and drops it there. Waits at most
// timeoutMs for each answer. moreThanThreeTypes offers the types through XdndTypeList.
XdndResult DragAndDrop(unsigned long target, int x, int y, const std::string& uriList,
                       bool moreThanThreeTypes, int timeoutMs = 3000);
} // namespace x11_test
