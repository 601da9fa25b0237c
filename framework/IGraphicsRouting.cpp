// Event routing: the platform's mouse, wheel, key and drop events go to the control under the
// pointer, or to the control holding the mouse from a mouse-down to the mouse-up.

#include "framework/IControl.h"
#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"

int IGraphics::ControlAt(int x, int y)
{
  if (mCaptureIdx >= 0) return mCaptureIdx;
  for (int i = NControls() - 1; i >= 0; --i)
  {
    IControl* c = mControls[static_cast<size_t>(i)].get();
    if (!c->IsHidden() && !c->IsGrayed() && c->HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod)
{
  TrackPointer(x, y);
  mCaptureIdx = -1;
  mMouseX = mMouseY = -1;
  int c = ControlAt(x, y);
  if (c < 0) return;
  IControl* control = GetControl(c);
  mCaptureIdx = c;
  mMouseX = x;
  mMouseY = y;
  mRightClick = mod && mod->R;
  int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug) mPlug->BeginInformHostOfParamChange(paramIdx);
  control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod)
{
  TrackPointer(x, y);
  int c = ControlAt(x, y);
  mCaptureIdx = -1;
  mMouseX = mMouseY = -1;
  mRightClick = false;
  IControl* control = GetControl(c);
  if (!control) return;
  control->OnMouseUp(x, y, mod);
  int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod)
{
  TrackPointer(x, y);
  IControl* control = GetControl(mCaptureIdx);
  if (!control) return;
  int dX = x - mMouseX;
  int dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  TrackPointer(x, y);
  mCaptureIdx = -1;
  int c = ControlAt(x, y);
  IControl* control = GetControl(c);
  if (!control) return false;
  int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug) mPlug->BeginInformHostOfParamChange(paramIdx);
  if (control->DblAsSingleClick())
  {
    mCaptureIdx = c;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDown(x, y, mod);
    return true;
  }
  control->OnMouseDblClick(x, y, mod);
  return false;
}

bool IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  TrackPointer(x, y);
  IControl* control = GetControl(ControlAt(x, y));
  if (!control) return false;
  int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug)
  {
    mPlug->BeginDelayedInformHostOfParamChange(paramIdx);
    control->OnMouseWheel(x, y, mod, d);
    mPlug->DelayEndInformHostOfParamChange(paramIdx);
  }
  else
  {
    control->OnMouseWheel(x, y, mod, d);
  }
  return true;
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod)
{
  TrackPointer(x, y);
  if (!mHandleMouseOver) return false;
  int c = ControlAt(x, y);
  if (c >= 0)
  {
    mMouseX = x;
    mMouseY = y;
    GetControl(c)->OnMouseOver(x, y, mod);
  }
  // The control left behind hears of it, also when the pointer is now over no control at all.
  if (mOverIdx >= 0 && mOverIdx != c)
    if (IControl* previous = GetControl(mOverIdx)) previous->OnMouseOut();
  mOverIdx = c;
  return mHandleMouseOver;
}

void IGraphics::OnMouseOut()
{
  if (IControl* previous = GetControl(mOverIdx)) previous->OnMouseOut();
  mOverIdx = -1;
}

void IGraphics::OnDrop(int x, int y, const char* path)
{
  TrackPointer(x, y);
  int c = ControlAt(x, y);
  mCaptureIdx = -1;
  mMouseX = mMouseY = -1;
  mRightClick = false;
  IControl* control = GetControl(c);
  if (!control) return;
  control->OnDrop(x, y, path ? path : "");
  int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

bool IGraphics::OnKeyPress(int x, int y, int key)
{
  IControl* control = GetControl(ControlAt(x, y));
  if (!control) return false;
  control->OnKeyPress(x, y, key);
  return true;
}

int IGraphics::ProcessMouseWheel(float delta)
{
  int d = static_cast<int>(delta);
  if (d == 0) return 0;
  IMouseMod mod;
  return OnMouseWheel(mPointerX, mPointerY, &mod, d) ? 1 : 0;
}
