#pragma once
// A slider that also draws a value bar in its groove under the handle: from the track's start to the
// handle, or, when centred, from the middle of the track to the handle.

#include "editor/ISliderImg.h"

class ISlider : public ISliderImg
{
public:
  ISlider(IEffectBase* plug, int paramIdx, const IRECT& rect, const IBitmap& handle, const IText& text,
          int length, const IColor& barColor, int barThickness, EDirection direction, int endMargin,
          bool centred);

  bool Draw(IGraphics* graphics) override;

  // The value bar for the control's current value; false when no bar is drawn.
  bool BarRect(IRECT* out) const;

private:
  IColor mBarColor;
  int mBarThickness;
  int mEndMargin;
  bool mCentred;
};
