#include "tools/kestrune-host/EditCommand.h"

#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/HostedPlugin.h"
#include "tools/kestrune-host/PluginLibrary.h"
#include "tools/kestrune-host/PluginSetup.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

namespace khost
{

namespace
{
using Clock = std::chrono::steady_clock;

int gHostXErrors = 0;
// The host's own X error handler: counts, never exits (the editor may leave windows we then destroy).
int CountHostError(Display*, XErrorEvent*)
{
  ++gHostXErrors;
  return 0;
}

// The top-level window the editor lives in, with the close button wired to WM_DELETE_WINDOW.
Window MakeWindow(Display* display, int w, int h, const std::string& title)
{
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(w),
                                      static_cast<unsigned>(h), 0, BlackPixel(display, screen),
                                      BlackPixel(display, screen));
  XStoreName(display, window, title.c_str());
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XSizeHints hints{};
  hints.flags = PMinSize | PMaxSize;
  hints.min_width = hints.max_width = w;
  hints.min_height = hints.max_height = h;
  XSetWMNormalHints(display, window, &hints);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

// The first child of window: the editor's own window.
Window EditorChild(Display* display, Window window)
{
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  Window first = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) && count > 0) first = children[0];
  if (children) XFree(children);
  return first;
}
} // namespace

bool EditCommand::ParseScript(const std::string& text, std::vector<EditAction>* actions, std::string* error)
{
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);)
  {
    ++number;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;)
      w.push_back(word);
    if (w.empty()) continue;
    auto fail = [&](const char* what)
    {
      *error = "script line " + std::to_string(number) + ": " + what;
      return false;
    };
    EditAction a{EditAction::kQuit};
    const std::string& verb = w[0];
    if (verb == "wait" || verb == "idle" || verb == "print")
    {
      a.kind = verb == "wait" ? EditAction::kWait : verb == "idle" ? EditAction::kIdle : EditAction::kPrint;
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
    else if (verb == "close" || verb == "open" || verb == "destroy" || verb == "quit")
    {
      a.kind = verb == "close"     ? EditAction::kClose
               : verb == "open"    ? EditAction::kOpen
               : verb == "destroy" ? EditAction::kDestroy
                                   : EditAction::kQuit;
      if (w.size() != 1) return fail("takes no value");
    }
    else
      return fail("unknown action (wait, param, print, close, open, destroy, idle, quit)");
    actions->push_back(a);
  }
  return true;
}

int EditCommand::Run(const Options& options, FILE* out, FILE* err)
{
  std::string error;
  std::vector<EditAction> script;
  if (!options.script.empty())
  {
    std::ifstream in(options.script);
    if (!in)
    {
      std::fprintf(err, "cannot open %s\n", options.script.c_str());
      return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (!ParseScript(text.str(), &script, &error))
    {
      std::fprintf(err, "%s: %s\n", options.script.c_str(), error.c_str());
      return 2;
    }
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display)
  {
    std::fputs("edit needs an X display (DISPLAY is not set or the server does not answer)\n", err);
    return 1;
  }
  XSetErrorHandler(&CountHostError);
  auto library = PluginLibrary::Open(options.plugin, &error);
  if (!library)
  {
    std::fprintf(err, "%s\n", error.c_str());
    XCloseDisplay(display);
    return 1;
  }
  const double rate = options.rate > 0 ? options.rate : kDefaultSampleRateHz;
  const int block = options.block > 0 ? options.block : kDefaultBlockFrames;
  int status = 0;
  {
    HostedPlugin plugin(*library, rate, block);
    if (!plugin.Valid() || !plugin.HasFlag(effFlagsHasEditor))
    {
      std::fprintf(err, "%s: %s\n", options.plugin.c_str(),
                   plugin.Valid() ? "the plug-in has no editor" : "the entry point made no instance");
      XCloseDisplay(display);
      return 1;
    }
    plugin.Start(rate, block);
    if (!PluginSetup::Apply(plugin, options.load, &error))
    {
      std::fprintf(err, "%s\n", error.c_str());
      XCloseDisplay(display);
      return 1;
    }

    // The size is asked before the editor opens, as hosts do to size their window.
    ERect* rect = nullptr;
    plugin.Dispatch(effEditGetRect, 0, 0, &rect);
    const int w = rect ? rect->right - rect->left : 0;
    const int h = rect ? rect->bottom - rect->top : 0;
    if (w <= 0 || h <= 0)
    {
      std::fprintf(err, "%s: the editor has no size\n", options.plugin.c_str());
      XCloseDisplay(display);
      return 1;
    }
    const std::string title = "kestrune-host: " + options.plugin;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Window window = 0;
    bool editorOpen = false;
    auto open = [&]
    {
      if (!window) window = MakeWindow(display, w, h, title);
      editorOpen = plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window)) != 0;
      XSync(display, False);
      if (editorOpen)
        std::fprintf(out, "editor window 0x%lx in 0x%lx (%dx%d)\n", EditorChild(display, window), window, w,
                     h);
      else
        std::fprintf(out, "the editor did not open\n");
      std::fflush(out);
    };
    open();
    if (!editorOpen) status = 1;

    // Idle calls, from this thread or from a second one.
    std::atomic<int> idleHz{options.idleHz};
    std::atomic<bool> stopIdle{false};
    std::thread idler;
    if (options.idleThread)
      idler = std::thread(
          [&]
          {
            while (!stopIdle.load())
            {
              const int hz = idleHz.load();
              if (hz > 0) plugin.Dispatch(effEditIdle);
              std::this_thread::sleep_for(std::chrono::milliseconds(hz > 0 ? 1000 / hz : 10));
            }
          });

    const Clock::time_point end =
        options.seconds > 0
            ? Clock::now() + std::chrono::milliseconds(static_cast<long>(options.seconds * 1000))
            : Clock::time_point::max();
    Clock::time_point nextIdle = Clock::now();
    Clock::time_point nextAction = Clock::now();
    size_t step = 0;
    bool running = editorOpen;
    while (running && Clock::now() < end)
    {
      while (XPending(display) > 0)
      {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
          running = false;
      }
      const Clock::time_point now = Clock::now();
      if (!options.idleThread && idleHz.load() > 0 && now >= nextIdle)
      {
        plugin.Dispatch(effEditIdle);
        nextIdle = now + std::chrono::milliseconds(1000 / idleHz.load());
      }
      while (running && step < script.size() && Clock::now() >= nextAction)
      {
        const EditAction& a = script[step++];
        switch (a.kind)
        {
        case EditAction::kWait:
          nextAction = Clock::now() + std::chrono::milliseconds(a.index);
          break;
        case EditAction::kParam:
          plugin.SetParameter(a.index, static_cast<float>(a.value));
          break;
        case EditAction::kPrint:
          std::fprintf(out, "param %d: %s\n", a.index, plugin.ParamDisplay(a.index).c_str());
          std::fflush(out);
          break;
        case EditAction::kClose:
          plugin.Dispatch(effEditClose);
          editorOpen = false;
          break;
        case EditAction::kOpen:
          open();
          break;
        case EditAction::kDestroy:
          if (window) XDestroyWindow(display, window);
          XSync(display, False);
          window = 0;
          std::fputs("window destroyed under the editor\n", out);
          std::fflush(out);
          break;
        case EditAction::kIdle:
          idleHz.store(a.index);
          break;
        case EditAction::kQuit:
          running = false;
          break;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(kEditLoopSleepMs));
    }
    stopIdle.store(true);
    if (idler.joinable()) idler.join();
    plugin.Dispatch(effEditClose);
    if (window) XDestroyWindow(display, window);
    XSync(display, False);
  }
  XCloseDisplay(display);
  std::fprintf(out, "editor closed\n");
  return status;
}
} // namespace khost
