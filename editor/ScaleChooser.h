#pragma once
// The editor's size in the top band: "100 %", "150 %" and "200 %" side by side, the current one lit.
// A click on another asks the graphics context for it (RequestScale): the choice is remembered for
// every later opening, and the editor grows or shrinks at once when the host resizes its window. A
// host that keeps its window as it is leaves the editor at its size: the control then shows "kept by
// host" for a few seconds, and the chosen size framed until the editor opens again. UI thread only.

#include "framework/IControl.h"

class ScaleChooser : public IControl
{
public:
  ScaleChooser(IEffectBase* plug, const IRECT& rect);

  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // Counts the refusal notice down; true while it shows and on the tick that ends it.
  bool IsDirty() override;

  // The size (percent) of the segment under x, 0 outside the control.
  int ScaleAt(int x) const;
  bool ShowsRefusal() const { return mRefusalTicks > 0; }

private:
  IText mStyle, mLitStyle, mNoticeStyle;
  int mRefusalTicks = 0;
};
