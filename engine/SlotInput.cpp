#include "engine/SlotInput.h"

#include "editor/BarLabel.h"
#include "editor/MySample.h"
#include "engine/Kestrune.h"
#include "framework/IGraphics.h"

#include <mutex>
#include <string>

void SlotInput::OnSampleViewMouseDown(MySample& view, int x, int y, const IMouseMod& mod)
{
  const int slot = view.Slot();
  // Copies taken under the mutex: the loader thread may be publishing into the slot meanwhile.
  std::string path;
  bool hasPrevious = false, hasNext = false;
  {
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    const SlotFile& file = view.File();
    path = file.Path();
    hasPrevious = file.PreviousPath()[0] != '\0';
    hasNext = file.NextPath()[0] != '\0';
  }
  if (mod.R)
  {
    if (IGraphics* graphics = IGraphics::Of(mPlug)) graphics->SetClipboardText(path.c_str());
    if (BarLabel* bar = view.MessageBar()) bar->SetMessage(path.c_str());
    return;
  }
  LoadJob job;
  job.slot = slot;
  if (!path.empty() && view.CloseRect().Contains(x, y))
    job.kind = LoadJob::Kind::kClear;
  else if (hasPrevious && view.PreviousRect().Contains(x, y))
    job.kind = LoadJob::Kind::kPrevious;
  else if (hasNext && view.NextRect().Contains(x, y))
    job.kind = LoadJob::Kind::kNext;
  else if (view.GetRECT().Contains(x, y))
  {
    // The dialog runs here, on the editor's thread. A file chosen now is loaded; nothing chosen
    // (cancelled, or a dialog that delivers its answer later as a drop) changes nothing.
    IGraphics* graphics = IGraphics::Of(mPlug);
    if (graphics == nullptr) return;
    graphics->ChooseFile(&job.path, IGraphics::kFileOpen, nullptr, kSampleFileExtensions);
    if (job.path.empty()) return;
  }
  else
    return;
  mPlug->RequestLoad(std::move(job));
}

void SlotInput::OnSampleViewDrop(MySample& view, const char* path)
{
  if (path == nullptr || path[0] == '\0') return;
  LoadJob job;
  job.slot = view.Slot();
  job.path = path;
  mPlug->RequestLoad(std::move(job));
}
