#include "tools/kestrune-host/EditScript.h"

#include "tools/kestrune-host/CommandLine.h"

#include <sstream>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace khost
{

namespace
{
long ReadSome(int fd, char* buffer, unsigned size)
{
#ifdef _WIN32
  return _read(fd, buffer, size);
#else
  return static_cast<long>(read(fd, buffer, size));
#endif
}
} // namespace

bool EditScript::ParseLine(const std::string& text, int number, EditAction* action, bool* blank,
                           std::string* error)
{
  std::string line = text;
  if (size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
  std::istringstream words(line);
  std::vector<std::string> w;
  for (std::string word; words >> word;)
    w.push_back(word);
  *blank = w.empty();
  if (w.empty()) return true;
  auto fail = [&](const char* what)
  {
    *error = "script line " + std::to_string(number) + ": " + what;
    return false;
  };
  EditAction a{EditAction::kQuit};
  const std::string& verb = w[0];
  if (verb == "wait" || verb == "idle" || verb == "print" || verb == "watch" || verb == "sample")
  {
    a.kind = verb == "wait"    ? EditAction::kWait
             : verb == "idle"  ? EditAction::kIdle
             : verb == "print" ? EditAction::kPrint
             : verb == "watch" ? EditAction::kWatch
                               : EditAction::kSample;
    if (w.size() != 2 || !CommandLine::ParseInt(w[1], &a.index) || a.index < 0)
      return fail("needs one number of 0 or more");
  }
  else if (verb == "param")
  {
    a.kind = EditAction::kParam;
    if (w.size() != 3 || !CommandLine::ParseInt(w[1], &a.index) || a.index < 0 ||
        !CommandLine::ParseDouble(w[2], &a.value) || a.value < 0.0 || a.value > 1.0)
      return fail("param needs I V with V between 0 and 1");
  }
  else if (verb == "close" || verb == "open" || verb == "destroy" || verb == "quit" || verb == "ticks" ||
           verb == "stats" || verb == "calls")
  {
    a.kind = verb == "close"     ? EditAction::kClose
             : verb == "open"    ? EditAction::kOpen
             : verb == "destroy" ? EditAction::kDestroy
             : verb == "ticks"   ? EditAction::kTicks
             : verb == "stats"   ? EditAction::kStats
             : verb == "calls"   ? EditAction::kCalls
                                 : EditAction::kQuit;
    if (w.size() != 1) return fail("takes no value");
  }
  else
    return fail(
        "unknown action (wait, param, print, watch, sample, ticks, stats, calls, close, open, destroy, idle, "
        "quit)");
  *action = a;
  return true;
}

bool EditScript::Parse(const std::string& text, std::vector<EditAction>* actions, std::string* error)
{
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);)
  {
    EditAction a{EditAction::kQuit};
    bool blank = false;
    if (!ParseLine(line, ++number, &a, &blank, error)) return false;
    if (!blank) actions->push_back(a);
  }
  return true;
}

EditScript::EditScript(std::vector<EditAction> actions)
{
  mFeed->actions.assign(actions.begin(), actions.end());
}

EditScript::~EditScript() = default;

std::unique_ptr<EditScript> EditScript::FromDescriptor(int fd)
{
  std::unique_ptr<EditScript> script(new EditScript());
  // The thread keeps the feed alive by itself: it may outlive the script, blocked in its read.
  std::thread(
      [feed = script->mFeed, fd]
      {
        std::string pending;
        int number = 0;
        char buffer[512];
        for (;;)
        {
          const long n = ReadSome(fd, buffer, sizeof(buffer));
          if (n <= 0) break;
          pending.append(buffer, static_cast<size_t>(n));
          for (size_t end; (end = pending.find('\n')) != std::string::npos;)
          {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            EditAction a{EditAction::kQuit};
            bool blank = false;
            std::string error;
            const bool ok = ParseLine(line, ++number, &a, &blank, &error);
            std::lock_guard<std::mutex> lock(feed->mutex);
            if (!ok)
              feed->errors.push_back(error);
            else if (!blank)
              feed->actions.push_back(a);
          }
        }
      })
      .detach();
  return script;
}

bool EditScript::Next(EditAction* action)
{
  std::lock_guard<std::mutex> lock(mFeed->mutex);
  if (mFeed->actions.empty()) return false;
  *action = mFeed->actions.front();
  mFeed->actions.pop_front();
  return true;
}

bool EditScript::NextError(std::string* error)
{
  std::lock_guard<std::mutex> lock(mFeed->mutex);
  if (mFeed->errors.empty()) return false;
  *error = mFeed->errors.front();
  mFeed->errors.pop_front();
  return true;
}
} // namespace khost
