#include "drawing/DRAW_SysBitmap.h"

#include "drawing/DRAW_Tunables.h"

#include <cstring>

namespace
{
constexpr size_t kAlignmentBytes = 64;
constexpr int kRowAlignPixels = 4;
} // namespace

DRAW_SysBitmap::DRAW_SysBitmap(int w, int h)
{
  resize(w, h);
}

DRAW_SysBitmap::~DRAW_SysBitmap()
{
  Release();
}

void DRAW_SysBitmap::Release()
{
  std::free(mBits);
  mBits = nullptr;
  mCapacity = 0;
}

bool DRAW_SysBitmap::resize(int w, int h)
{
  if (w == mWidth && h == mHeight) return false;
  const bool valid = w >= 0 && h >= 0 && w <= kDrawMaxBitmapSidePixels && h <= kDrawMaxBitmapSidePixels;
  const int span = valid ? (w + kRowAlignPixels - 1) / kRowAlignPixels * kRowAlignPixels : 0;
  const size_t needed = valid ? static_cast<size_t>(span) * static_cast<size_t>(h) : 0;
  if (needed > mCapacity)
  {
    // aligned_alloc wants a size that is a multiple of the alignment.
    const size_t bytes =
        (needed * sizeof(DRAW_Pixel) + kAlignmentBytes - 1) / kAlignmentBytes * kAlignmentBytes;
    Release();
    mBits = static_cast<DRAW_Pixel*>(std::aligned_alloc(kAlignmentBytes, bytes));
    if (mBits) std::memset(mBits, 0, bytes);
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
