#include "framework/IKnobControl.h"

IKnobControl::IKnobControl(IEffectBase* plug, const IRECT& rect, int paramIdx, EDirection direction,
                           double gearing)
    : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  double gearing = mGearing;
  if (mod && (mod->C || mod->S)) gearing *= kFineGearingFactor;
  // A knob without extent along its direction cannot be dragged (the step would divide by zero).
  if (mDirection == kHorizontal)
  {
    if (mRECT.W() == 0 || gearing == 0.0) return;
    mValue += dX / (mRECT.W() * gearing);
  }
  else
  {
    if (mRECT.H() == 0 || gearing == 0.0) return;
    mValue += dY / ((mRECT.T - mRECT.B) * gearing);
  }
  SetDirty(true);
}
