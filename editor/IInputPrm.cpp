#include "editor/IInputPrm.h"

#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"
#include "framework/TextUtil.h"

namespace
{
constexpr int kValueBytes = 32;
}

IInputPrm::IInputPrm(IEffectBase* plug, const IRECT& rect, int paramIdx, const IText& text, int format,
                     int xOffset)
    : IControl(plug, rect, paramIdx), mText(text), mFormat(static_cast<short>(format)),
      mXOffset(static_cast<short>(xOffset))
{
}

void IInputPrm::FormatValue(char* out, size_t outSize) const
{
  if (!out || outSize == 0) return;
  out[0] = '\0';
  const IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  if (!param) return;
  const double v = param->Value();
  if (mFormat == 1 || mFormat == 2)
    FormatFixed(v, mFormat, out, outSize);
  else
    FormatInt(static_cast<long long>(v >= 0.0 ? v + 0.5 : v - 0.5), out, outSize);
}

bool IInputPrm::Draw(IGraphics* graphics)
{
  char text[kValueBytes];
  FormatValue(text, sizeof(text));
  IRECT r(mRECT.L + mXOffset, mRECT.T, mRECT.R, mRECT.B);
  graphics->DrawText(&mText, text, &r);
  return true;
}

void IInputPrm::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* graphics = GetGUI();
  IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  if (!graphics || !param) return;
  mInputPending = true;
  graphics->PromptUserInput(this, param, false);
}
