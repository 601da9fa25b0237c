#pragma once
// Runs one validation check in a child process, so that a plug-in that crashes, aborts or hangs
// fails that check and the tool goes on with the next. A check reaches the child as a task and its
// text arguments: on POSIX a fork of the tool calls the task (posix/ChildRunner.cpp); on Windows the
// tool starts its own program again with a hidden first argument, and main() hands that command line
// to ServeChild, which calls the same task (windows/ChildRunner.cpp). The child reports its result
// through memory shared with the parent; a child that crashes, exits without a result or outlives the
// time limit fails.

#include <string>
#include <vector>

#if defined(__MINGW32__)
#define KHOST_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define KHOST_PRINTF(f, a) __attribute__((format(printf, f, a)))
#endif

namespace khost
{

struct CheckResult
{
  enum Outcome
  {
    kPassed,
    kFailed,
    kSkipped
  };
  Outcome outcome = kFailed;
  std::string reason;

  static CheckResult Passed(std::string why) { return {kPassed, std::move(why)}; }
  static CheckResult Failed(std::string why) { return {kFailed, std::move(why)}; }
  static CheckResult Skipped(std::string why) { return {kSkipped, std::move(why)}; }
};

class ChildRunner
{
public:
  using Task = CheckResult (*)(const std::vector<std::string>& args);

  // Runs task(args) in a child process. quiet: the child's standard output and error are discarded
  // (plug-ins print at will). The program's main() must pass the same task to ServeChild.
  static CheckResult Run(Task task, const std::vector<std::string>& args, int timeoutSeconds, bool quiet);

  // Called first in main(): true when this process was started by Run as a child; it has then run
  // task and reported, and main returns *exitCode. Always false on POSIX, where children are forks.
  static bool ServeChild(int argc, char** argv, Task task, int* exitCode);

  // Called in the child before a risky step: where it is ("at 96000 Hz, block of 17 frames"). When
  // the child crashes or hangs, the failure names the last place marked. The text goes into memory
  // shared with the parent; no allocation.
  static void Mark(const char* format, ...) KHOST_PRINTF(1, 2);

  // Runs the task, turning an escaping exception into a failure.
  static CheckResult RunTask(Task task, const std::vector<std::string>& args);
  // The result as the child hands it over ("P", "F" or "S", then the reason) and back.
  static std::string Encode(const CheckResult& result);
  static CheckResult Decode(const std::string& message);
};
} // namespace khost
