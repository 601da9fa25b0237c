// The loading flow as the editor runs it (a file chosen in the dialog, a drop, the previous, next and
// close buttons). The music must not stop while a file decodes: the editor only queues a job
// (RequestLoad), and the instance's loader thread runs it: the header, the folder listing and the whole
// decoding run without the instance mutex, into a PreparedSample; then one short step under the mutex
// publishes everything, with the result the header step followed by the data step would have had; the
// old buffer is freed after the mutex is released. An SFZ file is read, and its samples decoded, the
// same way before its regions are applied under the mutex.
//
// The loader's jobs are serial; a host call that loads into the same slot meanwhile is simply
// overtaken by whichever publishes last.

#include "engine/Kestrune.h"

#include "samplefiles/SampleFileNames.h"
#include "samplefiles/SfzReader.h"

#include <mutex>
#include <string>

namespace
{
constexpr const char* kRemovedName = "...";
} // namespace

// Marks the locked steps of an editor load: buffers that leave a slot are freed after the mutex is
// released, and a changed saved path is news for the host.
class CLS_KESTRUNE::EditorLoadScope
{
public:
  explicit EditorLoadScope(CLS_KESTRUNE& plug) : mPlug(plug), mLock(plug.Mutex(), plug.mLoaderHold)
  {
    mPlug.mDeferFrees = true;
    mPlug.mEditorCaused = true;
  }
  ~EditorLoadScope()
  {
    mPlug.mDeferFrees = false;
    mPlug.mEditorCaused = false;
  }

private:
  CLS_KESTRUNE& mPlug;
  MeteredLock mLock;
};

void CLS_KESTRUNE::RequestLoad(LoadJob job)
{
  if (job.slot < 0 || job.slot >= kNumSlots) return;
  mLoader.Request(std::move(job));
}

void CLS_KESTRUNE::WaitForLoads()
{
  mLoader.WaitUntilIdle();
}

void CLS_KESTRUNE::RunLoadJob(const LoadJob& job)
{
  HostCallRouter::MarkBackgroundThread();
  CheckNoInstanceLockHeld("the sample loader");
  const int slot = job.slot;
  switch (job.kind)
  {
  case LoadJob::Kind::kClear:
  {
    {
      EditorLoadScope scope(*this);
      ClearSample(slot, kRemovedName);
    }
    TakeRetired();
    return;
  }
  case LoadJob::Kind::kPrevious:
  case LoadJob::Kind::kNext:
  {
    std::string path;
    {
      MeteredLock lock(Mutex(), mLoaderHold);
      path = job.kind == LoadJob::Kind::kPrevious ? File(slot).PreviousPath() : File(slot).NextPath();
    }
    if (!path.empty()) LoadFileFromEditor(slot, path.c_str());
    return;
  }
  case LoadJob::Kind::kPath:
    if (!job.path.empty()) LoadFileFromEditor(slot, job.path.c_str());
    return;
  }
}

void CLS_KESTRUNE::LoadFileFromEditor(int slot, const char* path)
{
  CheckNoInstanceLockHeld("loading a file from the editor");

  // 1. The given path, or the user's choice. Nothing chosen (cancelled, or a dialog that answers later
  // with a drop) changes nothing.
  std::string chosen = path != nullptr ? path : "";
  if (chosen.empty() && !PromptForFile(&chosen)) return;
  if (chosen.size() >= static_cast<size_t>(kSlotPathBytes))
  {
    // Longer than the path field: refused, never cut; the slot keeps its path fields.
    EditorLoadScope scope(*this);
    ClearSample(slot, "");
    return;
  }

  // 3.-4. The extension decides the kind; an SFZ file fills all five slots.
  if (TypeOfExtension(FileExtension(chosen)) == SlotFileType::kSfz)
  {
    LoadSfzFromEditor(slot, chosen);
    return;
  }

  // 5.-9. and the data step's work, without the mutex. Reverse is read now and checked again when
  // publishing.
  bool reverse = false;
  {
    MeteredLock lock(Mutex(), mLoaderHold);
    reverse = mEngine.mReverse[slot];
  }
  PreparedSample prepared = PrepareSample(chosen, reverse);
  PrepareWaveform(slot, &prepared);
  {
    EditorLoadScope scope(*this);
    PublishPrepared(slot, std::move(prepared), LoadRoute::kEditor);
  }
  TakeRetired();
}

void CLS_KESTRUNE::PrepareWaveform(int slot, PreparedSample* prepared)
{
  // The slot's view computes the picture of the new buffer now, so that the editor does not go through
  // the whole buffer under the mutex once it is published.
  if (!prepared->decoded || !prepared->data || prepared->info.frames == 0) return;
  mEngine.Views()->PrepareWaveform(slot, prepared->data.get(), prepared->info.frames,
                                   prepared->info.channels);
  prepared->waveformSlot = slot;
}

void CLS_KESTRUNE::LoadSfzFromEditor(int slot, const std::string& path)
{
  // The instrument's runs and their samples, read without the mutex.
  std::array<bool, kNumSlots> warned{};
  {
    MeteredLock lock(Mutex(), mLoaderHold);
    File(slot).SetSfzWarning(false);
    for (int s = 0; s < kNumSlots; ++s)
      warned[static_cast<size_t>(s)] = File(s).SfzWarning();
  }
  SfzPlan plan = PlanSfz(path.c_str(), warned);
  std::vector<PreparedSample> offered;
  for (int s = 0; s < kNumSlots; ++s)
  {
    const SfzSlotResult& run = plan.runs[static_cast<size_t>(s)];
    if (run.action != SfzSlotResult::Action::kLoad) continue;
    if (TypeOfExtension(FileExtension(run.samplePath)) == SlotFileType::kSfz) continue;
    bool reverse = false;
    {
      MeteredLock lock(Mutex(), mLoaderHold);
      reverse = mEngine.mReverse[s];
    }
    offered.push_back(PrepareSample(run.samplePath, reverse));
    PrepareWaveform(s, &offered.back());
  }

  std::vector<std::string> warnings;
  {
    EditorLoadScope scope(*this);
    SlotFile& file = File(slot);
    if (file.SetPath(path.c_str())) file.SetExtension(std::string(FileExtension(path)).c_str());
    mOffered = &offered;
    ApplySfz(plan, warnings);
    mOffered = nullptr;
  }
  // What was not taken, and what left the slots, is freed here.
  offered.clear();
  TakeRetired();
  // The loader never shows a box itself: a box belongs to the editor's UI thread and waits for the
  // user, and a host closing the editor on that thread may be waiting for the loader meanwhile.
  PostSfzWarnings(warnings);
}
