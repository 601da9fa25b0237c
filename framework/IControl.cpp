#include "framework/IControl.h"

#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"

namespace
{
constexpr double kWheelStep = 0.01;      // value change per wheel notch
constexpr double kFineWheelStep = 0.001; // with Control or Shift held
} // namespace

IControl::IControl(IEffectBase* plug, const IRECT& rect, int paramIdx, const IChannelBlend& blend)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend)
{
}

IControl::~IControl() = default;

IGraphics* IControl::GetGUI() const
{
  return IGraphics::Of(mPlug);
}

void IControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->R && mParamIdx >= 0 && !mDisablePrompt) PromptUserInput();
}

void IControl::OnMouseUp(int, int, IMouseMod*) {}
void IControl::OnDrop(int, int, const char*) {}
void IControl::OnMouseDrag(int, int, int, int, IMouseMod*) {}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  if (mDefaultValue >= 0.0)
  {
    mValue = mDefaultValue;
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  bool fine = mod && (mod->C || mod->S);
  mValue += d * (fine ? kFineWheelStep : kWheelStep);
  SetDirty(true);
}

void IControl::OnKeyPress(int, int, int) {}
void IControl::OnMouseOver(int, int, IMouseMod*) {}
void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0)
  {
    mDefaultValue = mValue = value;
    SetDirty(false);
  }
  else if (mValue != value)
  {
    mValue = value;
    SetDirty(false);
  }
}

void IControl::SetValueFromUserInput(double value)
{
  if (mValue != value) mValue = value;
  mInputPending = false;
  SetDirty(true);
  mRedraw = true;
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::HitTest(int x, int y)
{
  return mTargetRECT.Contains(x, y);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  if (mValue < mClampLo) mValue = mClampLo;
  if (mValue > mClampHi) mValue = mClampHi;
  mDirty = true;
  if (pushParamToPlug && mParamIdx >= 0 && mPlug) mPlug->SetParameterFromGUI(mParamIdx, mValue);
}

void IControl::SetClean()
{
  mDirty = mRedraw;
  mRedraw = false;
}

bool IControl::IsDirty()
{
  return mDirty;
}

void IControl::PromptUserInput()
{
  IGraphics* gui = GetGUI();
  if (!gui || mParamIdx < 0) return;
  IParam* param = mPlug->GetParam(mParamIdx);
  if (!param) return;
  mInputPending = true;
  gui->PromptUserInput(this, param, true);
  mRedraw = true;
}

void IControl::CancelUserInput()
{
  mInputPending = false;
  SetDirty(true);
  mRedraw = true;
}
