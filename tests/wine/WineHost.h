#pragma once
// What the Wine tests drive: the Windows build's kestrune-host.exe running `edit` on Kestrune_x64.dll
// under Wine, on the X display the test script gives. The host reads its script from standard input
// ("--script -"), so each test acts on the editor with xdotool and then asks the host what came of it.
//
// The test script (scripts/windows-test.sh) prepares the Wine prefix, the wineserver and the display,
// and names the Windows build folder in KESTRUNE_WINDOWS_BUILD.

#include "Subprocess.h"

#include <memory>
#include <string>
#include <vector>

namespace winetest
{

// The programs of the Windows build and how to run them.
struct WineSetup
{
  std::string wine;   // wine64
  std::string host;   // kestrune-host.exe
  std::string module; // Kestrune_x64.dll
  // Reads the environment; false with the reason when something is missing.
  bool Load(std::string* reason);
  // The command line of kestrune-host.exe snapshot: the DLL draws its editor without a window into the
  // PNG file png (a path of this machine), after the loading options in args.
  std::vector<std::string> Snapshot(const std::string& png, const std::vector<std::string>& args) const;
};

// The Windows name of a file of ours (drive Z: is the root of the file system in a Wine prefix).
std::string DosPath(const std::string& unixPath);

class EditHost
{
public:
  // Starts the host with the editor open and waits until its window is on the display.
  EditHost(const WineSetup& setup, const std::vector<std::string>& extraArgs);
  ~EditHost();
  // Whether the editor opened and its X window was found; otherwise why not.
  bool Ready(std::string* why) const;

  // Finds the host's X window again (after the host made a new one); false when there is not one.
  bool FindWindow();
  // The top-level X window (Wine's window of the host's HWND) and where the editor sits in it.
  unsigned long XWindow() const { return mXWindow; }
  int EditorX() const { return mEditorX; }
  int EditorY() const { return mEditorY; }
  // The editor window's size in pixels, as the host saw it when the editor opened.
  int EditorW() const { return mEditorW; }
  int EditorH() const { return mEditorH; }

  // One script action.
  bool Send(const std::string& action);
  // Sends an action and answers the first line after it that starts with answer (empty when none).
  std::string Ask(const std::string& action, const std::string& answer, int timeoutMs = 5000);
  // Waits for a line starting with start.
  std::string WaitForLine(const std::string& start, int timeoutMs = 5000);
  // The editor's timer ticks, the presses the host dispatched and the tick of the last one.
  struct Counts
  {
    long ticks = -1, presses = -1, pressTick = -1;
  };
  Counts AskCounts();
  // Sample path slot holds ("0" for none).
  std::string SamplePath(int slot);
  // Parameter idx's display text.
  std::string Display(int idx);

  // xdotool with the pointer at (x, y) of the editor first, then actions.
  bool Pointer(int x, int y, const std::vector<std::string>& actions);

  // A drag with the left button from (x1, y1) to (x2, y2) of the editor.
  bool Drag(int x1, int y1, int x2, int y2);

  // Says quit and waits for the end; answers the exit code.
  int Quit();
  // Waits at most timeoutMs for the host to end by itself; answers the exit code (-1: it was killed).
  int WaitForEnd(int timeoutMs);
  std::string Output() const { return mProcess ? mProcess->Output() : std::string(); }

private:
  std::unique_ptr<Subprocess> mProcess;
  std::string mWhy;
  std::string mTitleRegex;
  unsigned long mXWindow = 0;
  int mEditorX = 0, mEditorY = 0;
  int mEditorW = 0, mEditorH = 0;
  bool mQuit = false;
};

// Runs xdotool with args; true when it succeeded.
bool Xdotool(const std::vector<std::string>& args, std::string* output = nullptr);
// The visible X windows whose name matches the regular expression.
std::vector<unsigned long> FindWindows(const std::string& nameRegex);
// Sends keys (xdotool key names) to whatever holds the keyboard focus.
bool Keys(const std::vector<std::string>& keys);
bool TypeText(const std::string& text);
} // namespace winetest
