#pragma once
// An on/off switch drawn as its lit image over the background's unlit face: a left click toggles the
// bound parameter; any click redraws.

#include "framework/IControl.h"

class IButton : public IControl
{
public:
  // Rectangle: (left, top) plus the size of one frame of the image.
  IButton(IEffectBase* plug, int paramIdx, int left, int top, const IBitmap& on);

  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

private:
  IBitmap mOn;
};
