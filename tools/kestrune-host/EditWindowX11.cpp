#ifndef _WIN32
#include "tools/kestrune-host/EditWindowX11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace khost
{

namespace
{
int gHostXErrors = 0;
// The host's own X error handler: counts, never exits (the editor may leave windows we then destroy).
int CountHostError(Display*, XErrorEvent*)
{
  ++gHostXErrors;
  return 0;
}
} // namespace

std::unique_ptr<EditWindow> EditWindow::Make(std::string* error)
{
  auto layer = std::make_unique<EditWindowX11>();
  if (!layer->Connect(error)) return nullptr;
  return layer;
}

bool EditWindowX11::Connect(std::string* error)
{
  mDisplay = XOpenDisplay(nullptr);
  if (!mDisplay)
  {
    *error = "edit needs an X display (DISPLAY is not set or the server does not answer)";
    return false;
  }
  XSetErrorHandler(&CountHostError);
  mDeleteAtom = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
  return true;
}

EditWindowX11::~EditWindowX11()
{
  if (!mDisplay) return;
  Destroy();
  XCloseDisplay(mDisplay);
}

void* EditWindowX11::Create(int w, int h, const std::string& title)
{
  if (!mWindow)
  {
    int screen = DefaultScreen(mDisplay);
    Window window = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, static_cast<unsigned>(w),
                                        static_cast<unsigned>(h), 0, BlackPixel(mDisplay, screen),
                                        BlackPixel(mDisplay, screen));
    XStoreName(mDisplay, window, title.c_str());
    Atom deleteWindow = mDeleteAtom;
    XSetWMProtocols(mDisplay, window, &deleteWindow, 1);
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = w;
    hints.min_height = hints.max_height = h;
    XSetWMNormalHints(mDisplay, window, &hints);
    XSelectInput(mDisplay, window, StructureNotifyMask);
    XMapWindow(mDisplay, window);
    XSync(mDisplay, False);
    mWindow = window;
    mW = w;
    mH = h;
  }
  return reinterpret_cast<void*>(mWindow);
}

std::string EditWindowX11::Describe()
{
  XSync(mDisplay, False);
  // The editor's own window is the first child of ours.
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  Window first = 0;
  if (mWindow && XQueryTree(mDisplay, mWindow, &root, &parent, &children, &count) && count > 0)
    first = children[0];
  if (children) XFree(children);
  char line[128];
  std::snprintf(line, sizeof(line), "editor window 0x%lx in 0x%lx (%dx%d)", first, mWindow, mW, mH);
  return line;
}

bool EditWindowX11::Pump(const std::function<void()>& afterEach)
{
  bool open = true;
  while (XPending(mDisplay) > 0)
  {
    XEvent event;
    XNextEvent(mDisplay, &event);
    if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == mDeleteAtom)
      open = false;
    afterEach();
  }
  afterEach();
  return open;
}

void EditWindowX11::Wait(int ms)
{
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void EditWindowX11::Destroy()
{
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
  mWindow = 0;
}
} // namespace khost
#endif
