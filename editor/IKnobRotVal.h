#pragma once
// A knob drawn as one image turned about its centre, with the bound parameter's display text written
// under it first (the image's centre is transparent, so the text shows through). Dragging is the
// stock knob's; a right click opens value entry, a double click restores the default. With a step
// count the value snaps to steps when the mouse is released.

#include "framework/IKnobControl.h"

class IKnobRotVal : public IKnobControl
{
public:
  // Rectangle: the knob's frame width (or widthOverride when > 0) and height about (cx, cy); with a
  // non-negative textOffset the rectangle grows downwards to hold the text below the knob.
  IKnobRotVal(IEffectBase* plug, int paramIdx, int cx, int cy, const IBitmap& knob, const IText& text,
              int textOffset, int angleRangeDeg, int widthOverride = 0, EDirection direction = kVertical,
              bool showUnit = false, int steps = 0, double gearing = 4.0, float knobWeight = 1.0f);

  bool Draw(IGraphics* graphics) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;

  int CentreX() const { return mCX; }
  int CentreY() const { return mCY; }
  // Where the value text goes.
  IRECT TextRect() const;
  // The turn of the image for the current value, in radians (0 at the middle of the range).
  double Angle() const;

private:
  IText mText;
  IBitmap mKnob;
  int mCX, mCY;
  int mTextOffset;
  int mAngleRangeDeg;
  short mSteps;
  float mKnobWeight;
  bool mShowUnit;
  IChannelBlend mDrawBlend;
};
