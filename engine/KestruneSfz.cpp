// An SFZ instrument reaching the sampler: the reader runs once per slot, 0 to 4, with the same file, and
// the instance carries out what each run decided (load the region's sample and set the slot's
// parameters, clear the slot, or leave it). The runs (PlanSfz) only read files; applying them (ApplySfz)
// runs under the instance mutex, so the render never sees half an instrument. The host's route reads
// and applies under the mutex; the editor's reads first, without it (KestruneEditorLoading.cpp).
//
// Warnings (a region's sample that cannot be opened) are collected while the runs are applied and
// posted to the editor afterwards, never shown here: a box waits for the user, and the host's route
// holds the instance mutex for the whole of its call, so the render would wait as long.

#include "engine/Kestrune.h"

#include "framework/IGraphics.h"
#include "samplefiles/AbsolutePath.h"
#include "samplefiles/SfzReader.h"

#include <mutex>

CLS_KESTRUNE::SfzPlan CLS_KESTRUNE::PlanSfz(const char* path, const std::array<bool, kNumSlots>& warned)
{
  SfzPlan plan;
  for (int s = 0; s < kNumSlots; ++s)
    plan.runs[static_cast<size_t>(s)] = ReadSfzSlot(path, s, warned[static_cast<size_t>(s)]);
  return plan;
}

void CLS_KESTRUNE::ReadSfz(int idx, const char* path)
{
  std::vector<std::string> warnings;
  {
    std::lock_guard<InstanceMutex> lock(Mutex());
    if (mReadingSfz)
    {
      // An instrument whose region names another instrument file (or itself) would read files without
      // end: the inner one is a sample that cannot be used.
      ClearSample(idx, "");
      return;
    }
    std::array<bool, kNumSlots> warned{};
    for (int s = 0; s < kNumSlots; ++s)
      warned[static_cast<size_t>(s)] = File(s).SfzWarning();
    // The samples' paths are made from the instrument's folder and saved with the state: from a
    // relative path they would name other files once the host runs in another folder.
    const std::string absolute = AbsolutePathOf(path);
    ApplySfz(PlanSfz(absolute.c_str(), warned), warnings);
  }
  PostSfzWarnings(warnings);
}

void CLS_KESTRUNE::PostSfzWarnings(const std::vector<std::string>& warnings)
{
  IGraphics* graphics = IGraphics::Of(this);
  if (graphics == nullptr) return;
  for (const std::string& text : warnings)
    graphics->PostMessageBox(text.c_str(), kSfzWarningCaption);
}

// An instrument that gives nothing (missing, unreadable, without a region) leaves everything as it was,
// the saved paths included: saved as a slot's path, it would later reload all five slots over the
// parameters saved with it.
void CLS_KESTRUNE::ApplySfz(const SfzPlan& plan, std::vector<std::string>& warnings)
{
  // The texts are collected here and posted by the caller once the mutex is released.
  std::lock_guard<InstanceMutex> lock(Mutex());
  mReadingSfz = true;
  for (int s = 0; s < kNumSlots; ++s)
  {
    const SfzSlotResult& run = plan.runs[static_cast<size_t>(s)];
    if (run.showWarning)
    {
      warnings.push_back(run.warningText);
      File(s).SetSfzWarning(true);
    }
    switch (run.action)
    {
    case SfzSlotResult::Action::kLoad:
      LoadFile(s, run.samplePath.c_str(), LoadRoute::kHost);
      for (int k = kLowNote; k <= kLoop; ++k)
        SetParamFromFile(s * kParamsPerSlot + k, run.params[static_cast<size_t>(k)]);
      break;
    case SfzSlotResult::Action::kClear:
      ClearSample(s, kSfzClearedName);
      break;
    case SfzSlotResult::Action::kNothing:
      break;
    }
  }
  mReadingSfz = false;
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
