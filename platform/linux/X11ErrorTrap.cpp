#include "platform/linux/X11ErrorTrap.h"

#include <mutex>
#include <vector>

namespace
{
struct Record
{
  Display* mDisplay;
  int mErrors;
  int mLastCode;
};

struct TrapState
{
  std::mutex mMutex;
  std::vector<Record> mRecords;
  XErrorHandler mPrevious = nullptr;
  bool mInstalled = false;
};

TrapState& State()
{
  static TrapState* state = new TrapState(); // outlives every static destructor: handlers may still run
  return *state;
}

int HandleError(Display* display, XErrorEvent* event)
{
  XErrorHandler previous = nullptr;
  {
    TrapState& state = State();
    std::lock_guard<std::mutex> lock(state.mMutex);
    for (Record& r : state.mRecords)
      if (r.mDisplay == display)
      {
        ++r.mErrors;
        r.mLastCode = event ? event->error_code : 0;
        return 0;
      }
    previous = state.mPrevious;
  }
  // Not ours: the handler the host (or Xlib) had before us decides.
  return previous ? previous(display, event) : 0;
}

void InstallLocked(TrapState& state)
{
  XErrorHandler current = XSetErrorHandler(&HandleError);
  if (current != &HandleError) state.mPrevious = current;
  state.mInstalled = true;
}
} // namespace

namespace X11ErrorTrap
{
void Register(Display* display)
{
  TrapState& state = State();
  std::lock_guard<std::mutex> lock(state.mMutex);
  bool known = false;
  for (const Record& r : state.mRecords)
    known = known || r.mDisplay == display;
  if (!known) state.mRecords.push_back({display, 0, 0});
  InstallLocked(state);
}

void Unregister(Display* display)
{
  TrapState& state = State();
  std::lock_guard<std::mutex> lock(state.mMutex);
  for (size_t i = 0; i < state.mRecords.size(); ++i)
    if (state.mRecords[i].mDisplay == display)
    {
      state.mRecords.erase(state.mRecords.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  if (!state.mRecords.empty() || !state.mInstalled) return;
  // The last of our connections is gone, and the host may unload us: a handler left behind would be
  // code that no longer exists. The one before us comes back (unless someone replaced ours meanwhile).
  XErrorHandler current = XSetErrorHandler(state.mPrevious);
  if (current != &HandleError) XSetErrorHandler(current);
  state.mPrevious = nullptr;
  state.mInstalled = false;
}

void EnsureInstalled()
{
  TrapState& state = State();
  std::lock_guard<std::mutex> lock(state.mMutex);
  InstallLocked(state);
}

int TakeErrorCount(Display* display)
{
  TrapState& state = State();
  std::lock_guard<std::mutex> lock(state.mMutex);
  for (Record& r : state.mRecords)
    if (r.mDisplay == display)
    {
      int n = r.mErrors;
      r.mErrors = 0;
      return n;
    }
  return 0;
}

int LastErrorCode(Display* display)
{
  TrapState& state = State();
  std::lock_guard<std::mutex> lock(state.mMutex);
  for (const Record& r : state.mRecords)
    if (r.mDisplay == display) return r.mLastCode;
  return 0;
}
} // namespace X11ErrorTrap
