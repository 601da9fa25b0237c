#pragma once
// SlotFile: the file state of one sample slot, owned by the sampler instance and shown by the slot's
// sample view through a pointer: the current path, the neighbouring sample files of its folder, the
// name shown, the extension that decides the file kind, the sample's duration and two flags.
//
// Threads: the loading flow writes the texts and the duration on the loading thread, under the
// instance mutex (the editor's loading path prepares its texts in locals and publishes them under the
// mutex too). The sample view reads them on the UI thread. The changed flag may be set from the audio
// thread and is taken by the view: it is atomic.
//
// Every text field is kSlotPathBytes long; a setter refuses (false, field unchanged) a text that does
// not fit instead of cutting it.

#include "samplefiles/SampleFileLimits.h"

#include <atomic>

class SlotFile
{
public:
  // The start values: path and display name "...", everything else empty or 0.
  SlotFile();
  SlotFile(const SlotFile&) = delete;
  SlotFile& operator=(const SlotFile&) = delete;

  bool SetPath(const char* path);
  bool SetPreviousPath(const char* path);
  bool SetNextPath(const char* path);
  bool SetDisplayName(const char* name);
  bool SetExtension(const char* extension);
  void SetDuration(double seconds) { mDuration = seconds; }
  void SetSfzWarning(bool warned) { mSfzWarning = warned; }

  const char* Path() const { return mPath; }
  const char* PreviousPath() const { return mPreviousPath; }
  const char* NextPath() const { return mNextPath; }
  const char* DisplayName() const { return mDisplayName; }
  const char* Extension() const { return mExtension; }
  double Duration() const { return mDuration; }
  bool SfzWarning() const { return mSfzWarning; }

  // The slot's data or name changed. Any thread.
  void MarkChanged() { mChanged.store(true, std::memory_order_relaxed); }
  // True once after each MarkChanged (the view redraws then). Any thread.
  bool TakeChanged() { return mChanged.exchange(false, std::memory_order_relaxed); }
  bool Changed() const { return mChanged.load(std::memory_order_relaxed); }

private:
  char mPath[kSlotPathBytes];
  char mPreviousPath[kSlotPathBytes] = {};
  char mNextPath[kSlotPathBytes] = {};
  char mDisplayName[kSlotPathBytes];
  char mExtension[kSlotPathBytes] = {};
  double mDuration = 0.0;
  bool mSfzWarning = false;
  std::atomic<bool> mChanged{false};
};
