#pragma once
// The keyboard range view under each slot's sample view: shows the slot's key range and root note on
// a compressed note axis (notes below the range squeezed to its left, notes above it to its right), the
// keys being held, and the names of the low, root and high notes. Dragging along the top band moves the
// range end nearer the press for the whole drag, or the root marker when the drag starts on it; a right click
// (or a left click below the band) opens a text entry for the note number of the third clicked. Every edit
// goes to the slot's Low Note, High Note or Root Note parameter, and the engine writes the values back
// (SetLowKey...).
//
// Notes are view notes: MIDI note - 12, 0..115.
//
// Threads: Draw and the mouse and text handlers run on the UI thread. SetLowKey, SetHighKey,
// SetRootKey, SetNoteHeld and ClearHeldNotes are called by the engine under the instance mutex,
// SetNoteHeld and ClearHeldNotes on the audio thread; they allocate nothing and never block. The values
// they share with Draw are relaxed atomics: a draw may see a held list in the middle of an update,
// which only affects one frame.

#include "editor/EditorConstants.h"
#include "framework/IControl.h"

#include <atomic>
#include <cstdint>

class MySample;
class NoteNumberField;

class SampleRange : public IControl
{
public:
  enum EEditMode
  {
    kEditNone = 0,
    kEditLow = 1,
    kEditHigh = 2,
    kEditRootText = 3,
    kEditRootMouse = 4
  };

  SampleRange(IEffectBase* plug, const IRECT& rect, int slot, MySample* sampleView);

  // Loads the note marks and adds the hidden note-number field to the graphics context (once). The
  // layout calls it right after creating the editor's controls; Draw calls it if nobody has.
  void Initialise(IGraphics* graphics);

  bool Draw(IGraphics* graphics) override;
  // Answers the view's own redraw flag and clears it.
  bool IsDirty() override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  // The end of a text entry (broadcast to every unbound control): applies the field's note number when
  // this view opened the entry. The value passed in is not used.
  void SetValueFromUserInput(double value) override;

  // ---- Engine side ----
  void SetLowKey(int key);
  void SetHighKey(int key);
  void SetRootKey(int key);
  // A note-on or note-off of MIDI note midiNote.
  void SetNoteHeld(int midiNote, bool on);
  void ClearHeldNotes();

  // ---- State, for the layout, the snapshot tool and tests ----
  int Slot() const { return mSlot; }
  int Low() const { return mLow.load(std::memory_order_relaxed); }
  int High() const { return mHigh.load(std::memory_order_relaxed); }
  int Root() const { return mRoot.load(std::memory_order_relaxed); }
  int EditMode() const { return mEditMode; }
  bool IsEditing() const { return mEditing; }
  NoteNumberField* TextField() const { return mField; }
  int HeldCount() const { return mHeldCount.load(std::memory_order_relaxed); }
  // View note of held entry i (i < HeldCount()), or -1.
  int HeldNote(int i) const;
  // The range bar and root marker for the current values.
  IRECT RangeBarRect() const;
  IRECT RootMarkerRect() const;
  // Left edge of the mark for held view note n and whether it is drawn as in range.
  int HeldMarkX(int n, bool* inRange) const;

private:
  int UsableWidth() const { return (mRECT.R - 10) - mRECT.L; }
  int BarLeft() const;  // a
  int BarRight() const; // b
  void OpenTextEntry(int x);
  void MouseEdit(int x, int y, bool click);
  // Writes a new value into the slot's parameter (kind kLowNote, kHighNote or kRootNote) and applies it.
  void SetSlotParam(int kind, int midiNote);
  void SetCursor(int cursorId);
  void NarrowedRange();

  int mSlot;
  MySample* mSampleView;
  NoteNumberField* mField = nullptr;
  IBitmap mNoteOn, mNoteOff;
  IText mFieldStyle;
  std::atomic<int16_t> mLow{-1}, mHigh{-1}, mRoot{-1};
  // Entries hold view note + 1, so that 0 can mark a free entry and MIDI 12 is still tracked.
  std::atomic<int16_t> mHeld[kMaxHeldNotes] = {};
  std::atomic<int16_t> mHeldCount{0};
  std::atomic<bool> mRedraw{true};
  short mEditMode = kEditNone;
  // The range end a mouse gesture moves (kEditLow or kEditHigh), chosen once per gesture; kEditNone
  // between gestures.
  short mDragEnd = kEditNone;
  bool mInitialised = false;
  bool mEditing = false;
};
