#pragma once
// An invisible control of zero size bound to a parameter that has no control of its own (a slot's
// Active, Low Note, High Note and Root Note), so that values handed to the bound controls
// (IGraphics::ApplyInputToControls) reach the plug-in. Clicks never reach it.

#include "framework/IControl.h"

class IEmpty : public IControl
{
public:
  IEmpty(IEffectBase* plug, int paramIdx) : IControl(plug, IRECT(0, 0, 0, 0), paramIdx) {}

  bool Draw(IGraphics*) override { return true; }
};
