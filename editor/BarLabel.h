#pragma once
// The message bar at the bottom of the editor: shows a message for a fixed number of timer ticks,
// then clears it. UI thread only.

#include "editor/EditorConstants.h"
#include "framework/IControl.h"

class BarLabel : public IControl
{
public:
  BarLabel(IEffectBase* plug, const IRECT& rect);

  bool Draw(IGraphics* graphics) override;
  // Counts the message's ticks down: true while a message is shown (and on the tick that clears it).
  bool IsDirty() override;

  // Shows message for the display duration. A message that does not fit the buffer is refused
  // (false) and the bar keeps what it showed.
  bool SetMessage(const char* message);
  const char* Text() const { return mText; }
  int TicksLeft() const { return mTicksLeft; }

private:
  IText mStyle;
  char mText[kMaxPathBytes] = {};
  int mTicksLeft = 0;
  int mDurationTicks = kMessageTicks;
};
