#include "WineHost.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace winetest
{

namespace
{
// How long the host may take to show its editor: Wine starts it in about half a second once the
// wineserver is warm.
constexpr int kStartTimeoutMs = 20000;
// The host ends itself after this long if a test never says quit.
constexpr char kHostLifeSeconds[] = "90";

std::string Env(const char* name)
{
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool Exists(const std::string& path)
{
  return access(path.c_str(), R_OK) == 0;
}

bool StartsWith(const std::string& line, const std::string& start)
{
  return line.compare(0, start.size(), start) == 0;
}
} // namespace

bool WineSetup::Load(std::string* reason)
{
  const std::string build = Env("KESTRUNE_WINDOWS_BUILD");
  if (build.empty())
  {
    *reason = "KESTRUNE_WINDOWS_BUILD is not set: run these tests through scripts/windows-test.sh";
    return false;
  }
  if (Env("DISPLAY").empty() || Env("WINEPREFIX").empty())
  {
    *reason = "DISPLAY and WINEPREFIX must be set: run these tests through scripts/windows-test.sh";
    return false;
  }
  wine = Exists("/usr/lib/wine/wine64") ? "/usr/lib/wine/wine64" : "wine64";
  host = Env("KESTRUNE_WINE_HOST");
  if (host.empty()) host = build + "/tools/kestrune-host/kestrune-host.exe";
  module = build + "/platform/windows/module/Kestrune_x64.dll";
  for (const std::string* path : {&host, &module})
    if (!Exists(*path))
    {
      *reason = *path + " is missing: build the Windows build first (make windows)";
      return false;
    }
  return true;
}

std::vector<std::string> WineSetup::Snapshot(const std::string& png,
                                             const std::vector<std::string>& args) const
{
  std::vector<std::string> argv = {wine, host, "snapshot", DosPath(module), "-o", DosPath(png)};
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

std::string DosPath(const std::string& unixPath)
{
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool Xdotool(const std::vector<std::string>& args, std::string* output)
{
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv, output) == 0;
}

std::vector<unsigned long> FindWindows(const std::string& nameRegex)
{
  std::vector<unsigned long> windows;
  std::string text;
  Xdotool({"search", "--onlyvisible", "--name", nameRegex}, &text);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
      windows.push_back(std::stoul(line));
  return windows;
}

bool Keys(const std::vector<std::string>& keys)
{
  std::vector<std::string> args = {"key"};
  args.insert(args.end(), keys.begin(), keys.end());
  return Xdotool(args);
}

bool TypeText(const std::string& text)
{
  return Xdotool({"type", text});
}

EditHost::EditHost(const WineSetup& setup, const std::vector<std::string>& extraArgs)
{
  std::vector<std::string> argv = {setup.wine, setup.host, "edit",      DosPath(setup.module),
                                   "--script", "-",        "--seconds", kHostLifeSeconds};
  argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
  mProcess = std::make_unique<Subprocess>(argv);
  if (!mProcess->Running())
  {
    mWhy = "wine64 did not start";
    return;
  }
  const std::string line = mProcess->WaitForLine(
      [](const std::string& l)
      { return StartsWith(l, "editor window 0x") || StartsWith(l, "the editor did not open"); },
      kStartTimeoutMs);
  unsigned long long editor = 0, top = 0;
  if (std::sscanf(line.c_str(), "editor window 0x%llx in 0x%llx (%dx%d) at %d,%d", &editor, &top, &mEditorW,
                  &mEditorH, &mEditorX, &mEditorY) != 6 ||
      editor == 0)
  {
    mWhy = "the host did not open the editor (WINEDEBUG=err+module shows why Wine did not start a "
           "program):\n" +
           mProcess->Output();
    return;
  }
  const size_t quote = line.find('"');
  const std::string title = quote == std::string::npos ? "" : line.substr(quote + 1, line.size() - quote - 2);
  // The title as a regular expression of its own text.
  mTitleRegex = "^";
  for (char c : title)
  {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) mTitleRegex += '\\';
    mTitleRegex += c;
  }
  mTitleRegex += "$";
  if (!FindWindow()) mWhy = "no X window is named " + title;
}

bool EditHost::FindWindow()
{
  std::vector<unsigned long> found;
  WaitFor(
      [&]
      {
        found = FindWindows(mTitleRegex);
        return found.size() == 1;
      },
      kStartTimeoutMs);
  mXWindow = found.size() == 1 ? found[0] : 0;
  return mXWindow != 0;
}

EditHost::~EditHost()
{
  if (mProcess && !mQuit) Quit();
}

bool EditHost::Ready(std::string* why) const
{
  *why = mWhy;
  return mXWindow != 0;
}

bool EditHost::Send(const std::string& action)
{
  return mProcess && mProcess->Write(action + "\n");
}

std::string EditHost::WaitForLine(const std::string& start, int timeoutMs)
{
  if (!mProcess) return std::string();
  return mProcess->WaitForLine([&](const std::string& l) { return StartsWith(l, start); }, timeoutMs);
}

std::string EditHost::Ask(const std::string& action, const std::string& answer, int timeoutMs)
{
  if (!Send(action)) return std::string();
  return WaitForLine(answer, timeoutMs);
}

EditHost::Counts EditHost::AskCounts()
{
  Counts c;
  const std::string line = Ask("ticks", "editor ticks ");
  std::sscanf(line.c_str(), "editor ticks %ld, presses %ld, last press at tick %ld", &c.ticks, &c.presses,
              &c.pressTick);
  return c;
}

std::string EditHost::SamplePath(int slot)
{
  const std::string start = "sample " + std::to_string(slot) + ": ";
  const std::string line = Ask("sample " + std::to_string(slot), start);
  return line.empty() ? std::string("(no answer)") : line.substr(start.size());
}

std::string EditHost::Display(int idx)
{
  const std::string start = "param " + std::to_string(idx) + ": ";
  const std::string line = Ask("print " + std::to_string(idx), start);
  return line.empty() ? std::string("(no answer)") : line.substr(start.size());
}

bool EditHost::Pointer(int x, int y, const std::vector<std::string>& actions)
{
  // No --sync: it waits for a motion event that never comes when the pointer is already there.
  std::vector<std::string> args = {"mousemove", "--window", std::to_string(mXWindow),
                                   std::to_string(mEditorX + x), std::to_string(mEditorY + y)};
  args.insert(args.end(), actions.begin(), actions.end());
  return Xdotool(args);
}

bool EditHost::Drag(int x1, int y1, int x2, int y2)
{
  return Pointer(x1, y1,
                 {"mousedown", "1", "mousemove", "--window", std::to_string(mXWindow),
                  std::to_string(mEditorX + x2), std::to_string(mEditorY + y2), "mouseup", "1"});
}

int EditHost::Quit()
{
  mQuit = true;
  if (!mProcess) return -1;
  Send("quit");
  return mProcess->Wait(10000);
}
int EditHost::WaitForEnd(int timeoutMs)
{
  mQuit = true;
  return mProcess ? mProcess->Wait(timeoutMs) : -1;
}
} // namespace winetest
