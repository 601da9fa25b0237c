// The loading flow as the editor runs it (a click with the file chooser, a drop, the previous and next
// buttons). The music must not stop while a file decodes: the header, the folder listing and the whole
// decoding run without the instance mutex, into locals and a fresh buffer; then one short step under
// the mutex publishes everything, with the result the header step followed by the data step would
// have had: the slot's voices stopped, the new file's texts and numbers, the buffer (reversed while
// Reverse is on), the saved path and a redraw. The old buffer is freed after the mutex is released.
//
// Editor thread only. Loads from the editor are serial (one UI thread); a host call that loads into the
// same slot meanwhile is simply overtaken by whichever publishes last.

#include "engine/Kestrune.h"

#include "samplefiles/FolderNeighbours.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileAccess.h"
#include "samplefiles/SampleFileNames.h"

#include <mutex>
#include <string>

namespace
{
// What the steps outside the mutex found out about one file.
struct PreparedFile
{
  std::string path;
  std::string extension;
  SampleFileInfo info;
  std::string displayName;
  FolderNeighbours neighbours;
  std::unique_ptr<double[]> data; // null when the file has no frames or could not be decoded
  bool decoded = false;
  bool reversed = false; // the data was reversed for a slot whose Reverse was on
};
} // namespace

void CLS_KESTRUNE::LoadFileFromEditor(int slot, const char* path)
{
  SlotFile& file = File(slot);

  // 1. The given path, or the user's choice; a cancelled prompt runs on the slot's current path again.
  PreparedFile prepared;
  if (path != nullptr && path[0] != '\0')
    prepared.path = path;
  else if (!PromptForFile(&prepared.path))
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    prepared.path = file.Path();
  }
  // 2. Nothing to load.
  if (prepared.path.empty()) return;
  if (prepared.path.size() >= static_cast<size_t>(kSlotPathBytes))
  {
    // Longer than the path field: refused, never cut; the slot keeps its path fields.
    ClearSample(slot, "");
    return;
  }

  // 3.-4. The extension decides the kind; an SFZ file fills all five slots under the mutex.
  prepared.extension = std::string(FileExtension(prepared.path));
  const SlotFileType type = TypeOfExtension(prepared.extension);
  if (type == SlotFileType::kSfz)
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    file.SetPath(prepared.path.c_str());
    file.SetExtension(prepared.extension.c_str());
    file.SetSfzWarning(false);
    HandOverSfz(slot, prepared.path.data());
    return;
  }

  // 5.-9. Header, name and neighbours, without the mutex.
  const bool headerRead = ReadSampleHeader(type, prepared.path.c_str(), prepared.info);
  if (headerRead)
  {
    prepared.displayName = DisplayNameOf(prepared.path);
    prepared.neighbours = FindFolderNeighbours(prepared.path);
    // The data step's work, into a fresh buffer. Reverse is read now and checked again when publishing.
    if (prepared.info.frames != 0)
    {
      DecodedSample decoded;
      prepared.decoded = LoadSampleFileData(type, prepared.path.c_str(), prepared.info.frames,
                                            prepared.info.channels, decoded);
      if (prepared.decoded)
      {
        // The frames that decoded, which a damaged or crafted header may overstate.
        prepared.info.frames = decoded.frames;
        prepared.data = std::move(decoded.data);
      }
      bool reverseNow = false;
      {
        std::lock_guard<std::recursive_mutex> lock(Mutex());
        reverseNow = mEngine.mReverse[slot];
      }
      if (prepared.decoded && reverseNow)
      {
        ::ReverseSampleData(prepared.data.get(), prepared.info.frames, prepared.info.channels);
        prepared.reversed = true;
      }
    }
  }

  // Publishing, in one step under the mutex. The old buffer leaves with `old` after the unlock.
  std::unique_ptr<double[]> old;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    file.SetPath(prepared.path.c_str());
    file.SetExtension(prepared.extension.c_str());
    if (!headerRead)
    {
      ClearSample(slot, "");
      return;
    }
    file.SetDisplayName(prepared.displayName.c_str());
    if (!file.SetPreviousPath(prepared.neighbours.previous.c_str())) file.SetPreviousPath("");
    if (!file.SetNextPath(prepared.neighbours.next.c_str())) file.SetNextPath("");

    // The header fields and the data step, as one change.
    const double engineRate = mEngine.mEngineSampleRate;
    mEngine.StopSlotVoices(slot);
    mEngine.Views()->ClearHeldNotes(slot);
    mEngine.mSampleFrames[slot] = prepared.info.frames;
    mEngine.mSampleChannels[slot] = prepared.info.channels;
    mEngine.mSampleFileRate[slot] = static_cast<double>(prepared.info.sampleRate);
    mEngine.mRateRatio[slot] = engineRate > 0.0 ? SampleRateRatio(prepared.info, engineRate) : 0.0;
    file.SetDuration(SampleDurationSeconds(prepared.info));
    old = std::move(mEngine.mSampleData[slot]);

    if (prepared.info.frames == 0)
    {
      // A file without frames is still the slot's file: its path is saved like any other.
      mEngine.mSampleData[slot] = std::make_unique<double[]>(1);
      StoreSamplePath(slot, prepared.path.c_str());
      MarkSlotChanged(slot);
      return;
    }
    if (!prepared.decoded)
    {
      // The file vanished or changed since its header was read, or its buffer could not be had: the
      // slot is cleared as the data step clears it (the old buffer has already left it).
      mEngine.mSampleData[slot] = std::make_unique<double[]>(1);
      ClearSample(slot, "");
      return;
    }
    // Reverse may have been switched while the file decoded: the data follows the flag now in force.
    if (prepared.reversed != mEngine.mReverse[slot])
      ::ReverseSampleData(prepared.data.get(), prepared.info.frames, prepared.info.channels);
    mEngine.mSampleData[slot] = std::move(prepared.data);
    StoreSamplePath(slot, prepared.path.c_str());
    MarkSlotChanged(slot);
  }
}
