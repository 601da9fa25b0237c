#pragma once
// A control that shows one frame of a bitmap, chosen by its value: frame 1 at 0, the last frame at 1.
// The editor's background is one (created by IGraphics::SetBackground).

#include "framework/IControl.h"

class IBitmapControl : public IControl
{
public:
  // rect: where the frame is drawn; bitmap: the image and its frame count (copied);
  // stackedVertically: frames lie one below the other (else side by side).
  IBitmapControl(IEffectBase* plug, const IRECT& rect, int paramIdx, const IBitmap* bitmap,
                 const IChannelBlend& blend = IChannelBlend(), bool stackedVertically = true);
  // The rectangle is one frame of the bitmap with its top-left corner at (x, y).
  IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 const IChannelBlend& blend = IChannelBlend());

  bool Draw(IGraphics* graphics) override;

  // The 1-based frame shown for the current value.
  int FrameForValue() const;
  const IBitmap& GetBitmap() const { return mOwnBitmap; }

protected:
  bool mStackedVertically;
  IBitmap mOwnBitmap;
};
