#pragma once
// What the engine tells a slot's editor views. The engine calls these under the instance mutex, on the
// audio thread for note events: an implementation allocates nothing and never blocks. Until an editor
// is attached the engine talks to this do-nothing default.

#include <cstdint>

class EngineViews
{
public:
  virtual ~EngineViews() = default;

  // Keyboard view: the slot's key range or root changed (keys are note numbers - 12).
  virtual void SetLowKey(int /*slot*/, int /*key*/) {}
  virtual void SetHighKey(int /*slot*/, int /*key*/) {}
  virtual void SetRootKey(int /*slot*/, int /*key*/) {}
  // Keyboard view: note went on or off; all notes released.
  virtual void SetNoteHeld(int /*slot*/, int /*note*/, bool /*held*/) {}
  virtual void ClearHeldNotes(int /*slot*/) {}
  // Sample view: a voice started on the slot (set the played mark unless set, mark changed).
  virtual void SamplePlayed(int /*slot*/) {}
  // Sample view: the slot's data changed in place (reversed) or was replaced.
  virtual void SampleChanged(int /*slot*/) {}
  // Sample view, on the instance's loader thread without the mutex (the one exception to the rule
  // above): the waveform of a buffer about to be published into the slot, computed off the lock.
  virtual void PrepareWaveform(int /*slot*/, const double* /*data*/, uint32_t /*frames*/, int /*channels*/) {}
  // Sample view, under the mutex: that buffer is now the slot's data (after SampleChanged).
  virtual void AdoptWaveform(int /*slot*/, const double* /*data*/) {}
};
