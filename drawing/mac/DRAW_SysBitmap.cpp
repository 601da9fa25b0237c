#include "drawing/DRAW_SysBitmap.h"

#include "drawing/DRAW_Tunables.h"
#include "platform/mac/MacCompat.h"

#include <cstdlib>
#include <cstring>

namespace
{
constexpr size_t kAlignmentBytes = 64;
constexpr int kRowAlignPixels = 4;
constexpr size_t kBitsPerComponent = 8;

// A context over the pixels whose first byte is a skipped alpha, then R, G, B (the pixel order of this
// build), flipped so that row 0 is the top. Null when Core Graphics refuses.
CGContextRef MakeContext(DRAW_Pixel* bits, int w, int h, int span)
{
  if (!bits || w <= 0 || h <= 0) return nullptr;
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  if (!space) return nullptr;
  CGContextRef context =
      CGBitmapContextCreate(bits, static_cast<size_t>(w), static_cast<size_t>(h), kBitsPerComponent,
                            static_cast<size_t>(span) * sizeof(DRAW_Pixel), space,
                            kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrderDefault);
  CGColorSpaceRelease(space);
  if (!context) return nullptr;
  CGContextTranslateCTM(context, 0, static_cast<CGFloat>(h));
  CGContextScaleCTM(context, 1, -1);
  return context;
}
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
  if (mDC) CGContextRelease(static_cast<CGContextRef>(mDC));
  mDC = nullptr;
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
    // posix_memalign: aligned_alloc is missing before macOS 10.15.
    const size_t bytes =
        (needed * sizeof(DRAW_Pixel) + kAlignmentBytes - 1) / kAlignmentBytes * kAlignmentBytes;
    Release();
    void* memory = nullptr;
    if (posix_memalign(&memory, kAlignmentBytes, bytes) != 0) memory = nullptr;
    mBits = static_cast<DRAW_Pixel*>(memory);
    if (mBits) std::memset(mBits, 0, bytes);
    mCapacity = mBits ? needed : 0;
  }
  // The context's size is fixed when it is made: a new size (within the allocation) gets a new one
  // over the same pixels.
  if (mDC) CGContextRelease(static_cast<CGContextRef>(mDC));
  mDC = nullptr;
  if (!valid || needed > mCapacity)
  {
    const bool changed = mWidth != 0 || mHeight != 0;
    mWidth = mHeight = mRowSpan = 0;
    return changed;
  }
  mWidth = w;
  mHeight = h;
  mRowSpan = span;
  mDC = MakeContext(mBits, w, h, span);
  return true;
}
