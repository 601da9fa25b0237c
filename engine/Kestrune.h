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
#include "engine/ParamInitTracker.h"
#include "engine/SamplerEngine.h"
#include "framework/IEffectVST.h"

#include <array>
#include <chrono>
#include <memory>

// Identity towards the host.
constexpr const char* kKestruneEffectName = "Kestrune";
constexpr const char* kKestruneProductName = "";
constexpr const char* kKestruneMfrName = "Tovrane";
constexpr int kKestruneVersion = 0x00010100;  // 1.1.0
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
  // Host thread, takes the instance mutex: a restored sample path for slot idx. Stored as the slot's
  // extra-parameter text; a text longer than the field is refused.
  void OnExtraParam(int idx, char* str) override;

  SamplerEngine& Engine() { return mEngine; }
  const SamplerEngine& Engine() const { return mEngine; }
  // The last integer applied per parameter (tests and the editor read it).
  int AppliedInt(int paramIdx) const { return mParamIntCache[paramIdx]; }
  // Replaces the gap detection's time source (null: the steady clock) and restarts the gap from now.
  void SetRenderClock(ClockFn clock);
  // The editor's per-slot views (sample view, keyboard range view), built with the editor.
  SlotViews* Views() const { return mSlotViews.get(); }

private:
  void InitSlotParams(int slot);
  void PrepareSlots();
  void MakeFactoryPresets();

  SamplerEngine mEngine;
  std::unique_ptr<SlotViews> mSlotViews; // the views themselves belong to the graphics context
  std::array<int, kNumParams> mParamIntCache;
  ParamInitTracker mParamInitTracker;
  bool mFirstBlockDone = false;
  bool mWasPlaying = false;
  ClockFn mClock = &Clock::now;
  Clock::time_point mLastBlockClock;
};
