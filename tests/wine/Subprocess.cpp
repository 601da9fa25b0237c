#include "Subprocess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace winetest
{

namespace
{
using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end)
{
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}
} // namespace

Subprocess::Subprocess(const std::vector<std::string>& argv)
{
  int in[2], out[2];
  if (argv.empty() || pipe2(in, O_CLOEXEC) != 0) return;
  if (pipe2(out, O_CLOEXEC) != 0)
  {
    close(in[0]);
    close(in[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, out[1], 2);
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  mIn = in[1];
  mOut = out[0];
  mPid = pid;
  // Writing to a program that has ended must fail, not end the test program.
  signal(SIGPIPE, SIG_IGN);
}

Subprocess::~Subprocess()
{
  if (mPid > 0 && !mEnded) Wait(0);
  CloseInput();
  if (mOut >= 0) close(mOut);
}

bool Subprocess::Write(const std::string& text)
{
  if (mIn < 0) return false;
  size_t done = 0;
  while (done < text.size())
  {
    const ssize_t n = write(mIn, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void Subprocess::CloseInput()
{
  if (mIn >= 0) close(mIn);
  mIn = -1;
}

bool Subprocess::ReadSome(int waitMs)
{
  if (mOut < 0) return false;
  pollfd p{mOut, POLLIN, 0};
  if (poll(&p, 1, waitMs) <= 0) return true;
  char buffer[4096];
  const ssize_t n = read(mOut, buffer, sizeof(buffer));
  if (n <= 0)
  {
    close(mOut);
    mOut = -1;
    return false;
  }
  mPending.append(buffer, static_cast<size_t>(n));
  for (size_t end; (end = mPending.find('\n')) != std::string::npos;)
  {
    std::string line = mPending.substr(0, end);
    mPending.erase(0, end + 1);
    while (!line.empty() && line.back() == '\r')
      line.pop_back();
    mLines.push_back(line);
  }
  return true;
}

std::string Subprocess::WaitForLine(const std::function<bool(const std::string&)>& match, int timeoutMs)
{
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;)
  {
    for (; mSeen < mLines.size(); ++mSeen)
      if (match(mLines[mSeen])) return mLines[mSeen++];
    if (MsLeft(end) == 0 || !ReadSome(std::min(MsLeft(end), 50))) break;
  }
  for (; mSeen < mLines.size(); ++mSeen)
    if (match(mLines[mSeen])) return mLines[mSeen++];
  return std::string();
}

std::string Subprocess::Output() const
{
  std::string text;
  for (const std::string& line : mLines)
    text += line + "\n";
  return text + mPending;
}

int Subprocess::Wait(int timeoutMs)
{
  if (mPid <= 0) return -1;
  if (mEnded) return mExitCode;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;)
  {
    int status = 0;
    const pid_t done = waitpid(mPid, &status, WNOHANG);
    if (done == mPid)
    {
      mEnded = true;
      mExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (MsLeft(end) == 0)
    {
      kill(mPid, SIGKILL);
      waitpid(mPid, nullptr, 0);
      mEnded = true;
      mExitCode = -1;
      break;
    }
    ReadSome(5);
  }
  while (ReadSome(0) && mOut >= 0)
  {
    pollfd p{mOut, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) break;
  }
  return mExitCode;
}

int RunProgram(const std::vector<std::string>& argv, std::string* output, int timeoutMs)
{
  Subprocess p(argv);
  if (!p.Running()) return -1;
  p.CloseInput();
  const int code = p.Wait(timeoutMs);
  if (output) *output = p.Output();
  return code;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition())
  {
    if (Clock::now() > end) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  return true;
}
} // namespace winetest
