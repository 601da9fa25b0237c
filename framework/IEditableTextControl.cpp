#include "framework/IEditableTextControl.h"

#include "framework/IGraphics.h"
#include "framework/TextUtil.h"

IEditableTextControl::IEditableTextControl(IEffectBase* plug, const IRECT& rect, const IText* text,
                                           const char* str, bool editable, bool hideText)
    : ITextControl(plug, rect, text, str), mEditable(editable), mHideText(hideText)
{
}

std::string IEditableTextControl::ShownText() const
{
  if (!mHideText) return mStr;
  // One asterisk per character, not per byte of its UTF-8 form.
  const std::size_t chars = CountChars(mStr);
  return std::string(chars < kMaxHiddenChars ? chars : kMaxHiddenChars, '*');
}

bool IEditableTextControl::Draw(IGraphics* graphics)
{
  if (mBGColor.A != 0 && !graphics->FillRect(&mBGColor, &mRECT)) return false;
  std::string shown = ShownText();
  if (!shown.empty()) graphics->DrawText(&mText, shown.c_str(), &mRECT);
  return true;
}

void IEditableTextControl::OnMouseDown(int, int, IMouseMod*)
{
  if (mDisablePrompt) return;
  if (IGraphics* gui = GetGUI()) gui->PromptUserInput(this);
  mRedraw = true;
}

void IEditableTextControl::SetBGColor(const IColor* color)
{
  if (color)
    mBGColor = *color;
  else
    mBGColor.A = 0;
}
