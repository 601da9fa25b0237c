// Lifecycle, our thread, X input and output, idle and the timer tick of the Linux editor.

#include "platform/linux/IGraphicsLinux.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IControl.h"
#include "framework/IEffectBase.h"
#include "platform/linux/ChildProcess.h"
#include "platform/linux/X11Clipboard.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11DropTarget.h"
#include "platform/linux/X11ErrorTrap.h"
#include "platform/linux/X11MessageBox.h"
#include "platform/linux/X11ScreenImage.h"
#include "platform/linux/X11TextEntry.h"
#include "platform/linux/X11Tunables.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace
{
constexpr long long kNsPerMs = 1000000;
constexpr long long kNsPerSecond = 1000000000;

long long NowNs()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
} // namespace

IGraphicsLinux::IGraphicsLinux(IEffectBase* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps)
{
}

IGraphicsLinux::~IGraphicsLinux()
{
  Shutdown();
}

void IGraphicsLinux::AllowSharedMemory(bool allow)
{
  X11ScreenImage::AllowSharedMemory(allow);
}

// ---- Connection and thread ----

bool IGraphicsLinux::EnsureConnection()
{
  if (mConnection) return true;
  auto connection = std::make_unique<X11Connection>();
  if (!connection->Open()) return false;
  if (pipe2(mWakePipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
  mConnection = std::move(connection);
  mClipboard = std::make_unique<X11Clipboard>(*mConnection);
  mDropTarget = std::make_unique<X11DropTarget>(*mConnection);
  mStop.store(false);
  mThread = std::thread([this] { ThreadLoop(); });
  return true;
}

void IGraphicsLinux::StopThread()
{
  if (!mThread.joinable()) return;
  mStop.store(true);
  Wake();
  mThread.join();
}

void IGraphicsLinux::Shutdown()
{
  // The thread never waits for the instance mutex, so joining it is safe whoever holds that.
  StopThread();
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (IsOpen()) CloseWindowLocked(false);
  mMessageBoxes.clear();
  mClipboard.reset();
  mDropTarget.reset();
  mConnection.reset();
  for (int& fd : mWakePipe)
    if (fd >= 0)
    {
      close(fd);
      fd = -1;
    }
  if (mChooserFd >= 0) close(mChooserFd);
  mChooserFd = -1;
}

void IGraphicsLinux::Wake()
{
  if (mWakePipe[1] < 0) return;
  char byte = 1;
  ssize_t written = write(mWakePipe[1], &byte, 1);
  (void)written; // a full pipe already wakes the thread
}

bool IGraphicsLinux::IdleFresh() const
{
  long long last = mLastIdleNs.load(std::memory_order_relaxed);
  return last != 0 && NowNs() - last < kIdleFreshMs * kNsPerMs;
}

// ---- Open and close ----

void* IGraphicsLinux::Open(void* parent)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (IsOpen()) CloseWindowLocked(false);
  Window parentWindow = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));
  if (!parentWindow || !EnsureConnection()) return nullptr;
  Display* display = mConnection->GetDisplay();
  X11ErrorTrap::EnsureInstalled();
  mConnection->SyncAndCountErrors();
  if (!mConnection->VisualMatchesBackBuffer()) return nullptr;

  int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.border_pixel = 0;
  attributes.colormap = DefaultColormap(display, screen);
  attributes.bit_gravity = NorthWestGravity;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | LeaveWindowMask | StructureNotifyMask;
  Window window = XCreateWindow(
      display, parentWindow, 0, 0, static_cast<unsigned>(Width()), static_cast<unsigned>(Height()), 0,
      DefaultDepth(display, screen), InputOutput, DefaultVisual(display, screen),
      CWBackPixel | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask, &attributes);
  XStoreName(display, window, "Kestrune");
  XMapWindow(display, window);
  // A parent that does not exist (on our connection) fails here, and only our record sees it.
  if (mConnection->SyncAndCountErrors() > 0)
  {
    XDestroyWindow(display, window);
    mConnection->SyncAndCountErrors();
    return nullptr;
  }
  mWindow = window;
  mWindowAlive = true;
  mScreen = std::make_unique<X11ScreenImage>(display, window, Width(), Height());
  mDropTarget->Attach(window, AcceptsDrops());
  XDefineCursor(display, window, mConnection->FontCursor(XC_left_ptr));
  mCursorId = kCursorArrow;
  mPlatformView = reinterpret_cast<void*>(static_cast<uintptr_t>(window));
  mInbox.clear();
  mLastClickTime = 0;

  // The first frame is complete before the window is first shown.
  PrepDraw();
  IRECT all(0, 0, Width(), Height());
  Draw(&all);
  mNextTickNs = NowNs() + kNsPerSecond / FPS();
  RefreshTooltips();
  XFlush(display);
  Wake();
  return mPlatformView;
}

void IGraphicsLinux::Close()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (!IsOpen()) return;
  CloseWindowLocked(false);
}

void IGraphicsLinux::CloseWindowLocked(bool windowGone)
{
  if (mEntry)
  {
    if (windowGone) mEntry->ForgetWindow();
    IControl* control = mEntryControl;
    mEntry.reset();
    mEntryControl = nullptr;
    mEntryParam = nullptr;
    if (control) control->CancelUserInput();
  }
  if (mPlug) mPlug->EndDelayedInformHostOfParamChange();
  CancelParamChangeTimer();
  ClearMouse();
  if (mDropTarget) mDropTarget->Detach();
  Display* display = mConnection ? mConnection->GetDisplay() : nullptr;
  mScreen.reset();
  if (display && mWindowAlive)
  {
    XDestroyWindow(display, mWindow);
    XFlush(display);
  }
  mWindow = 0;
  mWindowAlive = false;
  mPlatformView = nullptr;
  mInbox.clear();
  mPendingPaint = IRECT();
}

unsigned long IGraphicsLinux::WindowId()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  return mWindow;
}

bool IGraphicsLinux::SharedMemoryInUse()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  return mScreen && mScreen->UsesSharedMemory();
}

// ---- Painting ----

bool IGraphicsLinux::PaintScreen(IRECT* area)
{
  if (!area) return true;
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  // Closed, the context draws into its back buffer only, as the window-less one does.
  if (mWindow) mPendingPaint = mPendingPaint.Union(*area);
  return true;
}

void IGraphicsLinux::FlushScreen()
{
  if (!mConnection) return;
  if (mWindow && mWindowAlive && mScreen && mDrawBitmap && !mPendingPaint.Empty())
  {
    IRECT area = mPendingPaint;
    mPendingPaint = IRECT();
    if (mScreen->Put(*mDrawBitmap, area)) mPaintCount.fetch_add(1);
  }
  XFlush(mConnection->GetDisplay());
}

void IGraphicsLinux::Resize(int w, int h)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  IGraphics::Resize(w, h);
  if (mDrawBitmap) mDrawBitmap->resize(w, h);
  if (!mWindow || !mWindowAlive) return;
  Display* display = mConnection->GetDisplay();
  XResizeWindow(display, mWindow, static_cast<unsigned>(w), static_cast<unsigned>(h));
  mScreen = std::make_unique<X11ScreenImage>(display, mWindow, w, h);
  mPendingPaint = IRECT(0, 0, w, h);
}

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

// ---- The work: input, tick, draw (instance mutex and editor mutex held) ----

void IGraphicsLinux::DoWork()
{
  // A host that runs its idle call from inside a callback we made (automation, say) must not start a
  // second pass over the same events.
  if (mInWork) return;
  mInWork = true;
  DoWorkPass();
  mInWork = false;
}

void IGraphicsLinux::DoWorkPass()
{
  while (!mInbox.empty())
  {
    InputEvent event = std::move(mInbox.front());
    mInbox.pop_front();
    HandleInput(event);
    if (!IsOpen()) return;
  }
  long long now = NowNs();
  if (!IsOpen() || now < mNextTickNs) return;
  const long long period = kNsPerSecond / FPS();
  mNextTickNs += period;
  if (mNextTickNs <= now) mNextTickNs = now + period; // fell behind: no burst of ticks
  Tick();
}

void IGraphicsLinux::Tick()
{
  mTickCount.fetch_add(1);
  if (mInIdle) mIdleTickCount.fetch_add(1);
  FinishEntry();
  OnTimerTick();
  IRECT area = TakeInvalidRect();
  if (!area.Empty()) Draw(&area);
}

void IGraphicsLinux::EditIdle()
{
  mLastIdleNs.store(NowNs(), std::memory_order_relaxed);
  std::unique_lock<std::recursive_mutex> lock(mEditorMutex, std::try_to_lock);
  // Our thread is talking to the server: it does the work this time.
  if (!lock.owns_lock() || !IsOpen()) return;
  mInIdle = true;
  DoWork();
  mInIdle = false;
  // Our thread copies what was drawn, so this call never waits on the server.
  if (!mPendingPaint.Empty()) Wake();
}

// ---- Our thread ----

bool IGraphicsLinux::ThreadWorkDue(bool idleFresh)
{
  if (!mWindow) return false;
  if (!mInbox.empty() && !idleFresh) return true;
  long long grace = idleFresh ? kNsPerSecond / FPS() / kTickGraceMsDivisor : 0;
  return NowNs() >= mNextTickNs + grace;
}

int IGraphicsLinux::ThreadTimeoutMs(bool idleFresh)
{
  if (!mWindow) return kClosedPollMs;
  if (!mInbox.empty() && !idleFresh) return 0;
  long long grace = idleFresh ? kNsPerSecond / FPS() / kTickGraceMsDivisor : 0;
  long long wait = mNextTickNs + grace - NowNs();
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
      ReapChildren();
      workDue = ThreadWorkDue(IdleFresh());
    }
    retrySoon = false;
    if (workDue)
    {
      // Never wait for the instance mutex: a dispatcher call holding it may be waiting for us.
      std::recursive_mutex* instanceMutex = mPlug ? &mPlug->Mutex() : nullptr;
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
    FlushScreen();
  }
}
