#include "framework/ITextControl.h"

#include "framework/IGraphics.h"

ITextControl::ITextControl(IEffectBase* plug, const IRECT& rect, const IText* text, const char* str)
    : IControl(plug, rect), mText(text ? *text : IText()), mStr(str ? str : "")
{
}

bool ITextControl::Draw(IGraphics* graphics)
{
  if (!mStr.empty()) graphics->DrawText(&mText, mStr.c_str(), &mRECT);
  return true;
}

void ITextControl::SetTextFromPlug(const char* str)
{
  if (!str) str = "";
  if (mStr == str) return;
  SetDirty(false);
  mStr = str;
}
