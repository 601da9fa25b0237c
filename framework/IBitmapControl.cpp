#include "framework/IBitmapControl.h"

#include "framework/IGraphics.h"

namespace
{
IRECT FrameRect(int x, int y, const IBitmap* bitmap)
{
  if (!bitmap) return IRECT(x, y, x, y);
  return IRECT(x, y, x + bitmap->W, y + bitmap->H / (bitmap->N < 1 ? 1 : bitmap->N));
}
} // namespace

IBitmapControl::IBitmapControl(IEffectBase* plug, const IRECT& rect, int paramIdx, const IBitmap* bitmap,
                               const IChannelBlend& blend, bool stackedVertically)
    : IControl(plug, rect, paramIdx, blend), mStackedVertically(stackedVertically),
      mOwnBitmap(bitmap ? *bitmap : IBitmap())
{
}

IBitmapControl::IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               const IChannelBlend& blend)
    : IBitmapControl(plug, FrameRect(x, y, bitmap), paramIdx, bitmap, blend, true)
{
}

int IBitmapControl::FrameForValue() const
{
  int n = mOwnBitmap.N;
  if (n <= 1) return 1;
  int frame = static_cast<int>((n - 1) * mValue + 0.5) + 1;
  if (frame < 1) frame = 1;
  if (frame > n) frame = n;
  return frame;
}

bool IBitmapControl::Draw(IGraphics* graphics)
{
  IRECT r = mRECT;
  graphics->DrawBitmapFrame(&mOwnBitmap, &r, FrameForValue(), &mBlend, !mStackedVertically);
  return true;
}
