// An SFZ instrument reaching the sampler: the reader runs once per slot, 0 to 4, with the same file, and
// the instance carries out what each run decided (load the region's sample and set the slot's
// parameters, clear the slot, or leave it). Runs on the loading thread under the instance mutex, so
// the render waits until the whole instrument is in place.

#include "engine/Kestrune.h"

#include "framework/IGraphics.h"
#include "samplefiles/SfzReader.h"

#include <mutex>

void CLS_KESTRUNE::ReadSfz(int idx, const char* path)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  if (mReadingSfz)
  {
    // An instrument whose region names another instrument file (or itself) would read files without
    // end: the inner one is a sample that cannot be used.
    ClearSample(idx, "");
    return;
  }
  mReadingSfz = true;
  bool anything = false;
  for (int s = 0; s < kNumSlots; ++s)
  {
    const SfzSlotResult run = ReadSfzSlot(path, s, File(s).SfzWarning());
    if (run.showWarning)
    {
      if (IGraphics* graphics = IGraphics::Of(this))
        graphics->ShowMessageBox(run.warningText.c_str(), kSfzWarningCaption, IGraphics::kMessageBoxTypeOK);
      File(s).SetSfzWarning(true);
    }
    switch (run.action)
    {
    case SfzSlotResult::Action::kLoad:
      LoadFile(s, run.samplePath.c_str(), LoadRoute::kHost);
      for (int k = kLowNote; k <= kLoop; ++k)
        SetParamFromFile(s * kParamsPerSlot + k, run.params[static_cast<size_t>(k)]);
      anything = true;
      break;
    case SfzSlotResult::Action::kClear:
      ClearSample(s, kSfzClearedName);
      anything = true;
      break;
    case SfzSlotResult::Action::kNothing:
      break;
    }
  }
  mReadingSfz = false;
  // An instrument file the host handed back that gave nothing at all (it may only be missing for now)
  // stays the slot's saved path, so that the next save still holds it.
  if (!anything && !mSfzHandOver) SetExtraParam(idx, path);
}

void CLS_KESTRUNE::SetParamFromFile(int paramIdx, double value)
{
  if (value < kSfzNotGiven + 1.0) return; // below -100: not given by the file
  IParam* param = GetParam(paramIdx);
  if (param == nullptr) return;
  BeginInformHostOfParamChange(paramIdx);
  param->SetClamped(value);
  const double normalized = param->GetNormalized();
  // As if the user had entered the value: every bound control pushes it back through the editor's
  // parameter path, which informs the host and applies it.
  if (IGraphics* graphics = IGraphics::Of(this))
    graphics->ApplyInputToControls(paramIdx, normalized);
  else
    SetParameterFromGUI(paramIdx, normalized);
  // A parameter without a bound control reaches the engine all the same (a repeat changes nothing).
  OnParamChange(paramIdx);
  EndInformHostOfParamChange(paramIdx);
}
