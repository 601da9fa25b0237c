#pragma once
// The display density of the Windows editor. The per-window DPI calls of user32 (GetDpiForWindow,
// GetDpiForSystem, SetThreadDpiAwarenessContext) are looked up at run time, so that the module still
// loads on systems that lack them; there the screen's logical density is used and the thread keeps
// its awareness.
//
// UI thread.

// The editor size of a density in dots per inch (96 is 100 %, 144 is 150 %, 192 is 200 %, others the
// nearest of the three); 0 for no density.
int ScaleFromWindowsDpi(unsigned dpi);

// The density of a window (HWND): its own when the system tells one, else the system's (also for a
// null window), else the screen's logical density; 96 when nothing answers.
unsigned WindowDpi(void* window);

// While it lives, windows the thread creates are per-monitor DPI aware (the second version when the
// system has it); the thread's previous awareness comes back when it ends.
class PerMonitorDpiScope
{
public:
  PerMonitorDpiScope();
  ~PerMonitorDpiScope();
  PerMonitorDpiScope(const PerMonitorDpiScope&) = delete;
  PerMonitorDpiScope& operator=(const PerMonitorDpiScope&) = delete;

private:
  void* mPrevious = nullptr; // DPI_AWARENESS_CONTEXT, null when nothing was changed
};
