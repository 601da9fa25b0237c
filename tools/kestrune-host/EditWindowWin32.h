#pragma once
// The edit command's window layer on Windows: a top-level window of the host's own class with a client
// area of the editor's size, and the thread's message loop. The editor's child window lives inside it
// and gets its timer and input messages through this loop, so the layer counts the editor's timer
// ticks and the key and button presses it dispatches.
#ifdef _WIN32

#include "tools/kestrune-host/EditWindow.h"

namespace khost
{

class EditWindowWin32 : public EditWindow
{
public:
  EditWindowWin32();
  ~EditWindowWin32() override;

  void* Create(int w, int h, const std::string& title) override;
  std::string Describe() override;
  bool Pump(const std::function<void()>& afterEach) override;
  void Wait(int ms) override;
  void Destroy() override;
  bool GetCounts(Counts* counts) const override;

  // The window procedure's close request (the user's close button or Alt+F4).
  void OnCloseRequest() { mCloseRequested = true; }

private:
  void* mInstance = nullptr;
  void* mWindow = nullptr; // HWND
  int mW = 0, mH = 0;
  std::string mTitle;
  bool mCloseRequested = false;
  Counts mCounts;
};
} // namespace khost
#endif
