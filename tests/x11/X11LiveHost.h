#pragma once
// kestrune-host edit on the built module, running while a test acts on its editor: its script comes
// from a pipe line by line ("--script -"), its output is read back line by line. The host prints where
// its editor window is; the test drives that window with xdotool and XDND drops.

#include "host/LiveHostLines.h"
#include "wine/Subprocess.h"

#include <memory>
#include <string>
#include <vector>

namespace x11_test
{

class LiveHost
{
public:
  // Starts the host on the module with args after "edit MODULE --script -"; Ready() tells whether the
  // editor opened.
  explicit LiveHost(const std::vector<std::string>& args);
  ~LiveHost();
  bool Ready() const { return mEditor != 0; }
  // The editor's own X window (the first child of the host's window).
  unsigned long Editor() const { return mEditor; }

  bool Send(const std::string& action);
  // Sends action and answers the first line after it that starts with answer (empty when none came).
  std::string Ask(const std::string& action, const std::string& answer, int timeoutMs = 5000);
  std::string WaitForLine(const std::string& start, int timeoutMs = 5000);
  // The path slot's text holds ("0" for none).
  std::string SamplePath(int slot);
  // Waits until slot holds path.
  bool WaitForSample(int slot, const std::string& path, int timeoutMs = 30000);
  hosttest::RenderFigures Stats() { return hosttest::AskStats(*this); }
  hosttest::CallCensus Census() { return hosttest::AskCensus(*this); }
  // Says quit; answers the exit code.
  int Quit();
  std::string Output() const { return mProcess ? mProcess->Output() : std::string(); }

private:
  std::unique_ptr<winetest::Subprocess> mProcess;
  unsigned long mEditor = 0;
};
} // namespace x11_test
