// The loading flow on the instance's side: the extra-parameter hand-over, the header step of the host's
// route, the data step, clearing a slot and storing its path. The editor's route, which decodes outside
// the instance mutex, is in KestruneEditorLoading.cpp.
//
// All of it runs on a loading thread (the host's thread inside a chunk or extra-parameter call, or the
// editor's thread), never on the audio thread: it allocates and reads files. The mutex is recursive
// because the data step can clear the slot, which runs the data step again.

#include "engine/Kestrune.h"

#include "framework/IGraphics.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileAccess.h"
#include "samplefiles/SampleFileNames.h"
#include "samplefiles/SampleLocator.h"

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
  std::lock_guard<InstanceMutex> lock(Mutex());
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
  graphics->ChooseFile(chosen, IGraphics::kFileOpen, nullptr, kSampleFileExtensions);
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
  std::lock_guard<InstanceMutex> lock(Mutex());
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
  if (TypeOfExtension(file.Extension()) == SlotFileType::kSfz)
  {
    file.SetSfzWarning(false);
    std::string copy = current;
    OnExtraParam(slot, copy.data());
    return;
  }

  // The slot's own file, unchanged on disk since it was decoded (a program change or a restored state
  // naming what the slot holds): the buffer stays; the rest is as a reload would leave it.
  if (KeepsLoadedSample(slot, current))
  {
    mEngine.StopSlotVoices(slot);
    mEngine.Views()->ClearHeldNotes(slot);
    StoreSamplePath(slot, current.c_str());
    return;
  }

  // 5.-10. Header, name, neighbours and data: prepared by the editor's loader when it offered this
  // file, otherwise read here, on the host's thread.
  PreparedSample prepared;
  if (TakeOffered(current, &prepared))
  {
    PublishPrepared(slot, std::move(prepared), LoadRoute::kHost);
    return;
  }
  // A restored path whose file moved (another letter case, another folder) loads from where it is now
  // and is saved so; one that is nowhere keeps its path in the state.
  std::string found = current;
  if (!StampOfFile(current.c_str()).Valid()) found = LocateMovedSample(slot, current);
  if (found.empty())
  {
    LoadFailed(slot, current.c_str(), LoadRoute::kHost);
    return;
  }
  PublishPrepared(slot, PrepareSample(found, mEngine.mReverse[slot]), LoadRoute::kHost);
}

std::string CLS_KESTRUNE::LocateMovedSample(int slot, const std::string& missing)
{
  SampleSearchHints hints;
  for (int s = 0; s < kNumSlots; ++s)
  {
    const char* saved = GetExtraParam(s);
    if (s == slot || saved == nullptr || saved[0] == '\0' || std::strcmp(saved, kNoPathText) == 0) continue;
    const std::string folder(FolderOf(saved));
    if (!folder.empty()) hints.slotFolders.push_back(folder);
  }
  hints.searchFolders = SampleSearchFoldersFromEnvironment();
  return LocateSample(missing, hints);
}

bool CLS_KESTRUNE::KeepsLoadedSample(int slot, const std::string& path)
{
  const char* saved = GetExtraParam(slot);
  if (mEngine.mSampleFrames[slot] == 0 || saved == nullptr || path != saved) return false;
  if (!mLoadedStamp[static_cast<size_t>(slot)].Valid()) return false;
  return StampOfFile(path.c_str()) == mLoadedStamp[static_cast<size_t>(slot)];
}

bool CLS_KESTRUNE::TakeOffered(const std::string& path, PreparedSample* prepared)
{
  if (mOffered == nullptr) return false;
  for (PreparedSample& candidate : *mOffered)
  {
    if (candidate.path != path || !candidate.headerRead) continue;
    *prepared = std::move(candidate);
    candidate.path.clear(); // taken: a second region naming the file decodes it again
    return true;
  }
  return false;
}

void CLS_KESTRUNE::PublishPrepared(int slot, PreparedSample prepared, LoadRoute route)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  SlotFile& file = File(slot);
  file.SetPath(prepared.path.c_str());
  file.SetExtension(prepared.extension.c_str());
  mLoadedStamp[static_cast<size_t>(slot)] = FileStamp();
  if (!prepared.headerRead)
  {
    LoadFailed(slot, prepared.path.c_str(), route);
    return;
  }
  file.SetDisplayName(prepared.displayName.c_str());
  if (!file.SetPreviousPath(prepared.neighbours.previous.c_str())) file.SetPreviousPath("");
  if (!file.SetNextPath(prepared.neighbours.next.c_str())) file.SetNextPath("");

  // The header fields and the data change together, as one step of the data step's.
  const double engineRate = mEngine.mEngineSampleRate;
  mEngine.StopSlotVoices(slot);
  mEngine.Views()->ClearHeldNotes(slot);
  mEngine.mSampleFrames[slot] = prepared.info.frames;
  mEngine.mSampleChannels[slot] = prepared.info.channels;
  mEngine.mSampleFileRate[slot] = static_cast<double>(prepared.info.sampleRate);
  // Before the first usable rate the ratio waits for it (the engine computes it from the file rate).
  mEngine.mRateRatio[slot] = engineRate > 0.0 ? SampleRateRatio(prepared.info, engineRate) : 0.0;
  file.SetDuration(SampleDurationSeconds(prepared.info));
  RetireSampleData(slot);
  mEngine.mSampleData[slot] = std::make_unique<double[]>(1);

  if (prepared.info.frames == 0)
  {
    // A file without frames is still the slot's file: its path is saved like any other.
    StoreSamplePath(slot, prepared.path.c_str());
    MarkSlotChanged(slot);
    return;
  }
  if (!prepared.decoded)
  {
    // The file vanished or changed since its header was read, or its buffer could not be had.
    mEngine.mSampleFrames[slot] = 0;
    LoadFailed(slot, prepared.path.c_str(), route);
    return;
  }
  // Reverse may have been switched while the file decoded: the data follows the flag now in force.
  const bool reversedHere = prepared.reversed != mEngine.mReverse[slot];
  if (reversedHere) ::ReverseSampleData(prepared.data.get(), prepared.info.frames, prepared.info.channels);
  RetireSampleData(slot);
  mEngine.mSampleData[slot] = std::move(prepared.data);
  mLoadedStamp[static_cast<size_t>(slot)] = prepared.stamp;
  StoreSamplePath(slot, prepared.path.c_str());
  MarkSlotChanged(slot);
  // The view's picture of this buffer, computed by the loader before the lock (not after a reversal).
  if (prepared.waveformSlot == slot && !reversedHere)
    mEngine.Views()->AdoptWaveform(slot, mEngine.mSampleData[slot].get());
}

void CLS_KESTRUNE::RetireSampleData(int slot)
{
  std::unique_ptr<double[]> old = std::move(mEngine.mSampleData[slot]);
  if (!old) return;
  // On the editor's route the buffer is freed after the mutex is released (TakeRetired).
  if (mDeferFrees && mRetired.size() < mRetired.capacity()) mRetired.push_back(std::move(old));
}

std::vector<std::unique_ptr<double[]>> CLS_KESTRUNE::TakeRetired()
{
  std::vector<std::unique_ptr<double[]>> taken;
  taken.reserve(kRetiredCapacity);
  MeteredLock lock(Mutex(), mLoaderHold); // the loader thread, after its locked steps
  taken.swap(mRetired);
  return taken;
}

void CLS_KESTRUNE::MyParamChange(int slot)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  if (!ValidSlot(slot)) return;
  RunDataStep(slot);
}

bool CLS_KESTRUNE::RunDataStep(int slot)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  // 2. No voice may read the old data any more, and no key stays shown as held.
  mEngine.StopSlotVoices(slot);
  mEngine.Views()->ClearHeldNotes(slot);

  // 3. The old buffer goes.
  RetireSampleData(slot);
  mLoadedStamp[static_cast<size_t>(slot)] = FileStamp();

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
  mLoadedStamp[static_cast<size_t>(slot)] = StampOfFile(file.Path());
  if (markChanged) MarkSlotChanged(slot);
  return true;
}

void CLS_KESTRUNE::ClearSample(int slot, const char* text)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
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
  std::lock_guard<InstanceMutex> lock(Mutex());
  if (!ValidSlot(slot) || path == nullptr) return;
  const char* before = GetExtraParam(slot);
  const bool changed = before == nullptr || std::strcmp(before, path) != 0;
  SetExtraParam(slot, path);
  // A change the user made in the editor is news to the host, which then counts its project as
  // modified; a path the host handed over (a restored state, its extra-parameter call) is not. No
  // parameter is touched for it: a host in a touch automation mode would take that as the user's.
  if (changed && mEditorCaused) InformHostOfStateChange();
}

void CLS_KESTRUNE::MarkSlotChanged(int slot)
{
  File(slot).MarkChanged();
  mEngine.Views()->SampleChanged(slot);
}
