#pragma once
// What the X11 editor tests need around the plug-in: a private Xvfb server, a host connection with
// top-level windows, pixel read-back, and the command-line X tools (xdotool, xclip). Nothing here
// includes Xlib, so test files can include it next to GoogleTest.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct _XDisplay;

namespace x11_test
{
// The editor at 100 %, and the centre of slot 0's sample view.
constexpr int kW = 808, kH = 492;
constexpr int kSampleViewX = 101, kSampleViewY = 138;

// A virtual X server of our own on a display number the server picks itself; DISPLAY names it while it
// runs. Start() fails (with a reason) when Xvfb is not installed or does not come up.
class XvfbServer
{
public:
  ~XvfbServer();
  bool Start(std::string* reason);
  void Stop();
  const std::string& DisplayName() const { return mDisplay; }
  static bool Installed();

private:
  int mPid = -1;
  std::string mDisplay;
};

// The host's side: its own X connection and top-level windows.
class HostDisplay
{
public:
  HostDisplay();
  ~HostDisplay();
  bool Ok() const { return mDisplay != nullptr; }
  // A mapped top-level window of w x h at (x, y) on the root; answers its id once it is viewable.
  unsigned long CreateTopLevel(int x, int y, int w, int h);
  void DestroyWindow(unsigned long window);
  // Pixels of window's area (x, y, w, h) as 0x00RRGGBB, row by row; empty on failure.
  std::vector<uint32_t> ReadPixels(unsigned long window, int x, int y, int w, int h);
  // The window holding the keyboard focus: 0 for none, 1 for "the window under the pointer".
  unsigned long FocusWindow();
  // How many windows the root window holds (the top-level windows).
  int TopLevelCount();
  // The first child window of window (0 when it has none).
  unsigned long FirstChild(unsigned long window);
  // Whether window exists and has the XdndAware property.
  bool HasXdndAware(unsigned long window);
  bool WindowExists(unsigned long window);
  // Installs an error handler of "the host" that counts errors.
  static void InstallHostHandler();
  // Whether the process's current X error handler is the one InstallHostHandler installed.
  static bool HostHandlerIsCurrent();
  // Makes the host's connection cause one error (a request on a window that does not exist) and
  // answers how many errors the host's handler has seen since.
  int CauseHostError();
  // The root position of (x, y) of window.
  void ToRoot(unsigned long window, int x, int y, int* rootX, int* rootY);
  void Sync();

private:
  ::_XDisplay* mDisplay = nullptr;
};

// Runs argv (argv[0] found in PATH) and waits at most timeoutMs; answers its exit code (-1 when it
// could not run or did not end in time) and, when output is given, what it printed.
int RunTool(const std::vector<std::string>& argv, std::string* output = nullptr, int timeoutMs = 5000);
// Polls condition every few milliseconds for at most timeoutMs; answers its last value.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
// Sleeps ms milliseconds.
void SleepMs(int ms);
} // namespace x11_test
