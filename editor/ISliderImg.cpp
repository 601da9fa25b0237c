#include "editor/ISliderImg.h"

#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"
#include "framework/Rounding.h"

#include <cstring>

namespace
{
constexpr int kDisplayAndUnitBytes = 64; // the value's display text and its unit label

IRECT MakeHandleRect(const IRECT& rect, const IBitmap& handle, int length, EDirection direction)
{
  const int cx = (rect.L + rect.R) / 2;
  if (direction == kHorizontal) return IRECT(cx - length / 2, rect.T, cx + length / 2, rect.T + handle.H);
  return IRECT(RoundHalfAway(cx - handle.W * 0.5), rect.T, RoundHalfAway(cx + handle.W * 0.5),
               rect.T + length);
}
} // namespace

ISliderImg::ISliderImg(IEffectBase* plug, int paramIdx, const IRECT& rect, const IBitmap& handle,
                       const IText& text, int length, EDirection direction)
    : IControl(plug, rect, paramIdx), mText(text),
      mHandleRect(MakeHandleRect(rect, handle, length, direction)), mHandle(handle), mLength(length),
      mTravel(direction == kHorizontal ? length - handle.W : length - handle.H), mDirection(direction)
{
}

double ISliderImg::ParamNormalized() const
{
  const IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  return param ? param->GetNormalized() : mValue;
}

IRECT ISliderImg::HandleDrawRect() const
{
  const double n = ParamNormalized();
  if (Vertical())
  {
    const int top = RoundHalfAway(mHandleRect.T + mTravel * (1.0 - n));
    return IRECT(mHandleRect.L, top, mHandleRect.R, top + mHandle.H);
  }
  return IRECT(RoundHalfAway(mHandleRect.L + mTravel * n), mHandleRect.T,
               RoundHalfAway(mHandleRect.L + mTravel * n + mHandle.W), mRECT.B);
}

bool ISliderImg::Draw(IGraphics* graphics)
{
  const IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  if (param && mText.mSize > 0)
  {
    char display[kDisplayAndUnitBytes] = {};
    param->GetDisplayForHost(display, MAX_PARAM_NAME_LEN);
    const char* unit = param->GetLabelForHost();
    const size_t used = std::strlen(display);
    const size_t unitLen = std::strlen(unit);
    if (unitLen > 0 && used + 1 + unitLen < sizeof(display))
    {
      display[used] = ' ';
      std::memcpy(display + used + 1, unit, unitLen + 1);
    }
    mText.mAlign = IText::kAlignCenter;
    IRECT r(mRECT.L, mRECT.B - mText.mSize, mRECT.R, mRECT.B);
    graphics->DrawText(&mText, display, &r);
  }
  IRECT handle = HandleDrawRect();
  graphics->DrawBitmapFrame(&mHandle, &handle, 1, &mBlend, true);
  return true;
}

void ISliderImg::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
  {
    PromptUserInput();
    return;
  }
  if (mod && mod->L && mHandleRect.Contains(x, y)) SetFromPosition(x, y);
}

void ISliderImg::OnMouseDrag(int x, int y, int, int, IMouseMod*)
{
  if (mHandleRect.Contains(x, y)) SetFromPosition(x, y);
}

void ISliderImg::SetFromPosition(int x, int y)
{
  if (mTravel <= 0) return;
  if (Vertical())
    mValue = (mHandle.H * 0.5 - (y - mHandleRect.T)) / mTravel + 1.0;
  else
    mValue = ((x - mHandleRect.L) - mHandle.W * 0.5) / mTravel;
  SetDirty(true);
}
