#pragma once
// The edit command's window layer: the host's top-level window that the plug-in's editor opens in,
// and the platform's event handling around it. One implementation per platform: X11 on Linux
// (EditWindowX11), Win32 on Windows (EditWindowWin32). All calls come from the thread that made it.

#include <functional>
#include <memory>
#include <string>

namespace khost
{

class EditWindow
{
public:
  virtual ~EditWindow() = default;

  // The layer of this platform; null with the reason in error when it cannot work here.
  static std::unique_ptr<EditWindow> Make(std::string* error);

  // Makes the top-level window with a client area of w x h titled title, unless one is there, and
  // answers the handle effEditOpen takes (a Window or an HWND).
  virtual void* Create(int w, int h, const std::string& title) = 0;
  // What the host prints once the editor opened: its window, ours and where to find them.
  virtual std::string Describe() = 0;
  // Handles the pending events and calls afterEach after each one it handled (and at least once);
  // false once the user has closed the window.
  virtual bool Pump(const std::function<void()>& afterEach) = 0;
  // Waits at most ms for the next event.
  virtual void Wait(int ms) = 0;
  // Destroys the top-level window (and whatever the editor left in it) without closing the editor.
  virtual void Destroy() = 0;

  // Timer ticks of the editor's windows and key or button presses the layer has handled, and the tick
  // count when the last press was handled; false when the layer cannot see them.
  struct Counts
  {
    long ticks = 0;
    long inputs = 0;
    long inputTick = 0;
  };
  virtual bool GetCounts(Counts* counts) const
  {
    (void)counts;
    return false;
  }
};
} // namespace khost
