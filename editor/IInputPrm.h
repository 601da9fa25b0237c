#pragma once
// A number field showing the bound parameter's real value; any click opens a text entry over it.

#include "framework/IControl.h"

#include <cstddef>

class IInputPrm : public IControl
{
public:
  // format: 1 one decimal, 2 two decimals, anything else an integer. xOffset: text indent in pixels.
  IInputPrm(IEffectBase* plug, const IRECT& rect, int paramIdx, const IText& text, int format, int xOffset);

  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  // The text Draw shows for the parameter's current value.
  void FormatValue(char* out, size_t outSize) const;

private:
  IText mText;
  short mFormat;
  short mXOffset;
};
