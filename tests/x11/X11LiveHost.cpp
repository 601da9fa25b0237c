#include "X11LiveHost.h"

#include "X11TestSupport.h"
#include "host/HostToolRun.h"

#include <cstdio>

namespace x11_test
{

namespace
{
// The host ends itself after this long if a test never says quit.
constexpr char kHostLifeSeconds[] = "100";
constexpr int kOpenTimeoutMs = 20000;
constexpr int kPollMs = 50;
} // namespace

LiveHost::LiveHost(const std::vector<std::string>& args)
{
  std::vector<std::string> argv = {
      KESTRUNE_HOST_PATH, "edit", hosttest::KestrunePath(), "--script", "-", "--seconds", kHostLifeSeconds};
  argv.insert(argv.end(), args.begin(), args.end());
  mProcess = std::make_unique<winetest::Subprocess>(argv);
  if (!mProcess->Running()) return;
  const std::string line = mProcess->WaitForLine(
      [](const std::string& l)
      { return l.rfind("editor window 0x", 0) == 0 || l.rfind("the editor did not open", 0) == 0; },
      kOpenTimeoutMs);
  unsigned long editor = 0, top = 0;
  if (std::sscanf(line.c_str(), "editor window 0x%lx in 0x%lx", &editor, &top) == 2) mEditor = editor;
}

LiveHost::~LiveHost()
{
  if (mProcess && mProcess->Running()) Quit();
}

bool LiveHost::Send(const std::string& action)
{
  return mProcess && mProcess->Write(action + "\n");
}

std::string LiveHost::WaitForLine(const std::string& start, int timeoutMs)
{
  if (!mProcess) return std::string();
  return mProcess->WaitForLine([&](const std::string& l) { return l.rfind(start, 0) == 0; }, timeoutMs);
}

std::string LiveHost::Ask(const std::string& action, const std::string& answer, int timeoutMs)
{
  if (!Send(action)) return std::string();
  return WaitForLine(answer, timeoutMs);
}

std::string LiveHost::SamplePath(int slot)
{
  const std::string start = "sample " + std::to_string(slot) + ": ";
  const std::string line = Ask("sample " + std::to_string(slot), start);
  return line.empty() ? std::string("(no answer)") : line.substr(start.size());
}

bool LiveHost::WaitForSample(int slot, const std::string& path, int timeoutMs)
{
  for (int waited = 0;; waited += kPollMs)
  {
    if (SamplePath(slot) == path) return true;
    if (waited >= timeoutMs) return false;
    SleepMs(kPollMs);
  }
}

int LiveHost::Quit()
{
  if (!mProcess) return -1;
  Send("quit");
  return mProcess->Wait(20000);
}
} // namespace x11_test
