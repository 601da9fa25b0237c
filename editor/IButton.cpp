#include "editor/IButton.h"

#include "framework/IGraphics.h"

IButton::IButton(IEffectBase* plug, int paramIdx, int left, int top, const IBitmap& on)
    : IControl(plug, IRECT(left, top, left + on.W, top + on.H / (on.N > 0 ? on.N : 1)), paramIdx), mOn(on)
{
}

bool IButton::Draw(IGraphics* graphics)
{
  if (mValue > 0.5) graphics->DrawBitmapFrame(&mOn, &mRECT, 1, nullptr);
  return true;
}

void IButton::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->L) mValue = mValue > 0.5 ? 0.0 : 1.0;
  SetDirty(true);
}
