#pragma once
// The edit command's window layer on X11: a top-level X window with the close button wired to
// WM_DELETE_WINDOW. The editor runs its own event thread, so this layer sees no editor ticks.
#ifndef _WIN32

#include "tools/kestrune-host/EditWindow.h"

struct _XDisplay;

namespace khost
{

class EditWindowX11 : public EditWindow
{
public:
  // Takes the display; answers false when no X server answers.
  bool Connect(std::string* error);
  ~EditWindowX11() override;

  void* Create(int w, int h, const std::string& title) override;
  std::string Describe() override;
  bool Pump(const std::function<void()>& afterEach) override;
  void Wait(int ms) override;
  void Destroy() override;

private:
  ::_XDisplay* mDisplay = nullptr;
  unsigned long mWindow = 0;
  unsigned long mDeleteAtom = 0;
  int mW = 0, mH = 0;
};
} // namespace khost
#endif
