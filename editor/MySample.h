#pragma once
// The sample view: the 150 x 120 panel at the top of a slot's column. It draws the slot's waveform,
// the sample's duration and channel count, the file name and three small buttons (close; previous and
// next, shown only when the folder has such a file). Clicks and dropped files are handed to a
// SampleViewListener (the loading flow); the view itself only draws and keeps the file-state fields.
//
// Threads and the sample buffer. The loading flow replaces the slot's buffer, frame count and channel
// count under the instance mutex, and the engine reverses the buffer in place under it. Draw never
// reads the buffer directly: it draws from a picture (waveform columns, frame and channel counts,
// duration, names) that it rebuilds only while holding the instance mutex, taken with try_lock. When
// the mutex is busy (a block is being rendered, a file is being decoded) Draw shows the previous
// picture and retries on the next timer tick, so the UI thread never waits for the audio thread and a
// buffer freed by a reload is never read. The picture is rebuilt only when the data or the file state
// changed (SetChanged), not when the played mark alone changes; a change of the file state alone
// (names, neighbours) renews the texts without reading the buffer again.
//
// A file the editor loads is decoded by the instance's loader thread, which also computes its
// waveform before it publishes the buffer (PrepareWaveform, without the instance mutex); the locked
// step that publishes the buffer hands that picture over (AdoptWaveform), so that Draw shows it
// without going through the whole buffer under the mutex, which would stop the audio thread for as
// long as a long sample takes to scan.
//
// The file-state setters are called by the loading flow on the UI thread or with the instance mutex
// held; MarkPlayed and SetChanged may come from the audio thread (relaxed atomics, no lock).

#include "editor/EditorConstants.h"
#include "editor/WaveformPicture.h"
#include "framework/IControl.h"
#include "samplefiles/SlotFile.h"

#include <atomic>
#include <cstdint>
#include <memory>

class BarLabel;
class SampleViewListener;

// Where a sample view reads its slot's sample fields.
struct SlotSampleRefs
{
  const std::unique_ptr<double[]>* mData = nullptr; // the slot's current planar buffer
  const uint32_t* mFrames = nullptr;                // 0 = no sample
  const int16_t* mChannels = nullptr;
  const double* mRateRatio = nullptr;
  const double* mEngineSampleRate = nullptr;
};

class MySample : public IControl
{
public:
  MySample(IEffectBase* plug, const IRECT& rect, int slot, const SlotSampleRefs& refs, BarLabel* messageBar);

  // Loads the button images (once); Draw does it if the layout has not.
  void Initialise(IGraphics* graphics);

  bool Draw(IGraphics* graphics) override;
  // True once after each change (SetChanged, or a change of the played mark).
  bool IsDirty() override;
  // Handed to the listener; nothing happens without one.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // A drop inside the panel (edges included) is handed to the listener.
  void OnDrop(int x, int y, const char* path) override;

  void SetListener(SampleViewListener* listener) { mListener = listener; }

  // ---- Change flags ----
  // The slot's data or file state changed: the picture is rebuilt and the panel redrawn.
  void SetChanged();
  // The engine replaced the slot's buffer or changed it in place (under the instance mutex): like
  // SetChanged, and a waveform prepared for an earlier buffer is no longer offered.
  void DataReplaced();
  // Loader thread, without the instance mutex: computes the waveform of a buffer about to be
  // published into the slot. The caller keeps the buffer alive and unchanged for the call. Only the
  // loader thread calls it (and AdoptWaveform after it), so the picture it fills needs no lock.
  void PrepareWaveform(const double* data, uint32_t frames, int channels);
  // Under the instance mutex, when the buffer PrepareWaveform saw is published as the slot's data (after
  // the change was signalled): Draw shows that picture instead of building its own.
  void AdoptWaveform(const double* data);
  // A voice of the slot started: sets the played mark unless set (a change redraws the panel).
  void MarkPlayed();
  // Clears the played mark; true when it was set.
  bool ClearPlayedMark();
  bool PlayedMark() const { return mPlayed.load(std::memory_order_relaxed); }

  // ---- File state ----
  // The slot's file state kept by the instance (the loading flow writes it); the view shows it. Until
  // one is given the view shows a file state of its own. The setters write through to it and refuse
  // (false) texts that do not fit.
  void SetFile(SlotFile* file) { mFile = file ? file : &mOwnFile; }
  SlotFile& File() const { return *mFile; }
  bool SetPath(const char* path) { return mFile->SetPath(path); }
  bool SetDisplayName(const char* name) { return mFile->SetDisplayName(name); }
  bool SetPreviousPath(const char* path) { return mFile->SetPreviousPath(path); }
  bool SetNextPath(const char* path) { return mFile->SetNextPath(path); }
  void SetDuration(double seconds) { mFile->SetDuration(seconds); }
  const char* Path() const { return mFile->Path(); }
  const char* DisplayName() const { return mFile->DisplayName(); }
  const char* PreviousPath() const { return mFile->PreviousPath(); }
  const char* NextPath() const { return mFile->NextPath(); }
  double Duration() const { return mFile->Duration(); }
  int Slot() const { return mSlot; }
  const SlotSampleRefs& Refs() const { return mRefs; }
  BarLabel* MessageBar() const { return mMessageBar; }

  // ---- Geometry and what the last picture holds ----
  const IRECT& TitleRect() const { return mTitleRect; }
  // Button rectangles of the last draw that showed them (empty before).
  const IRECT& CloseRect() const { return mCloseRect; }
  const IRECT& PreviousRect() const { return mPreviousRect; }
  const IRECT& NextRect() const { return mNextRect; }
  const WaveformPicture& Picture() const { return mPicture; }
  // The duration and channel texts the picture shows (empty for an empty slot).
  const char* DurationText() const { return mShownDuration; }
  const char* ChannelText() const { return mShownChannels; }
  const char* ShownName() const { return mShownName; }
  bool PictureStale() const { return mStale; }

private:
  // Rebuilds the picture if stale and the instance mutex is free; otherwise keeps the old one and asks
  // for another redraw.
  void RefreshPicture();
  void BuildPicture();
  // The texts of the picture (duration, channels, name, the neighbour buttons), under the mutex.
  void BuildTexts();
  // The adopted waveform, if it shows the slot's current buffer; under the mutex.
  bool TakeAdoptedWaveform();

  int mSlot;
  SlotSampleRefs mRefs;
  BarLabel* mMessageBar;
  SampleViewListener* mListener = nullptr;
  IRECT mTitleRect;
  IRECT mCloseRect, mPreviousRect, mNextRect;
  IBitmap mClose, mPrevious, mNext;
  IText mDurationStyle, mChannelStyle, mNameStyle;
  bool mInitialised = false;

  std::atomic<bool> mChangedFlag{false};
  std::atomic<bool> mDataChanged{true};
  std::atomic<bool> mTextsChanged{false};
  std::atomic<bool> mPlayed{false};
  // The editor size the view draws at; the loader thread builds its waveform for it.
  std::atomic<int> mDrawnScale{100};
  bool mStale = true;       // UI thread: the picture waits for a rebuild
  bool mTextsStale = false; // UI thread: ... or only its texts do

  SlotFile mOwnFile;
  SlotFile* mFile = &mOwnFile;

  // The waveform the loader thread computes (its own), and the one it handed over (instance mutex),
  // each with the buffer it shows.
  struct WaveformSource
  {
    const double* data = nullptr;
    uint32_t frames = 0;
    int channels = 0;
  };
  WaveformPicture mPrepared, mAdopted;
  WaveformSource mPreparedSource, mAdoptedSource;
  bool mHasAdopted = false;

  // The picture Draw shows.
  WaveformPicture mPicture;
  uint32_t mShownFrames = 0;
  bool mShownPrevious = false, mShownNext = false;
  char mShownDuration[32] = {};
  char mShownChannels[8] = {};
  char mShownName[kMaxPathBytes] = {};
};
