#include "X11TestSupport.h"

#include "platform/linux/ChildProcess.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace x11_test
{
namespace
{
int gHostErrors = 0;
int CountingHandler(Display*, XErrorEvent*)
{
  ++gHostErrors;
  return 0;
}
} // namespace

void SleepMs(int ms)
{
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition())
  {
    if (std::chrono::steady_clock::now() > end) return condition();
    SleepMs(3);
  }
  return true;
}

int RunTool(const std::vector<std::string>& argv, std::string* output, int timeoutMs)
{
  if (argv.empty()) return -1;
  std::vector<std::string> args = argv;
  // Tests may narrow PATH for the plug-in's helpers; the X tools are still found where Debian puts them.
  args[0] = ChildProcess::FindInPath(argv[0].c_str());
  for (const char* folder : {"/usr/local/bin/", "/usr/bin/", "/bin/"})
    if (args[0].empty() && access((folder + argv[0]).c_str(), X_OK) == 0) args[0] = folder + argv[0];
  if (args[0].empty()) return -1;
  int fd = -1;
  pid_t pid = ChildProcess::Spawn(args, &fd);
  if (pid < 0) return -1;
  std::string text;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;)
  {
    pollfd p{fd, POLLIN, 0};
    int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
            .count());
    if (left <= 0 || poll(&p, 1, left) <= 0) break;
    char buffer[1024];
    ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  int code = -1;
  if (!WaitFor([&] { return ChildProcess::TryReap(pid, &code); }, 2000))
  {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  if (output) *output = text;
  return code;
}

// ---- Xvfb ----

bool XvfbServer::Installed()
{
  return !ChildProcess::FindInPath("Xvfb").empty();
}

XvfbServer::~XvfbServer()
{
  Stop();
}

bool XvfbServer::Start(std::string* reason)
{
  std::string program = ChildProcess::FindInPath("Xvfb");
  if (program.empty())
  {
    *reason = "Xvfb is not installed (scripts/deps.sh installs it)";
    return false;
  }
  // Xvfb picks a free display number and writes it to the descriptor -displayfd names.
  int fd = -1;
  pid_t pid = ChildProcess::Spawn(
      {program, "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset"}, &fd);
  if (pid < 0)
  {
    *reason = "Xvfb did not start";
    return false;
  }
  mPid = pid;
  std::string number;
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end)
  {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[32];
    ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  size_t newline = number.find('\n');
  if (newline == std::string::npos || newline == 0)
  {
    *reason = "Xvfb did not report a display";
    Stop();
    return false;
  }
  mDisplay = ":" + number.substr(0, newline);
  setenv("DISPLAY", mDisplay.c_str(), 1);
  return true;
}

void XvfbServer::Stop()
{
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
  mPid = -1;
}

// ---- The host's connection ----

HostDisplay::HostDisplay() : mDisplay(XOpenDisplay(nullptr)) {}

HostDisplay::~HostDisplay()
{
  if (mDisplay) XCloseDisplay(mDisplay);
}

unsigned long HostDisplay::CreateTopLevel(int x, int y, int w, int h)
{
  int screen = DefaultScreen(mDisplay);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = WhitePixel(mDisplay, screen);
  attributes.event_mask = StructureNotifyMask;
  Window window = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, static_cast<unsigned>(w),
                                static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel | CWEventMask, &attributes);
  XMapWindow(mDisplay, window);
  XSync(mDisplay, False);
  WaitFor(
      [&]
      {
        XWindowAttributes a{};
        return XGetWindowAttributes(mDisplay, window, &a) && a.map_state == IsViewable;
      },
      2000);
  return window;
}

void HostDisplay::DestroyWindow(unsigned long window)
{
  XDestroyWindow(mDisplay, window);
  XSync(mDisplay, False);
}

std::vector<uint32_t> HostDisplay::ReadPixels(unsigned long window, int x, int y, int w, int h)
{
  std::vector<uint32_t> pixels;
  XErrorHandler previous = XSetErrorHandler(&CountingHandler);
  XImage* image = XGetImage(mDisplay, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                            AllPlanes, ZPixmap);
  XSync(mDisplay, False);
  XSetErrorHandler(previous);
  if (!image) return pixels;
  pixels.reserve(static_cast<size_t>(w) * h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      pixels.push_back(static_cast<uint32_t>(XGetPixel(image, i, j)) & 0xffffffu);
  XDestroyImage(image);
  return pixels;
}

unsigned long HostDisplay::FocusWindow()
{
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(mDisplay, &focus, &revert);
  return focus;
}

int HostDisplay::TopLevelCount()
{
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &count);
  if (children) XFree(children);
  return static_cast<int>(count);
}

unsigned long HostDisplay::FirstChild(unsigned long window)
{
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  unsigned long first = 0;
  if (XQueryTree(mDisplay, window, &root, &parent, &children, &count) && count > 0) first = children[0];
  if (children) XFree(children);
  return first;
}

bool HostDisplay::WindowExists(unsigned long window)
{
  XErrorHandler previous = XSetErrorHandler(&CountingHandler);
  XWindowAttributes a{};
  Status ok = XGetWindowAttributes(mDisplay, window, &a);
  XSync(mDisplay, False);
  XSetErrorHandler(previous);
  return ok != 0;
}

bool HostDisplay::HasXdndAware(unsigned long window)
{
  Atom aware = XInternAtom(mDisplay, "XdndAware", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = XGetWindowProperty(mDisplay, window, aware, 0, 1, False, XA_ATOM, &type, &format, &count,
                                  &after, &data) == Success &&
               count == 1 && data;
  if (data) XFree(data);
  return found;
}

void HostDisplay::InstallHostHandler()
{
  XSetErrorHandler(&CountingHandler);
}

bool HostDisplay::HostHandlerIsCurrent()
{
  XErrorHandler current = XSetErrorHandler(nullptr);
  XSetErrorHandler(current);
  return current == &CountingHandler;
}

int HostDisplay::CauseHostError()
{
  gHostErrors = 0;
  // No window has this id: the server answers BadWindow to the host's connection.
  XMapWindow(mDisplay, 0x3fffff1);
  XSync(mDisplay, False);
  return gHostErrors;
}

void HostDisplay::ToRoot(unsigned long window, int x, int y, int* rootX, int* rootY)
{
  Window child = 0;
  XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, rootX, rootY, &child);
}

void HostDisplay::Sync()
{
  XSync(mDisplay, False);
}
} // namespace x11_test
