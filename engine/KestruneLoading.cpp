// The loading flow on the instance's side: the extra-parameter hand-over, the header step of the host's
// route, the data step, clearing a slot and storing its path. The editor's route, which decodes outside
// the instance mutex, is in KestruneEditorLoading.cpp.
//
// All of it runs on a loading thread (the host's thread inside a chunk or extra-parameter call, or the
// editor's thread), never on the audio thread: it allocates and reads files. The mutex is recursive
// because the data step can clear the slot, which runs the data step again.

#include "engine/Kestrune.h"

#include "framework/IGraphics.h"
#include "samplefiles/FolderNeighbours.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileAccess.h"
#include "samplefiles/SampleFileNames.h"

#include <cstring>
#include <mutex>
#include <string>

namespace
{
constexpr const char* kWrongAudioText = "wrong audio";
constexpr const char* kNoPathText = "0"; // a saved text that names no file

bool ValidSlot(int slot)
{
  return slot >= 0 && slot < kNumSlots;
}
} // namespace

void CLS_KESTRUNE::OnExtraParam(int idx, char* str)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  if (!ValidSlot(idx) || str == nullptr) return;
  // A path that does not fit the text field is refused rather than cut into another path.
  const size_t length = strnlen(str, kExtraParamBytes);
  if (length > static_cast<size_t>(MAX_EXTRA_PARAM_LEN)) return;
  if (std::strcmp(str, kNoPathText) == 0) return;

  if (TypeOfExtension(FileExtension(str)) == SlotFileType::kSfz)
  {
    ReadSfz(idx, str);
    return;
  }
  LoadFile(idx, str, LoadRoute::kHost);
}

void CLS_KESTRUNE::HandOverSfz(int slot, char* path)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  const bool outer = mSfzHandOver;
  mSfzHandOver = true;
  OnExtraParam(slot, path);
  mSfzHandOver = outer;
}

void CLS_KESTRUNE::LoadFile(int slot, const char* path, LoadRoute route)
{
  if (!ValidSlot(slot)) return;
  if (route == LoadRoute::kEditor)
    LoadFileFromEditor(slot, path);
  else
    LoadFileUnderLock(slot, path);
}

bool CLS_KESTRUNE::PromptForFile(std::string* chosen)
{
  chosen->clear();
  IGraphics* graphics = IGraphics::Of(this);
  if (graphics == nullptr) return false; // no editor: as if the user cancelled
  graphics->ChooseFile(chosen, IGraphics::kFileOpen, nullptr, "wav ogg flac sfz");
  return !chosen->empty();
}

void CLS_KESTRUNE::LoadFailed(int slot, const char* path, LoadRoute route)
{
  ClearSample(slot, "");
  // A file the host handed back (a restored state, the extra-parameter call) may only be missing for
  // now (an unplugged drive): the slot is empty, but the next save still holds the path that failed.
  if (route == LoadRoute::kHost && path != nullptr && path[0] != '\0' &&
      strnlen(path, kExtraParamBytes) <= static_cast<size_t>(MAX_EXTRA_PARAM_LEN))
    StoreSamplePath(slot, path);
}

void CLS_KESTRUNE::LoadFileUnderLock(int slot, const char* path)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  SlotFile& file = File(slot);

  // 1. The given path, or the user's choice; a cancelled prompt runs on the current path again.
  // A copy: the caller's text may be one of the fields this flow rewrites (the saved path).
  std::string requested = path != nullptr ? path : "";
  if (requested.empty()) PromptForFile(&requested);
  if (!requested.empty() && !file.SetPath(requested.c_str()))
  {
    // Longer than the path field: refused, never cut.
    LoadFailed(slot, requested.c_str(), LoadRoute::kHost);
    return;
  }
  // 2. Nothing to load.
  const std::string current = file.Path();
  if (current.empty()) return;

  // 3.-4. The extension decides the kind; an SFZ file is handed over for all five slots.
  file.SetExtension(std::string(FileExtension(current)).c_str());
  const SlotFileType type = TypeOfExtension(file.Extension());
  if (type == SlotFileType::kSfz)
  {
    file.SetSfzWarning(false);
    std::string copy = current;
    HandOverSfz(slot, copy.data());
    return;
  }

  // 5.-7. The header; a file of no known kind, or one its reader refuses, clears the slot.
  SampleFileInfo info;
  if (!ReadSampleHeader(type, current.c_str(), info))
  {
    LoadFailed(slot, current.c_str(), LoadRoute::kHost);
    return;
  }

  // 8.-9. The name shown and the neighbouring files of the folder.
  file.SetDisplayName(DisplayNameOf(current).c_str());
  const FolderNeighbours neighbours = FindFolderNeighbours(current);
  if (!file.SetPreviousPath(neighbours.previous.c_str())) file.SetPreviousPath("");
  if (!file.SetNextPath(neighbours.next.c_str())) file.SetNextPath("");

  // 10. The header fields change together, then the data step replaces the buffer.
  const double engineRate = mEngine.mEngineSampleRate;
  mEngine.mSampleFrames[slot] = info.frames;
  mEngine.mSampleChannels[slot] = info.channels;
  mEngine.mSampleFileRate[slot] = static_cast<double>(info.sampleRate);
  // Before the first usable rate the ratio waits for it (the engine computes it from the file rate).
  mEngine.mRateRatio[slot] = engineRate > 0.0 ? SampleRateRatio(info, engineRate) : 0.0;
  file.SetDuration(SampleDurationSeconds(info));
  if (!RunDataStep(slot))
  {
    LoadFailed(slot, current.c_str(), LoadRoute::kHost);
    return;
  }
  if (info.frames == 0)
  {
    // A file without frames is still the slot's file: its path is saved like any other.
    StoreSamplePath(slot, current.c_str());
    MarkSlotChanged(slot);
  }
}

void CLS_KESTRUNE::MyParamChange(int slot)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  if (!ValidSlot(slot)) return;
  RunDataStep(slot);
}

bool CLS_KESTRUNE::RunDataStep(int slot)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  // 2. No voice may read the old data any more, and no key stays shown as held.
  mEngine.StopSlotVoices(slot);
  mEngine.Views()->ClearHeldNotes(slot);

  // 3. The old buffer goes.
  mEngine.mSampleData[slot].reset();

  // 5. No frames: the one-element array of an empty slot.
  const uint32_t frames = mEngine.mSampleFrames[slot];
  if (frames == 0)
  {
    mEngine.mSampleData[slot] = std::make_unique<double[]>(1);
    return true;
  }

  // 4. A fresh buffer of what decodes; a file that cannot be read now makes it unusable.
  const bool reverse = mEngine.mReverse[slot];
  if (!LoadSampleData(slot, !reverse)) return false;
  if (reverse) mEngine.ReverseSampleData(slot);
  return true;
}

bool CLS_KESTRUNE::LoadSampleData(int slot, bool markChanged)
{
  SlotFile& file = File(slot);
  const SlotFileType type = TypeOfExtension(file.Extension());
  DecodedSample decoded;
  if (!LoadSampleFileData(type, file.Path(), mEngine.mSampleFrames[slot], mEngine.mSampleChannels[slot],
                          decoded))
  {
    // The file vanished or changed since its header was read, or its frames cannot be held.
    ClearSample(slot, "");
    return false;
  }
  // The slot holds the frames that decoded, which a damaged or crafted header may overstate.
  if (decoded.frames != mEngine.mSampleFrames[slot])
  {
    mEngine.mSampleFrames[slot] = decoded.frames;
    file.SetDuration(static_cast<double>(decoded.frames) / mEngine.mSampleFileRate[slot]);
  }
  mEngine.mSampleData[slot] = std::move(decoded.data);
  StoreSamplePath(slot, file.Path());
  if (markChanged) MarkSlotChanged(slot);
  return true;
}

void CLS_KESTRUNE::ClearSample(int slot, const char* text)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  if (!ValidSlot(slot)) return;
  // 1. No frames; a slot that held some gets its one-element array through the data step.
  const uint32_t before = mEngine.mSampleFrames[slot];
  mEngine.mSampleFrames[slot] = 0;
  if (before != 0) RunDataStep(slot);
  // 2.-4. The name, the saved path, a redraw. Path, previous and next stay for the buttons.
  SlotFile& file = File(slot);
  if (text == nullptr || text[0] == '\0' || !file.SetDisplayName(text)) file.SetDisplayName(kWrongAudioText);
  StoreSamplePath(slot, "");
  MarkSlotChanged(slot);
}

void CLS_KESTRUNE::StoreSamplePath(int slot, const char* path)
{
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  if (!ValidSlot(slot) || path == nullptr) return;
  // Parameter 0 only carries the news that the state changed.
  BeginInformHostOfParamChange(0);
  SetExtraParam(slot, path);
  EndInformHostOfParamChange(0);
}

void CLS_KESTRUNE::MarkSlotChanged(int slot)
{
  File(slot).MarkChanged();
  mEngine.Views()->SampleChanged(slot);
}
