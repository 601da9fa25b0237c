#include "tools/kestrune-host/ChildRunner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace khost
{

namespace
{
void WriteAll(int fd, const std::string& text)
{
  size_t done = 0;
  while (done < text.size())
  {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

// The last place the child marked, in a page shared across fork.
constexpr size_t kMarkBytes = 256;
char* SharedMark()
{
  static char* mark = []
  {
    void* page = mmap(nullptr, kMarkBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    return page == MAP_FAILED ? nullptr : static_cast<char*>(page);
  }();
  return mark;
}

std::string Where()
{
  const char* mark = SharedMark();
  if (!mark || mark[0] == '\0') return "";
  return " " + std::string(mark, strnlen(mark, kMarkBytes));
}

std::string SignalText(int sig)
{
  const char* name = strsignal(sig);
  return "crashed: signal " + std::to_string(sig) + " (" + (name ? name : "?") + ")";
}
} // namespace

void ChildRunner::Mark(const char* format, ...)
{
  char* mark = SharedMark();
  if (!mark) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(mark, kMarkBytes, format, args);
  va_end(args);
}

CheckResult ChildRunner::Run(Task task, const std::vector<std::string>& args, int timeoutSeconds, bool quiet)
{
  if (char* mark = SharedMark()) mark[0] = '\0';
  int fds[2];
  if (pipe(fds) != 0) return CheckResult::Failed("cannot create a pipe for the check");
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid < 0)
  {
    close(fds[0]);
    close(fds[1]);
    return CheckResult::Failed("cannot fork for the check");
  }
  if (pid == 0)
  {
    close(fds[0]);
    if (quiet)
    {
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0)
      {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
      }
    }
    WriteAll(fds[1], Encode(RunTask(task, args)));
    close(fds[1]);
    // No destructors or atexit handlers of the plug-in: the result is in.
    _exit(0);
  }
  close(fds[1]);
  std::string message;
  bool timedOut = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;)
  {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    if (left <= 0)
    {
      timedOut = true;
      break;
    }
    pollfd p = {fds[0], POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0)
    {
      timedOut = ready == 0;
      break;
    }
    char buffer[4096];
    const ssize_t n = read(fds[0], buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    message.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timedOut) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
  {
  }
  if (timedOut)
    return CheckResult::Failed("did not finish within " + std::to_string(timeoutSeconds) + " s" + Where());
  if (WIFSIGNALED(status)) return CheckResult::Failed(SignalText(WTERMSIG(status)) + Where());
  // A sanitizer runtime turns a crash into an exit; so does a plug-in calling exit().
  if (message.empty())
    return CheckResult::Failed("crashed: exited with status " +
                               std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) +
                               " before finishing" + Where());
  return Decode(message);
}

bool ChildRunner::ServeChild(int, char**, Task, int*)
{
  return false;
}
} // namespace khost
