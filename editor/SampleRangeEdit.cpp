// The keyboard range view's editing: mouse drags along the top band and typed note numbers.

#include "editor/EditorText.h"
#include "editor/MySample.h"
#include "editor/NoteNumberField.h"
#include "editor/SampleRange.h"
#include "engine/EngineConstants.h"
#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"
#include "framework/Rounding.h"
#include "framework/TextUtil.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace
{
constexpr int kRootGrabOffsetPx = 5; // the root marker's pointer x sits 5 px right of its note
constexpr int kHighGrabOffsetPx = 10;
constexpr int kLowestTypedRoot = 13; // typed roots below this give view note 0
constexpr int kHighestMidiNote = 127;
constexpr int kNumberBytes = 16;

} // namespace

void SampleRange::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (!mod) return;
  // A text entry opens for a right click anywhere, or a left click below the band. The view does not
  // wait for an entry it opened earlier: a platform that closes an entry without an answer (the user
  // pressed Escape) tells no-one, and the view must still offer the next one.
  if (mod->R || (mod->L && y > mRECT.T + kRangeBandBottomPx))
  {
    OpenTextEntry(x);
    return;
  }
  if (mod->L && mRECT.Contains(x, y) && y <= mRECT.T + kRangeBandBottomPx)
  {
    mEditMode = kEditNone;
    mDragEnd = kEditNone;
    MouseEdit(x, y, true);
  }
}

void SampleRange::OnMouseDrag(int x, int y, int, int, IMouseMod* mod)
{
  if (mod && mod->R) return;
  if (!mRECT.Contains(x, y) || y >= mRECT.T + kRangeBandBottomPx) return;
  SetCursor(IGraphics::kCursorSizeWE);
  MouseEdit(x, y, false);
}

void SampleRange::OnMouseUp(int, int, IMouseMod*)
{
  mDragEnd = kEditNone;
  SetCursor(IGraphics::kCursorArrow);
}

void SampleRange::OpenTextEntry(int x)
{
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  Initialise(graphics);
  if (!mField) return;
  const int L = mRECT.L, R = mRECT.R;
  const int cx = static_cast<int>((R + L) * 0.5f);
  int note = 0;
  if (x < L + RoundHalfAway((R - L) / 3.0))
  {
    mField->MoveTo(L, L + 2 * kRangeFieldHalfPx);
    mEditMode = kEditLow;
    note = Low();
  }
  else if (x > L + RoundHalfAway(2.0 * (R - L) / 3.0))
  {
    mField->MoveTo(R - 2 * kRangeFieldHalfPx, R);
    mEditMode = kEditHigh;
    note = High();
  }
  else
  {
    mField->MoveTo(cx - kRangeFieldHalfPx, cx + kRangeFieldHalfPx);
    mEditMode = kEditRootText;
    note = Root();
  }
  char text[kNumberBytes];
  FormatInt(note + kViewNoteOffset, text, sizeof(text));
  mField->SetTextFromPlug(text);
  mEditing = true;
  graphics->PromptUserInput(mField);
}

void SampleRange::MouseEdit(int x, int, bool click)
{
  const int L = mRECT.L;
  const int w = UsableWidth();
  const double k = 1.0 / kViewNoteMax;
  const int low = Low(), high = High(), root = Root();
  const int loX = L + RoundHalfAway(low * w * k);
  const int hiX = L + kHighGrabOffsetPx + RoundHalfAway(high * w * k);
  const int rootX = L + kRootGrabOffsetPx + RoundHalfAway(root * w * k);
  const int mid = static_cast<int>((loX + hiX + 1) * 0.5);

  bool rootEdit = mEditMode == kEditRootMouse;
  if (!rootEdit && click && x >= rootX - kRangeGrabPx && x <= rootX + kRangeGrabPx) rootEdit = true;
  if (!rootEdit)
  {
    // The end nearer the press (or the first step of a drag that began elsewhere) is the one moved for
    // the whole gesture: dragging it past the middle of the range, or past the other end, never moves
    // the other end.
    if (mDragEnd == kEditNone) mDragEnd = x > mid ? kEditHigh : kEditLow;
    if (mDragEnd == kEditHigh)
    {
      if (click && std::abs(x - hiX) <= kRangeGrabPx) SetCursor(IGraphics::kCursorSizeWE);
      const int wanted =
          static_cast<int>(std::ceil(((x - kHighGrabOffsetPx) - L) * static_cast<double>(kViewNoteMax) / w));
      const int newHigh = std::max(low, std::min(wanted, static_cast<int>(kViewNoteMax)));
      SetSlotParam(kHighNote, newHigh + kViewNoteOffset);
      if (newHigh < high) NarrowedRange();
    }
    else
    {
      if (click && std::abs(x - loX) <= kRangeGrabPx) SetCursor(IGraphics::kCursorSizeWE);
      const int wanted = static_cast<int>((x - L) * static_cast<double>(kViewNoteMax) / w);
      const int newLow = std::min(std::max(wanted, 0), high);
      SetSlotParam(kLowNote, newLow + kViewNoteOffset);
      if (newLow > low) NarrowedRange();
    }
  }
  if (rootEdit)
  {
    if (click) SetCursor(IGraphics::kCursorUpArrow);
    const int newRoot =
        std::clamp(RoundHalfAway(((x - kRootGrabOffsetPx) - L) * static_cast<double>(kViewNoteMax) / w), 0,
                   static_cast<int>(kViewNoteMax));
    SetSlotParam(kRootNote, newRoot + kViewNoteOffset);
    mEditMode = kEditRootMouse;
  }
  mRedraw.store(true, std::memory_order_relaxed);
}

void SampleRange::NarrowedRange()
{
  if (mSampleView && mSampleView->ClearPlayedMark()) mSampleView->SetChanged();
}

void SampleRange::SetValueFromUserInput(double)
{
  if (mEditing && mField && !mField->GetText().empty())
  {
    int v = 0;
    // Text that is not a number changes nothing.
    if (ParseLeadingInt(mField->GetText().c_str(), &v))
    {
      const int low = Low(), high = High();
      switch (mEditMode)
      {
      case kEditLow:
        SetSlotParam(kLowNote, std::clamp(v - kViewNoteOffset, 0, std::max(high, 0)) + kViewNoteOffset);
        break;
      case kEditHigh:
      {
        const int t = v <= kHighestMidiNote ? v - kViewNoteOffset : kViewNoteMax;
        SetSlotParam(kHighNote, std::max(low, t) + kViewNoteOffset);
        break;
      }
      case kEditRootText:
      {
        const int root =
            v < kLowestTypedRoot ? 0 : (v <= kHighestMidiNote ? v - kViewNoteOffset : kViewNoteMax);
        SetSlotParam(kRootNote, root + kViewNoteOffset);
        break;
      }
      default:
        break;
      }
      mField->SetTextFromPlug("");
      mRedraw.store(true, std::memory_order_relaxed);
    }
  }
  mEditing = false;
}

void SampleRange::SetSlotParam(int kind, int midiNote)
{
  if (!mPlug) return;
  const int idx = mSlot * kParamsPerSlot + kind;
  IParam* param = mPlug->GetParam(idx);
  if (!param) return;
  // Parameter writers hold the instance mutex (the audio thread applies automation under it).
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  mPlug->BeginInformHostOfParamChange(idx);
  param->SetClamped(midiNote);
  // The host hears the new value too, so that a recorded gesture holds it.
  mPlug->InformHostOfParamChange(idx, param->GetNormalized());
  mPlug->EndInformHostOfParamChange(idx);
  mPlug->OnParamChange(idx);
}

void SampleRange::SetCursor(int cursorId)
{
  if (IGraphics* graphics = GetGUI()) graphics->SetCursor(cursorId);
}
