#include "engine/SlotInput.h"

#include "editor/BarLabel.h"
#include "editor/MySample.h"
#include "engine/Kestrune.h"
#include "framework/IGraphics.h"

#include <mutex>
#include <string>

namespace
{
constexpr const char* kRemovedName = "...";
} // namespace

void SlotInput::OnSampleViewMouseDown(MySample& view, int x, int y, const IMouseMod& mod)
{
  const int slot = view.Slot();
  // Copies taken under the mutex: a host thread may be restoring a state into the slot meanwhile, and
  // the load below rewrites the fields they come from.
  std::string path, previous, next;
  {
    std::lock_guard<std::recursive_mutex> lock(mPlug->Mutex());
    const SlotFile& file = view.File();
    path = file.Path();
    previous = file.PreviousPath();
    next = file.NextPath();
  }
  if (mod.R)
  {
    if (IGraphics* graphics = IGraphics::Of(mPlug)) graphics->SetClipboardText(path.c_str());
    if (BarLabel* bar = view.MessageBar()) bar->SetMessage(path.c_str());
    return;
  }
  using Route = CLS_KESTRUNE::LoadRoute;
  if (!path.empty() && view.CloseRect().Contains(x, y))
    mPlug->ClearSample(slot, kRemovedName);
  else if (!previous.empty() && view.PreviousRect().Contains(x, y))
    mPlug->LoadFile(slot, previous.c_str(), Route::kEditor);
  else if (!next.empty() && view.NextRect().Contains(x, y))
    mPlug->LoadFile(slot, next.c_str(), Route::kEditor);
  else if (view.GetRECT().Contains(x, y))
    mPlug->LoadFile(slot, "", Route::kEditor);
}

void SlotInput::OnSampleViewDrop(MySample& view, const char* path)
{
  if (path == nullptr || path[0] == '\0') return;
  mPlug->LoadFile(view.Slot(), path, CLS_KESTRUNE::LoadRoute::kEditor);
}
