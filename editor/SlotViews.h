#pragma once
// The editor side of the engine's notifications: forwards each one to the keyboard range view or the
// sample view of the slot it names. Called by the engine under the instance mutex, on the audio thread
// for note events: it allocates nothing and never blocks (the views' fields it touches are atomics).

#include "engine/EngineConstants.h"
#include "engine/EngineViews.h"

class MySample;
class SampleRange;

class SlotViews : public EngineViews
{
public:
  SlotViews() = default;

  // Set by the layout, once per slot, before the engine is told about this object.
  void SetViews(int slot, MySample* sampleView, SampleRange* rangeView);
  MySample* SampleView(int slot) const { return Valid(slot) ? mSampleView[slot] : nullptr; }
  SampleRange* RangeView(int slot) const { return Valid(slot) ? mRangeView[slot] : nullptr; }

  void SetLowKey(int slot, int key) override;
  void SetHighKey(int slot, int key) override;
  void SetRootKey(int slot, int key) override;
  void SetNoteHeld(int slot, int note, bool held) override;
  void ClearHeldNotes(int slot) override;
  void SamplePlayed(int slot) override;
  void SampleChanged(int slot) override;
  void PrepareWaveform(int slot, const double* data, uint32_t frames, int channels) override;
  void AdoptWaveform(int slot, const double* data) override;

private:
  static bool Valid(int slot) { return slot >= 0 && slot < kNumSlots; }

  MySample* mSampleView[kNumSlots] = {};
  SampleRange* mRangeView[kNumSlots] = {};
};
