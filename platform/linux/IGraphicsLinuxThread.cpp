// Our thread and the X events it reads: the thread waits on the connection, a wake-up pipe and the
// file dialog, turns server events into input for the editor, runs the editor when the host's idle
// calls do not, and copies painted areas to the screen.

#include "platform/linux/IGraphicsLinux.h"

#include "framework/IEffectBase.h"
#include "platform/linux/ChildProcess.h"
#include "platform/linux/SteadyClock.h"
#include "platform/linux/X11Clipboard.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11DropTarget.h"
#include "platform/linux/X11MessageBox.h"
#include "platform/linux/X11TextEntry.h"
#include "platform/linux/X11Tunables.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

// ---- Events from the server (our thread, editor mutex only) ----

void IGraphicsLinux::ReadEvents()
{
  if (!mConnection) return;
  Display* display = mConnection->GetDisplay();
  while (XPending(display) > 0)
  {
    XEvent event;
    XNextEvent(display, &event);
    TranslateEvent(event);
  }
}

void IGraphicsLinux::TranslateEvent(const XEvent& event)
{
  if (mClipboard && mClipboard->HandleEvent(event)) return;
  for (size_t i = 0; i < mMessageBoxes.size(); ++i)
  {
    bool done = false;
    if (mMessageBoxes[i]->HandleEvent(event, &done))
    {
      if (done) mMessageBoxes.erase(mMessageBoxes.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
  if (mDropTarget)
  {
    X11DropTarget::Drop drop;
    bool dropped = false;
    if (mDropTarget->HandleEvent(event, &drop, &dropped))
    {
      if (dropped)
      {
        InputEvent in(InputEvent::kDrop);
        in.mX = drop.mX;
        in.mY = drop.mY;
        in.mPath = drop.mPath;
        mInbox.push_back(in);
      }
      return;
    }
  }
  if (!mWindow) return;
  const Window window = event.xany.window;
  const bool inEntry = mEntry && window == mEntry->GetWindow();
  if (window != mWindow && !inEntry) return;
  if (inEntry && event.type == Expose)
  {
    if (event.xexpose.count == 0) mEntry->Redraw();
    return;
  }

  InputEvent in(InputEvent::kMotion);
  in.mInEntry = inEntry;
  switch (event.type)
  {
  case Expose:
    // What the server lost is in the back buffer already.
    mPendingPaint =
        mPendingPaint.Union(IRECT(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                  event.xexpose.y + event.xexpose.height));
    return;
  case DestroyNotify:
    if (event.xdestroywindow.window != mWindow) return;
    // The host destroyed its window and ours with it.
    mWindowAlive = false;
    if (mEntry) mEntry->ForgetWindow();
    in.mKind = InputEvent::kWindowGone;
    break;
  case ButtonPress:
  case ButtonRelease:
    in.mKind = event.type == ButtonPress ? InputEvent::kButtonPress : InputEvent::kButtonRelease;
    in.mX = event.xbutton.x + (inEntry ? mEntryX : 0);
    in.mY = event.xbutton.y + (inEntry ? mEntryY : 0);
    in.mButton = event.xbutton.button;
    in.mState = event.xbutton.state;
    in.mTime = event.xbutton.time;
    break;
  case MotionNotify:
    in.mX = event.xmotion.x + (inEntry ? mEntryX : 0);
    in.mY = event.xmotion.y + (inEntry ? mEntryY : 0);
    in.mState = event.xmotion.state;
    // Only the latest of a run of moves matters.
    if (!mInbox.empty() && mInbox.back().mKind == InputEvent::kMotion && mInbox.back().mState == in.mState)
    {
      mInbox.back() = in;
      return;
    }
    break;
  case LeaveNotify:
    if (inEntry) return;
    in.mKind = InputEvent::kLeave;
    break;
  case KeyPress:
  {
    in.mKind = InputEvent::kKey;
    char text[8] = {};
    KeySym sym = 0;
    int n = XLookupString(const_cast<XKeyEvent*>(&event.xkey), text, sizeof(text), &sym, nullptr);
    in.mKeySym = sym;
    in.mChar = n == 1 ? text[0] : 0;
    in.mState = event.xkey.state;
    break;
  }
  default:
    return;
  }
  mInbox.push_back(in);
}

// ---- Our thread ----

bool IGraphicsLinux::ThreadWorkDue(bool idleFresh)
{
  if (!mWindow) return false;
  if (!mInbox.empty() && !idleFresh) return true;
  long long grace = idleFresh ? kNsPerSecond / FPS() / kTickGraceMsDivisor : 0;
  return SteadyNowNs() >= mNextTickNs + grace;
}

int IGraphicsLinux::ThreadTimeoutMs(bool idleFresh)
{
  if (!mWindow) return kClosedPollMs;
  if (!mInbox.empty() && !idleFresh) return 0;
  long long grace = idleFresh ? kNsPerSecond / FPS() / kTickGraceMsDivisor : 0;
  long long wait = mNextTickNs + grace - SteadyNowNs();
  if (wait <= 0) return 0;
  return static_cast<int>(std::min<long long>(wait / kNsPerMs + 1, kClosedPollMs));
}

void IGraphicsLinux::ThreadLoop()
{
  bool retrySoon = false;
  while (!mStop.load())
  {
    int timeout = kClosedPollMs;
    int xfd = -1;
    int chooserFd = -1;
    {
      std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
      timeout = retrySoon ? kLockRetryMs : ThreadTimeoutMs(IdleFresh());
      if (mChooserPid > 0) timeout = std::min(timeout, kChooserCheckMs);
      xfd = mConnection ? mConnection->Fd() : -1;
      chooserFd = mChooserFd;
      // Requests buffered by idle calls or dispatcher calls go out before we sleep, and events another
      // call already read from the socket into Xlib's queue are not left waiting for the next wake.
      if (mConnection)
      {
        XFlush(mConnection->GetDisplay());
        if (XEventsQueued(mConnection->GetDisplay(), QueuedAlready) > 0) timeout = 0;
      }
    }
    pollfd fds[3] = {{mWakePipe[0], POLLIN, 0}, {xfd, POLLIN, 0}, {chooserFd, POLLIN, 0}};
    int count = chooserFd >= 0 ? 3 : 2;
    if (poll(fds, static_cast<nfds_t>(count), timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN)
    {
      char buffer[64];
      while (read(mWakePipe[0], buffer, sizeof(buffer)) > 0)
      {
      }
    }
    if (mStop.load()) break;

    bool workDue = false;
    {
      std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
      ReadEvents();
      if (count == 3 && fds[2].revents && chooserFd == mChooserFd) ReadChooserOutput();
      // A dialog that exited while something else keeps its pipe open ends here all the same.
      if (mChooserPid > 0 && mChooserFd >= 0 && ChildProcess::TryReap(mChooserPid, nullptr))
        ReadChooserOutput(true);
      ReapChildren();
      workDue = ThreadWorkDue(IdleFresh());
    }
    retrySoon = false;
    if (workDue)
    {
      // Never wait for the instance mutex: a dispatcher call holding it may be waiting for us.
      InstanceMutex* instanceMutex = mPlug ? &mPlug->Mutex() : nullptr;
      if (!instanceMutex || instanceMutex->try_lock())
      {
        {
          std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
          if (!mStop.load()) DoWork();
        }
        if (instanceMutex) instanceMutex->unlock();
      }
      else
        retrySoon = true;
    }
    std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
    // Message boxes posted by other threads (the loader, a host call), outside the instance mutex.
    if (!mStop.load()) ShowPostedMessages();
    FlushScreen();
  }
}
