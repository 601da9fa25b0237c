// Mouse, wheel, keys, drops and the inline text entry of the Linux editor. Everything here runs with
// the instance mutex and the editor mutex held (IGraphicsLinux::DoWork).

#include "platform/linux/IGraphicsLinux.h"

#include "framework/IControl.h"
#include "framework/IEditableTextControl.h"
#include "framework/IParam.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11TextEntry.h"
#include "platform/linux/X11Tunables.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
// The key codes controls receive: space 0, arrows 1-4, digits 6-15, letters 16-41; -1 for others.
int KeyCodeOf(unsigned long sym)
{
  switch (sym)
  {
  case XK_space:
    return 0;
  case XK_Up:
    return 1;
  case XK_Down:
    return 2;
  case XK_Left:
    return 3;
  case XK_Right:
    return 4;
  default:
    break;
  }
  if (sym >= XK_0 && sym <= XK_9) return 6 + static_cast<int>(sym - XK_0);
  if (sym >= XK_a && sym <= XK_z) return 16 + static_cast<int>(sym - XK_a);
  if (sym >= XK_A && sym <= XK_Z) return 16 + static_cast<int>(sym - XK_A);
  return -1;
}

IMouseMod ModOf(unsigned int state, bool left, bool right)
{
  return IMouseMod(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0,
                   (state & Mod1Mask) != 0);
}
} // namespace

void IGraphicsLinux::HandleInput(const InputEvent& windowEvent)
{
  // Controls see layout units: window pixels are divided by the editor's scale here, once.
  InputEvent event = windowEvent;
  if (!event.mInUnits)
  {
    event.mX = ToUnits(windowEvent.mX);
    event.mY = ToUnits(windowEvent.mY);
    event.mInUnits = true;
  }
  switch (event.mKind)
  {
  case InputEvent::kButtonPress:
    HandleButtonPress(event);
    return;
  case InputEvent::kButtonRelease:
  {
    if (event.mButton != Button1 && event.mButton != Button3) return;
    TrackPointer(event.mX, event.mY);
    IMouseMod mod = ModOf(event.mState, event.mButton == Button1, event.mButton == Button3);
    OnMouseUp(event.mX, event.mY, &mod);
    return;
  }
  case InputEvent::kMotion:
  {
    TrackPointer(event.mX, event.mY);
    bool left = (event.mState & Button1Mask) != 0;
    bool right = (event.mState & Button3Mask) != 0;
    IMouseMod mod = ModOf(event.mState, left, right);
    if (left || right)
      OnMouseDrag(event.mX, event.mY, &mod);
    else
      OnMouseOver(event.mX, event.mY, &mod);
    return;
  }
  case InputEvent::kLeave:
    if (mHandleMouseOver) OnMouseOut();
    return;
  case InputEvent::kKey:
  {
    if (mEntry)
    {
      mEntry->HandleKey(event.mKeySym, event.mChar);
      return;
    }
    int key = KeyCodeOf(event.mKeySym);
    if (key >= 0) OnKeyPress(mPointerX, mPointerY, key);
    return;
  }
  case InputEvent::kDrop:
    // A click elsewhere commits an open entry; a drop is such a click.
    if (mEntry) mEntry->Model().Commit();
    TrackPointer(event.mX, event.mY);
    OnDrop(event.mX, event.mY, event.mPath.c_str());
    return;
  case InputEvent::kWindowGone:
    CloseWindowLocked(true);
    return;
  }
}

void IGraphicsLinux::HandleButtonPress(const InputEvent& event)
{
  TrackPointer(event.mX, event.mY);
  // Wheel notches come as presses of buttons 4 (up) and 5 (down); sideways ones are not ours.
  if (event.mButton == Button4 || event.mButton == Button5)
  {
    IMouseMod mod = ModOf(event.mState, false, false);
    OnMouseWheel(event.mX, event.mY, &mod,
                 event.mButton == Button4 ? kWheelNotchesPerButton : -kWheelNotchesPerButton);
    return;
  }
  if (event.mButton == Button3)
  {
    if (mEntry)
    {
      // A right click cancels the entry; a free-text field learns it at once.
      mEntry->Model().Cancel();
      if (!mEntryParam && mEntryControl) ApplyPromptText(mEntryControl, nullptr, "");
      return;
    }
    IMouseMod mod = ModOf(event.mState, false, true);
    OnMouseDown(event.mX, event.mY, &mod);
    return;
  }
  if (event.mButton != Button1) return;
  if (mEntry)
  {
    if (event.mInEntry) return; // clicks inside the field keep editing
    mEntry->Model().Commit();   // a click elsewhere commits on the next tick
  }
  IMouseMod mod = ModOf(event.mState, true, false);
  bool dbl = mLastClickTime != 0 &&
             event.mTime - mLastClickTime <= static_cast<unsigned long>(kDoubleClickMs) &&
             std::abs(event.mX - mLastClickX) <= kDoubleClickSlopPx &&
             std::abs(event.mY - mLastClickY) <= kDoubleClickSlopPx;
  if (dbl)
  {
    mLastClickTime = 0; // a third click starts a new pair
    OnMouseDblClick(event.mX, event.mY, &mod);
    return;
  }
  mLastClickTime = event.mTime;
  mLastClickX = event.mX;
  mLastClickY = event.mY;
  OnMouseDown(event.mX, event.mY, &mod);
}

// ---- Text entry ----

void IGraphicsLinux::PromptUserInput(IControl* control, IParam* param, bool centre)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (!control || !param || mEntry || !mWindow || !mWindowAlive) return;
  char text[MAX_PARAM_NAME_LEN] = {};
  param->GetDisplayForHost(text, sizeof(text));
  std::vector<std::string> choices;
  if (param->GetNDisplayTexts() > 0)
    for (int v = static_cast<int>(param->GetMin()); v <= static_cast<int>(param->GetMax()); ++v)
      if (*param->GetDisplayText(v)) choices.emplace_back(param->GetDisplayText(v));

  const IRECT& cr = control->GetRECT();
  IRECT r = cr;
  if (centre)
  {
    char longest[MAX_PARAM_NAME_LEN] = {};
    param->GetDisplayForHost(param->GetMax(), false, longest, sizeof(longest));
    int length = static_cast<int>(std::max(std::strlen(longest), std::strlen(text)));
    for (const std::string& choice : choices)
      length = std::max(length, static_cast<int>(choice.size()));
    int w = std::max(kCentredEntryMinWidthPx, kCentredEntryCharWidthPx * length + kCentredEntryExtraWidthPx);
    r = IRECT(cr.MW() - w / 2, cr.MH() - kCentredEntryHeightPx / 2, cr.MW() - w / 2 + w,
              cr.MH() - kCentredEntryHeightPx / 2 + kCentredEntryHeightPx);
  }
  mEntryControl = control;
  mEntryParam = param;
  OpenEntry(r, centre ? X11TextEntry::kAlignCentre : X11TextEntry::kAlignLeft, false, text,
            std::move(choices));
}

void IGraphicsLinux::PromptUserInput(IEditableTextControl* control)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (!control || mEntry || !mWindow || !mWindowAlive) return;
  int align = control->GetStyle()->mAlign;
  X11TextEntry::EAlign entryAlign = align == IText::kAlignCenter ? X11TextEntry::kAlignCentre
                                    : align == IText::kAlignFar  ? X11TextEntry::kAlignRight
                                                                 : X11TextEntry::kAlignLeft;
  mEntryControl = control;
  mEntryParam = nullptr;
  OpenEntry(control->GetRECT(), entryAlign, control->IsSecret(), control->GetText(), {});
}

void IGraphicsLinux::OpenEntry(const IRECT& r, int align, bool secret, const std::string& text,
                               std::vector<std::string> choices)
{
  Display* display = mConnection->GetDisplay();
  // Keep the field inside the editor; the field is a window of ours, in pixels.
  IRECT field = ToPixels(r);
  if (field.R > PixelWidth()) field = IRECT(PixelWidth() - field.W(), field.T, PixelWidth(), field.B);
  if (field.L < 0) field = IRECT(0, field.T, field.W(), field.B);
  mEntryX = field.L;
  mEntryY = field.T;
  mEntry = std::make_unique<X11TextEntry>(display, mWindow, field, static_cast<X11TextEntry::EAlign>(align),
                                          secret, ScalePercent());
  mEntry->Model().Start(text, kMaxEntryChars, std::move(choices));
  // Typing needs the keyboard; it goes back where it was when the field closes.
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  mEntryPreviousFocus = focus;
  XSetInputFocus(display, mEntry->GetWindow(), RevertToParent, CurrentTime);
  mEntry->Redraw();
}

void IGraphicsLinux::FinishEntry()
{
  if (!mEntry) return;
  TextEntryModel::EState state = mEntry->Model().State();
  if (state != TextEntryModel::kCommit && state != TextEntryModel::kCancel) return;
  std::string text = mEntry->Model().Text();
  IControl* control = mEntryControl;
  IParam* param = mEntryParam;
  Display* display = mConnection->GetDisplay();
  if (mWindowAlive && mEntryPreviousFocus > PointerRoot)
    XSetInputFocus(display, mEntryPreviousFocus, RevertToParent, CurrentTime);
  mEntry.reset();
  mEntryControl = nullptr;
  mEntryParam = nullptr;
  mEntryPreviousFocus = 0;
  if (!control) return;
  if (state == TextEntryModel::kCommit) ApplyPromptText(control, param, text.c_str());
  control->CancelUserInput(); // the control's input has ended either way
}

bool IGraphicsLinux::TextEntryOpen() const
{
  return mEntry != nullptr;
}
