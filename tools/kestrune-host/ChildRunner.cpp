#include "tools/kestrune-host/ChildRunner.h"

#include <exception>

namespace khost
{

CheckResult ChildRunner::RunTask(Task task, const std::vector<std::string>& args)
{
  try
  {
    return task(args);
  }
  catch (const std::exception& e)
  {
    return CheckResult::Failed(std::string("an exception escaped: ") + e.what());
  }
  catch (...)
  {
    return CheckResult::Failed("an exception escaped");
  }
}

std::string ChildRunner::Encode(const CheckResult& result)
{
  const char code = result.outcome == CheckResult::kPassed    ? 'P'
                    : result.outcome == CheckResult::kSkipped ? 'S'
                                                              : 'F';
  return std::string(1, code) + result.reason;
}

CheckResult ChildRunner::Decode(const std::string& message)
{
  if (message.empty()) return CheckResult::Failed("no result");
  std::string reason = message.substr(1);
  if (message[0] == 'P') return CheckResult::Passed(std::move(reason));
  if (message[0] == 'S') return CheckResult::Skipped(std::move(reason));
  return CheckResult::Failed(std::move(reason));
}
} // namespace khost
