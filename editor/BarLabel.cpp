#include "editor/BarLabel.h"

#include "editor/EditorTextStyles.h"
#include "framework/IGraphics.h"

#include <cstring>

BarLabel::BarLabel(IEffectBase* plug, const IRECT& rect) : IControl(plug, rect), mStyle(MessageTextStyle()) {}

bool BarLabel::Draw(IGraphics* graphics)
{
  if (mText[0] != '\0')
  {
    IRECT r = mRECT;
    graphics->DrawText(&mStyle, mText, &r);
  }
  return true;
}

bool BarLabel::IsDirty()
{
  if (mTicksLeft == 0) return false;
  if (--mTicksLeft == 0) mText[0] = '\0';
  return true;
}

bool BarLabel::SetMessage(const char* message)
{
  if (!message) message = "";
  const size_t length = std::strlen(message);
  if (length >= sizeof(mText)) return false;
  std::memcpy(mText, message, length + 1);
  mTicksLeft = mDurationTicks;
  return true;
}
