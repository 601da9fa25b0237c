#pragma once
// The edit command's script of host actions: read whole from a file before anything runs, or line by
// line from a stream as the lines arrive (a test driver or a user typing), so that a driver can act on
// the editor and then ask the host what came of it.

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace khost
{

// One line of an edit script.
struct EditAction
{
  enum EKind
  {
    kWait,    // wait MS
    kParam,   // param I V      host automation of parameter I to the normalised V
    kPrint,   // print I        the parameter's display text on standard output
    kClose,   // close          effEditClose
    kOpen,    // open           effEditOpen (in a new window when the last one was destroyed)
    kDestroy, // destroy        the host destroys its window under the open editor
    kIdle,    // idle HZ        effEditIdle from now on at HZ (0: never)
    kQuit,    // quit
    kWatch,   // watch I        from now on, every change of parameter I is printed when it happens
    kSample,  // sample N       the sample path the plug-in keeps for slot N (its extra-parameter text)
    kTicks,   // ticks          the editor's timer ticks and inputs the window layer has seen
    kStats,   // stats          the render thread's figures since the last stats (--play)
    kCalls    // calls          the threads the plug-in reported the user's edits on
  };
  EKind kind;
  int index = 0;
  double value = 0.0;
};

class EditScript
{
public:
  // Reads a script (one action a line, '#' starts a comment); false with the line's fault in error.
  static bool Parse(const std::string& text, std::vector<EditAction>* actions, std::string* error);
  // One line; *blank when it holds no action. number names the line in the error.
  static bool ParseLine(const std::string& line, int number, EditAction* action, bool* blank,
                        std::string* error);

  // A script read before the loop starts.
  explicit EditScript(std::vector<EditAction> actions);
  // A script read from the file descriptor fd by a thread of its own, line by line. Faulty lines are
  // skipped and reported through NextError. The thread is left blocked in its read when the script
  // goes (the process is ending then).
  static std::unique_ptr<EditScript> FromDescriptor(int fd);
  ~EditScript();
  EditScript(const EditScript&) = delete;
  EditScript& operator=(const EditScript&) = delete;

  // The next action, when one is there; never blocks.
  bool Next(EditAction* action);
  // The fault of a skipped line of a live script, when there is one.
  bool NextError(std::string* error);

private:
  struct Feed
  {
    std::mutex mutex;
    std::deque<EditAction> actions;
    std::deque<std::string> errors;
  };
  EditScript() = default;
  std::shared_ptr<Feed> mFeed = std::make_shared<Feed>();
};
} // namespace khost
