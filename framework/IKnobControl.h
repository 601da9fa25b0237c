#pragma once
// The drag behaviour of a knob: dragging along its direction changes the value, gearing control
// heights (or widths) of drag sweeping the whole range; Control or Shift make it ten times finer.
// It draws nothing itself: knobs that show something derive from it.

#include "framework/IControl.h"

enum EDirection
{
  kVertical = 0,
  kHorizontal = 1
};

class IKnobControl : public IControl
{
public:
  static constexpr double kDefaultGearing = 4.0;
  static constexpr double kFineGearingFactor = 10.0; // with Control or Shift held

  IKnobControl(IEffectBase* plug, const IRECT& rect, int paramIdx, EDirection direction = kVertical,
               double gearing = kDefaultGearing);

  bool Draw(IGraphics*) override { return true; }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;

  EDirection Direction() const { return mDirection; }
  double Gearing() const { return mGearing; }

protected:
  EDirection mDirection;
  double mGearing;
};
