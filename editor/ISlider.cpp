#include "editor/ISlider.h"

#include "framework/IGraphics.h"
#include "framework/Rounding.h"

#include <algorithm>

ISlider::ISlider(IEffectBase* plug, int paramIdx, const IRECT& rect, const IBitmap& handle, const IText& text,
                 int length, const IColor& barColor, int barThickness, EDirection direction, int endMargin,
                 bool centred)
    : ISliderImg(plug, paramIdx, rect, handle, text, length, direction), mBarColor(barColor),
      mBarThickness(barThickness), mEndMargin(endMargin), mCentred(centred)
{
}

bool ISlider::BarRect(IRECT* out) const
{
  const double v = mValue;
  const int half = mBarThickness / 2;
  const IRECT& h = mHandleRect;
  if (!Vertical())
  {
    const float cy = static_cast<float>(h.T + h.B) / 2.0f;
    const int halfW = mHandle.W / 2;
    const int top = RoundHalfAway(cy - half);
    const int bottom = RoundHalfAway(cy + half);
    if (mCentred)
    {
      *out = IRECT(RoundHalfAway(h.L + mTravel * std::min(v, 0.5) + halfW), top,
                   RoundHalfAway(h.L + mTravel * std::max(v, 0.5) + halfW), bottom);
      return true;
    }
    if (mTravel * v + halfW <= mEndMargin) return false;
    *out = IRECT(h.L + mEndMargin, top, RoundHalfAway(h.L + mTravel * v + halfW), bottom);
    return true;
  }
  const float cx = static_cast<float>(h.L + h.R) / 2.0f;
  const double d = mTravel * (1.0 - v);
  const int halfH = mHandle.H / 2;
  if (halfH + mTravel - mEndMargin <= d) return false;
  *out = IRECT(RoundHalfAway(cx - half), RoundHalfAway(halfH + h.T + d), RoundHalfAway(cx + half),
               mTravel + h.T + mHandle.H - mEndMargin);
  return true;
}

bool ISlider::Draw(IGraphics* graphics)
{
  IRECT bar;
  if (BarRect(&bar)) graphics->FillRect(&mBarColor, &bar);
  return ISliderImg::Draw(graphics);
}
