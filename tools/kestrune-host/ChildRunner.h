#pragma once
// Runs one validation check in a child process, so that a plug-in that crashes, aborts or hangs
// fails that check and the tool goes on with the next. The child reports its result through a pipe;
// a child that dies by a signal, exits without a result or outlives the time limit fails.

#include <functional>
#include <string>

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
  // quiet: the child's standard output and error go to /dev/null (plug-ins print at will).
  static CheckResult Run(const std::function<CheckResult()>& check, int timeoutSeconds, bool quiet);

  // Called in the child before a risky step: where it is ("at 96000 Hz, block of 17 frames"). When
  // the child crashes or hangs, the failure names the last place marked. The text goes into memory
  // shared with the parent; no allocation.
  static void Mark(const char* format, ...) __attribute__((format(printf, 1, 2)));
};
} // namespace khost
