#include "engine/SlotInput.h"

#include "editor/BarLabel.h"
#include "editor/MySample.h"
#include "engine/Kestrune.h"
#include "framework/IGraphics.h"

#include <string>

namespace
{
constexpr const char* kRemovedName = "...";
} // namespace

void SlotInput::OnSampleViewMouseDown(MySample& view, int x, int y, const IMouseMod& mod)
{
  const int slot = view.Slot();
  const SlotFile& file = view.File();
  if (mod.R)
  {
    if (IGraphics* graphics = IGraphics::Of(mPlug)) graphics->SetClipboardText(file.Path());
    if (BarLabel* bar = view.MessageBar()) bar->SetMessage(file.Path());
    return;
  }
  using Route = CLS_KESTRUNE::LoadRoute;
  // Copies: the load rewrites the fields these come from.
  if (file.Path()[0] != '\0' && view.CloseRect().Contains(x, y))
    mPlug->ClearSample(slot, kRemovedName);
  else if (file.PreviousPath()[0] != '\0' && view.PreviousRect().Contains(x, y))
    mPlug->LoadFile(slot, std::string(file.PreviousPath()).c_str(), Route::kEditor);
  else if (file.NextPath()[0] != '\0' && view.NextRect().Contains(x, y))
    mPlug->LoadFile(slot, std::string(file.NextPath()).c_str(), Route::kEditor);
  else if (view.GetRECT().Contains(x, y))
    mPlug->LoadFile(slot, "", Route::kEditor);
}

void SlotInput::OnSampleViewDrop(MySample& view, const char* path)
{
  if (path == nullptr || path[0] == '\0') return;
  mPlug->LoadFile(view.Slot(), path, CLS_KESTRUNE::LoadRoute::kEditor);
}
