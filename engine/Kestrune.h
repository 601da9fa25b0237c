#pragma once
// CLS_KESTRUNE, the sampler instance the VST binding creates for every instance a host opens: five
// sample slots of twelve parameters each, driven by a SamplerEngine.
//
// Lifecycle: constructed by the entry point (parameters at their defaults, nothing applied, not ready
// to render) -> the host's open call applies every parameter through OnParamChange, which makes the
// base ready -> sample-rate and block-size changes call Reset -> MIDI events and render calls ->
// destroyed by the binding on the host's close call.
//
// Threads: every override takes the instance mutex (recursive); the binding already holds it for the
// whole of every host call. ProcessMidiMsg and ProcessDoubleReplacing run on the audio thread and
// allocate nothing; OnParamChange may run there too (host automation) and allocates nothing.

#include "editor/SlotViews.h"
#include "engine/EngineConstants.h"
#include "engine/LockHoldMeter.h"
#include "engine/ParamInitTracker.h"
#include "engine/PreparedSample.h"
#include "engine/SampleLoader.h"
#include "engine/SamplerEngine.h"
#include "engine/SlotInput.h"
#include "framework/IEffectVST.h"
#include "samplefiles/FileStamp.h"
#include "samplefiles/SfzReader.h"
#include "samplefiles/SlotFile.h"

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

// Identity towards the host.
constexpr const char* kKestruneEffectName = "Kestrune";
constexpr const char* kKestruneProductName = "";
constexpr const char* kKestruneMfrName = "Tovrane";
// major.minor.patch as 0xMMmmpp, from the build (engine/CMakeLists.txt).
constexpr int kKestruneVersion =
    (KESTRUNE_VERSION_MAJOR << 16) | (KESTRUNE_VERSION_MINOR << 8) | KESTRUNE_VERSION_PATCH;
constexpr int kKestruneUniqueId = 0x30717A77; // "0qzw"
constexpr int kKestruneMfrId = 0x546F7672;    // "Tovr"
constexpr int kKestruneNumPresets = 16;
constexpr int kKestruneExtraTexts = kNumSlots; // one stored sample path per slot

class CLS_KESTRUNE : public IEffectVST
{
public:
  // The render's gap detection reads a steady wall clock: the process's CPU clock barely moves while a
  // host has stopped calling the render, so it would miss exactly the pauses it is there to see.
  using Clock = std::chrono::steady_clock;
  // Time source of the gap detection; tests replace it to simulate pauses.
  using ClockFn = Clock::time_point (*)();

  explicit CLS_KESTRUNE(IEffectInstanceInfo info);
  ~CLS_KESTRUNE() override;

  // Any thread, takes the instance mutex: brings the engine to the base's current sample rate.
  void Reset() override;
  // Any thread, takes the instance mutex: applies parameter paramIdx's current value, quantised to the
  // engine's resolution, to its slot. Indexes outside 0..59 are ignored.
  void OnParamChange(int paramIdx) override;
  // Audio thread, mutex held by the binding: clean-ups, then the engine mixes the block.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // Audio or host thread, mutex held by the binding: note handling, then pass-through to the host.
  void ProcessMidiMsg(IMidiMsg* msg) override;
  // Host or editor thread, takes the instance mutex: a sample path for slot idx from a restored state,
  // the host's extra-parameter call or the loading flow. "0" does nothing; an SFZ file fills all five
  // slots; any other file is loaded into slot idx. A text longer than the field is refused.
  void OnExtraParam(int idx, char* str) override;

  // ---- Loading flow (KestruneLoading.cpp, KestruneEditorLoading.cpp) ----
  // Who asks for a file. kHost: a restored state, the extra-parameter call or an SFZ file; the whole
  // load runs under the instance mutex and a file that fails keeps its path in the saved state.
  // kEditor: a click, a drop, the previous or next button; the file is decoded outside the mutex and
  // published in one short step, and a file that fails clears the saved path. The editor's controls
  // do not load themselves: they queue a job (RequestLoad) for the loader thread, which runs this route.
  enum class LoadRoute
  {
    kHost,
    kEditor
  };
  // The header step: reads the file's numbers, names the slot, steps the folder, then runs the data
  // step. An empty path asks the user (the editor's file chooser); on the host's route a cancelled
  // prompt loads the slot's current path again, on the editor's it changes nothing. Never on the audio
  // thread; the editor's route never with the instance mutex held.
  void LoadFile(int slot, const char* path, LoadRoute route = LoadRoute::kHost);
  // Any thread: queues an editor load for the loader thread and returns at once.
  void RequestLoad(LoadJob job);
  // Waits until the loader has run every job queued so far (tests and tools; not with the mutex held).
  void WaitForLoads();
  // The longest time the loader thread held the instance mutex in one go (its locked steps), in
  // nanoseconds; Take... starts afresh. For benchmarks and tests.
  int64_t LoaderLongestHoldNs() const { return mLoaderHold.LongestNs(); }
  int64_t TakeLoaderLongestHoldNs() { return mLoaderHold.TakeLongestNs(); }
  // The data step, under the instance mutex: stops the slot's voices, replaces its data with a fresh
  // buffer decoded from the slot's file (reversed while Reverse is on); one 0.0 when it has no frames.
  void MyParamChange(int slot) override;
  // Under the instance mutex: empties the slot and shows text (or "wrong audio" when text is empty).
  void ClearSample(int slot, const char* text);
  // Writes the slot's saved path and tells the host that the state changed (a gesture on parameter 0).
  void StoreSamplePath(int slot, const char* path);
  // The file state of a slot (0 ... kNumSlots-1) that its sample view shows.
  const SlotFile& File(int slot) const { return mSlotFiles[static_cast<size_t>(slot)]; }
  SlotFile& File(int slot) { return mSlotFiles[static_cast<size_t>(slot)]; }

  SamplerEngine& Engine() { return mEngine; }
  const SamplerEngine& Engine() const { return mEngine; }
  // The last integer applied per parameter (tests and the editor read it).
  int AppliedInt(int paramIdx) const { return mParamIntCache[paramIdx]; }
  // Replaces the gap detection's time source (null: the steady clock) and restarts the gap from now.
  void SetRenderClock(ClockFn clock);
  // The editor's per-slot views (sample view, keyboard range view), built with the editor.
  SlotViews* Views() const { return mSlotViews.get(); }

private:
  class EditorLoadScope;
  // What the five runs of the SFZ reader decided for one instrument file.
  struct SfzPlan
  {
    std::array<SfzSlotResult, kNumSlots> runs;
  };
  static constexpr size_t kRetiredCapacity = 4 * kNumSlots;

  void InitSlotParams(int slot);
  void PrepareSlots();
  void MakeFactoryPresets();
  // Loading flow steps (KestruneLoading.cpp).
  bool RunDataStep(int slot);
  bool LoadSampleData(int slot, bool markChanged);
  void LoadFileUnderLock(int slot, const char* path);
  void LoadFileFromEditor(int slot, const char* path);
  void LoadSfzFromEditor(int slot, const std::string& path);
  void RunLoadJob(const LoadJob& job);
  // Loader thread: the slot's view computes the waveform of a prepared buffer, off the lock.
  void PrepareWaveform(int slot, PreparedSample* prepared);
  // Under the mutex: puts a prepared file into the slot (the header step's fields and the data step).
  void PublishPrepared(int slot, PreparedSample prepared, LoadRoute route);
  // Where a missing file of the host's route went (SampleLocator), or an empty text.
  std::string LocateMovedSample(int slot, const std::string& missing);
  // The slot holds path's data, decoded from the file as it still is on disk.
  bool KeepsLoadedSample(int slot, const std::string& path);
  // A file the editor's loader prepared for the locked step under way, if it prepared path.
  bool TakeOffered(const std::string& path, PreparedSample* prepared);
  // Takes the slot's buffer out; on the editor's route it is kept to be freed without the mutex.
  void RetireSampleData(int slot);
  std::vector<std::unique_ptr<double[]>> TakeRetired();
  bool PromptForFile(std::string* chosen);
  void MarkSlotChanged(int slot);
  void LoadFailed(int slot, const char* path, LoadRoute route);
  // The SFZ instrument at path for all five slots (KestruneSfz.cpp); idx is the slot it reached.
  void ReadSfz(int idx, const char* path);
  // The reader's five runs over an instrument file: reads files only, needs no mutex.
  static SfzPlan PlanSfz(const char* path, const std::array<bool, kNumSlots>& warned);
  // Carries the runs out under the mutex; the texts of the warning boxes are appended to `warnings`.
  void ApplySfz(const SfzPlan& plan, std::vector<std::string>& warnings);
  // Hands the warning boxes of an instrument file to the editor, in order (PostMessageBox): never waits
  // for the user. Not on the audio thread.
  void PostSfzWarnings(const std::vector<std::string>& warnings);
  // Sets a parameter from an instrument file as if the user had entered it; values below -100 are
  // values the file did not give.
  void SetParamFromFile(int paramIdx, double value);

  SamplerEngine mEngine;
  std::unique_ptr<SlotViews> mSlotViews; // the views themselves belong to the graphics context
  std::array<int, kNumParams> mParamIntCache;
  ParamInitTracker mParamInitTracker;
  bool mFirstBlockDone = false;
  bool mWasPlaying = false;
  ClockFn mClock = &Clock::now;
  Clock::time_point mLastBlockClock;
  std::array<SlotFile, kNumSlots> mSlotFiles;
  bool mReadingSfz = false;                        // the five runs of an instrument file are under way
  SlotInput mSlotInput{this};                      // the sample views' clicks and drops
  std::array<FileStamp, kNumSlots> mLoadedStamp;   // of the file each slot's buffer was decoded from
  std::vector<std::unique_ptr<double[]>> mRetired; // buffers to free once the mutex is released
  bool mDeferFrees = false;                        // an editor load's locked step is under way
  bool mEditorCaused = false;                      // ... and its changes are the user's
  std::vector<PreparedSample>* mOffered = nullptr; // files the loader prepared for that step
  LockHoldMeter mLoaderHold;                       // the loader thread's longest locked step
  // Last: stopped first, before anything its jobs touch goes.
  SampleLoader mLoader{[this](const LoadJob& job) { RunLoadJob(job); }};
};
