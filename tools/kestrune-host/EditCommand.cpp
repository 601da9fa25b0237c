#include "tools/kestrune-host/EditCommand.h"

#include "tools/kestrune-host/CommandPlugin.h"
#include "tools/kestrune-host/EditWindow.h"
#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/PacedRender.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace khost
{

namespace
{
using Clock = std::chrono::steady_clock;

// The script of --script: a file read whole before anything runs, or standard input ("-") line by line.
std::unique_ptr<EditScript> LoadScript(const std::string& path, FILE* err, int* status)
{
  if (path.empty()) return std::make_unique<EditScript>(std::vector<EditAction>());
  if (path == "-") return EditScript::FromDescriptor(0);
  std::ifstream in(path);
  if (!in)
  {
    std::fprintf(err, "cannot open %s\n", path.c_str());
    *status = 1;
    return nullptr;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<EditAction> actions;
  std::string error;
  if (!EditScript::Parse(text.str(), &actions, &error))
  {
    std::fprintf(err, "%s: %s\n", path.c_str(), error.c_str());
    *status = 2;
    return nullptr;
  }
  return std::make_unique<EditScript>(std::move(actions));
}

// The window's title: the plug-in's file name, without its folder.
std::string Title(const std::string& plugin)
{
  const size_t sep = plugin.find_last_of("/\\");
  return "kestrune-host: " + (sep == std::string::npos ? plugin : plugin.substr(sep + 1));
}

// Faulty lines of a live script are skipped and said on the error stream.
void ReportSkipped(EditScript& script, FILE* err)
{
  for (std::string fault; script.NextError(&fault);)
    std::fprintf(err, "%s (skipped)\n", fault.c_str());
}

void PrintLine(FILE* out, const std::string& line)
{
  std::fprintf(out, "%s\n", line.c_str());
  std::fflush(out);
}

void PrintRenderStats(FILE* out, const PacedRender* render, const PlayStats& stats, const char* span)
{
  if (!render)
  {
    PrintLine(out, "render: no render thread (--play)");
    return;
  }
  std::string line = "render: " + stats.Describe(render->BlockFrames(), render->Rate(), span);
  if (!render->RealTime()) line += " (without a real-time priority)";
  PrintLine(out, line);
}

void PrintCensus(FILE* out, const HostCallCensus& census)
{
  for (const std::string& line : census.Describe())
    PrintLine(out, line);
}
} // namespace

int EditCommand::Run(const Options& commandOptions, FILE* out, FILE* err)
{
  // A render thread plays in small blocks unless --block says otherwise, as a DAW's audio thread does.
  Options options = commandOptions;
  if (options.playNote >= 0 && options.block <= 0) options.block = kDefaultPlayBlockFrames;
  int status = 0;
  std::unique_ptr<EditScript> script = LoadScript(options.script, err, &status);
  if (!script) return status;
  std::string error;
  std::unique_ptr<EditWindow> window = EditWindow::Make(&error);
  if (!window)
  {
    std::fprintf(err, "%s\n", error.c_str());
    return 1;
  }
  {
    CommandPlugin loaded;
    if (!loaded.Open(options, err)) return 1;
    HostedPlugin& plugin = loaded.Instance();
    plugin.Census().SetLoopThread();
    if (!plugin.HasFlag(effFlagsHasEditor))
    {
      std::fprintf(err, "%s: the plug-in has no editor\n", options.plugin.c_str());
      return 1;
    }
    if (!loaded.StartAndLoad(options.load, err)) return 1;

    // The size is asked before the editor opens, as hosts do to size their window.
    ERect* rect = nullptr;
    plugin.Dispatch(effEditGetRect, 0, 0, &rect);
    const int w = rect ? rect->right - rect->left : 0;
    const int h = rect ? rect->bottom - rect->top : 0;
    if (w <= 0 || h <= 0)
    {
      std::fprintf(err, "%s: the editor has no size\n", options.plugin.c_str());
      return 1;
    }
    const std::string title = Title(options.plugin);
    bool editorOpen = false;
    auto open = [&]
    {
      void* parent = window->Create(w, h, title);
      editorOpen = parent && plugin.Dispatch(effEditOpen, 0, 0, parent) != 0;
      PrintLine(out, editorOpen ? window->Describe() : "the editor did not open");
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
              if (hz > 0)
              {
                plugin.Census().NoteIdleThread();
                plugin.Dispatch(effEditIdle);
              }
              std::this_thread::sleep_for(std::chrono::milliseconds(hz > 0 ? 1000 / hz : 10));
            }
          });

    // The note plays from the moment the editor is open.
    std::unique_ptr<PacedRender> render;
    if (options.playNote >= 0)
    {
      render = std::make_unique<PacedRender>(plugin, options.playNote, options.playVelocity);
      render->Start();
    }

    // Watched parameters and their last values: a change is printed right after the event that made it.
    std::map<int, float> watched;
    auto checkWatched = [&]
    {
      for (auto& [idx, last] : watched)
      {
        const float now = plugin.GetParameter(idx);
        if (now == last) continue;
        last = now;
        std::string line = "param " + std::to_string(idx) + " changed: " + plugin.ParamDisplay(idx);
        EditWindow::Counts counts;
        if (window->GetCounts(&counts))
          line += " (editor tick " + std::to_string(counts.ticks) + ", last press at tick " +
                  std::to_string(counts.inputTick) + ")";
        PrintLine(out, line);
      }
    };

    const Clock::time_point end =
        options.seconds > 0
            ? Clock::now() + std::chrono::milliseconds(static_cast<long>(options.seconds * 1000))
            : Clock::time_point::max();
    Clock::time_point nextIdle = Clock::now();
    Clock::time_point nextAction = Clock::now();
    bool running = editorOpen;
    while (running && Clock::now() < end)
    {
      if (!window->Pump(checkWatched)) running = false;
      const Clock::time_point now = Clock::now();
      if (!options.idleThread && idleHz.load() > 0 && now >= nextIdle)
      {
        plugin.Census().NoteIdleThread();
        plugin.Dispatch(effEditIdle);
        nextIdle = now + std::chrono::milliseconds(1000 / idleHz.load());
      }
      ReportSkipped(*script, err);
      EditAction a{EditAction::kQuit};
      while (running && Clock::now() >= nextAction && script->Next(&a))
      {
        switch (a.kind)
        {
        case EditAction::kWait:
          nextAction = Clock::now() + std::chrono::milliseconds(a.index);
          break;
        case EditAction::kParam:
          plugin.SetParameter(a.index, static_cast<float>(a.value));
          break;
        case EditAction::kPrint:
          PrintLine(out, "param " + std::to_string(a.index) + ": " + plugin.ParamDisplay(a.index));
          break;
        case EditAction::kWatch:
          watched[a.index] = plugin.GetParameter(a.index);
          PrintLine(out, "watching param " + std::to_string(a.index) + ": " + plugin.ParamDisplay(a.index));
          break;
        case EditAction::kSample:
        {
          std::string path;
          if (plugin.GetExtraParamText(a.index, &path))
            PrintLine(out, "sample " + std::to_string(a.index) + ": " + path);
          else
            PrintLine(out, "sample " + std::to_string(a.index) + " is not answered");
          break;
        }
        case EditAction::kTicks:
        {
          EditWindow::Counts counts;
          if (window->GetCounts(&counts))
            PrintLine(out, "editor ticks " + std::to_string(counts.ticks) + ", presses " +
                               std::to_string(counts.inputs) + ", last press at tick " +
                               std::to_string(counts.inputTick));
          else
            PrintLine(out, "editor ticks are not seen by this window layer");
          break;
        }
        case EditAction::kStats:
          PrintRenderStats(out, render.get(), render ? render->Window() : PlayStats(),
                           "since the last stats");
          break;
        case EditAction::kCalls:
          PrintCensus(out, plugin.Census());
          break;
        case EditAction::kClose:
          plugin.Dispatch(effEditClose);
          editorOpen = false;
          break;
        case EditAction::kOpen:
          open();
          break;
        case EditAction::kDestroy:
          window->Destroy();
          PrintLine(out, "window destroyed under the editor");
          break;
        case EditAction::kIdle:
          idleHz.store(a.index);
          break;
        case EditAction::kQuit:
          running = false;
          break;
        }
        checkWatched();
      }
      if (running) window->Wait(kEditLoopSleepMs);
    }
    ReportSkipped(*script, err);
    stopIdle.store(true);
    if (idler.joinable()) idler.join();
    if (render)
    {
      render->Stop();
      PrintRenderStats(out, render.get(), render->Total(), "in all");
    }
    PrintCensus(out, plugin.Census());
    plugin.Dispatch(effEditClose);
    window->Destroy();
  }
  window.reset();
  PrintLine(out, "editor closed");
  return status;
}
} // namespace khost
