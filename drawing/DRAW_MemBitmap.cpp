#include "drawing/DRAW_MemBitmap.h"

#include "drawing/DRAW_Tunables.h"

#include <new>

DRAW_MemBitmap::DRAW_MemBitmap(int w, int h, int linealign) : mLineAlign(linealign > 0 ? linealign : 1)
{
  resize(w, h);
}

bool DRAW_MemBitmap::resize(int w, int h)
{
  if (w == mWidth && h == mHeight) return false;
  const bool valid = w >= 0 && h >= 0 && w <= kDrawMaxBitmapSidePixels && h <= kDrawMaxBitmapSidePixels;
  const int span = valid ? (w + mLineAlign - 1) / mLineAlign * mLineAlign : 0;
  const size_t needed = valid ? static_cast<size_t>(span) * static_cast<size_t>(h) : 0;
  if (needed > mCapacity)
  {
    mBits.reset(new (std::nothrow) DRAW_Pixel[needed]());
    mCapacity = mBits ? needed : 0;
  }
  if (!valid || needed > mCapacity)
  {
    const bool changed = mWidth != 0 || mHeight != 0;
    mWidth = mHeight = mRowSpan = 0;
    return changed;
  }
  mWidth = w;
  mHeight = h;
  mRowSpan = span;
  return true;
}
