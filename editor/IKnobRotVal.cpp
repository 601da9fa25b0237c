#include "editor/IKnobRotVal.h"

#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr int kDisplayBytes = 64;

// Half of a pixel size, rounded half up (56 -> 28, 57 -> 29).
int HalfRounded(int size)
{
  return static_cast<int>(size * 0.5 + 0.5);
}

IRECT KnobRect(int cx, int cy, const IBitmap& knob, int widthOverride, int textOffset, int textSize)
{
  const int halfW = widthOverride > 0 ? widthOverride / 2 : HalfRounded(knob.W / (knob.N > 0 ? knob.N : 1));
  const int halfH = HalfRounded(knob.H);
  const int bottom = textOffset < 0 ? cy + halfH : cy + textOffset + textSize + halfH;
  return IRECT(cx - halfW, cy - halfH, cx + halfW, bottom);
}
} // namespace

IKnobRotVal::IKnobRotVal(IEffectBase* plug, int paramIdx, int cx, int cy, const IBitmap& knob,
                         const IText& text, int textOffset, int angleRangeDeg, int widthOverride,
                         EDirection direction, bool showUnit, int steps, double gearing, float knobWeight)
    : IKnobControl(plug, KnobRect(cx, cy, knob, widthOverride, textOffset, text.mSize), paramIdx, direction,
                   gearing),
      mText(text), mKnob(knob), mCX(cx), mCY(cy), mTextOffset(textOffset), mAngleRangeDeg(angleRangeDeg),
      mSteps(static_cast<short>(steps)), mKnobWeight(knobWeight), mShowUnit(showUnit),
      mDrawBlend(IChannelBlend::kBlendNone, knobWeight)
{
}

IRECT IKnobRotVal::TextRect() const
{
  if (mTextOffset < 0)
    return IRECT(mRECT.L, mRECT.B + mTextOffset - mText.mSize, mRECT.R, mRECT.B + mTextOffset);
  return IRECT(mRECT.L, mRECT.B - mText.mSize, mRECT.R, mRECT.B);
}

double IKnobRotVal::Angle() const
{
  return (mAngleRangeDeg * kPi / 360.0) * (2.0 * mValue - 1.0);
}

bool IKnobRotVal::Draw(IGraphics* graphics)
{
  mDrawBlend = IChannelBlend(IChannelBlend::kBlendNone, mKnobWeight);
  const IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  if (param && mText.mSize >= 1)
  {
    char display[kDisplayBytes] = {};
    param->GetDisplayForHost(display, MAX_PARAM_NAME_LEN);
    if (display[0] != '\0')
    {
      mText.mAlign = IText::kAlignCenter;
      if (mShowUnit)
      {
        const char* unit = param->GetLabelForHost();
        const size_t used = std::strlen(display);
        const size_t unitLen = std::strlen(unit);
        if (unitLen > 0 && used + 1 + unitLen < sizeof(display))
        {
          display[used] = ' ';
          std::memcpy(display + used + 1, unit, unitLen + 1);
        }
      }
      IRECT r = TextRect();
      graphics->DrawText(&mText, display, &r);
    }
  }
  // Multi-frame knobs are not used by this editor; the first frame turns and the last one is laid
  // over it unturned, as a fixed cap.
  if (mKnob.N <= 1)
  {
    graphics->DrawRotatedBitmap(&mKnob, mCX, mCY, Angle(), &mDrawBlend);
  }
  else
  {
    IBitmap first(mKnob.mData, mKnob.W / mKnob.N, mKnob.H, 1);
    graphics->DrawRotatedBitmap(&first, mCX, mCY, Angle(), &mDrawBlend);
    const int frameW = mKnob.W / mKnob.N;
    IRECT cap(mCX - frameW / 2, mCY - mKnob.H / 2, mCX - frameW / 2 + frameW, mCY - mKnob.H / 2 + mKnob.H);
    graphics->DrawBitmapFrame(&mKnob, &cap, mKnob.N, &mDrawBlend, true);
  }
  return true;
}

void IKnobRotVal::OnMouseUp(int, int, IMouseMod*)
{
  if (mSteps > 0) mValue = std::floor(mSteps * mValue + 0.5) / mSteps;
  SetDirty(true);
}
