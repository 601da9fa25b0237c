// Lifecycle, painting, idle and the timer tick of the Linux editor.

#include "platform/linux/IGraphicsLinux.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IControl.h"
#include "framework/IEffectBase.h"
#include "platform/linux/DisplayScale.h"
#include "platform/linux/SteadyClock.h"
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
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

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
  return last != 0 && SteadyNowNs() - last < kIdleFreshMs * kNsPerMs;
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
      display, parentWindow, 0, 0, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()),
      0, DefaultDepth(display, screen), InputOutput, DefaultVisual(display, screen),
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
  mScreen = std::make_unique<X11ScreenImage>(display, window, PixelWidth(), PixelHeight());
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
  mNextTickNs = SteadyNowNs() + kNsPerSecond / FPS();
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
  DropPostedMessages();
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
    IRECT area = ToPixels(mPendingPaint);
    mPendingPaint = IRECT();
    if (mScreen->Put(*mDrawBitmap, area)) mPaintCount.fetch_add(1);
  }
  XFlush(mConnection->GetDisplay());
}

void IGraphicsLinux::Resize(int w, int h)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  IGraphics::Resize(w, h);
  OnScaleChanged();
}

void IGraphicsLinux::OnScaleChanged()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (mDrawBitmap) mDrawBitmap->resize(PixelWidth(), PixelHeight());
  if (!mWindow || !mWindowAlive) return;
  // An open entry field would stand at its old place and size: it ends as a click elsewhere would.
  if (mEntry) mEntry->Model().Commit();
  Display* display = mConnection->GetDisplay();
  XResizeWindow(display, mWindow, static_cast<unsigned>(PixelWidth()), static_cast<unsigned>(PixelHeight()));
  mScreen = std::make_unique<X11ScreenImage>(display, mWindow, PixelWidth(), PixelHeight());
  mPendingPaint = IRECT(0, 0, Width(), Height());
  XFlush(display);
  Wake();
}

int IGraphicsLinux::DisplayScale()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  const char* resources = nullptr;
  if (EnsureConnection()) resources = XResourceManagerString(mConnection->GetDisplay());
  return DisplayScaleFrom(resources, std::getenv("GDK_SCALE"), std::getenv("QT_SCALE_FACTOR"));
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
  long long now = SteadyNowNs();
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
  mLastIdleNs.store(SteadyNowNs(), std::memory_order_relaxed);
  std::unique_lock<std::recursive_mutex> lock(mEditorMutex, std::try_to_lock);
  // Our thread is talking to the server: it does the work this time.
  if (!lock.owns_lock() || !IsOpen()) return;
  mInIdle = true;
  DoWork();
  mInIdle = false;
  // Our thread copies what was drawn, so this call never waits on the server.
  if (!mPendingPaint.Empty()) Wake();
}
