#pragma once
// A slider: a handle image moving along a straight track inside the control rectangle. A left click or
// a drag inside the handle's track rectangle puts the handle's centre under the pointer; a right click
// opens value entry.

#include "framework/IControl.h"
#include "framework/IKnobControl.h"

class ISliderImg : public IControl
{
public:
  // length: the track in pixels along the direction; the handle travels length minus its own size.
  ISliderImg(IEffectBase* plug, int paramIdx, const IRECT& rect, const IBitmap& handle, const IText& text,
             int length, EDirection direction = kVertical);

  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;

  const IRECT& HandleRect() const { return mHandleRect; }
  int Travel() const { return mTravel; }
  // Where the handle is drawn for the bound parameter's current value.
  IRECT HandleDrawRect() const;

protected:
  // Sets the value that puts the handle's centre at (x, y) and pushes it to the plug-in.
  void SetFromPosition(int x, int y);
  bool Vertical() const { return mDirection == kVertical; }
  // The bound parameter's normalised value (the control's own value when unbound).
  double ParamNormalized() const;

  IText mText;
  IRECT mHandleRect;
  IBitmap mHandle;
  int mLength;
  int mTravel;
  EDirection mDirection;
};
