#pragma once
// A bitmap whose pixels live on the heap, stored top-down. The row span is the width rounded up to a
// multiple of `linealign` pixels. Shrinking keeps the allocation, so a scratch bitmap resized to the
// sizes it has already had allocates nothing.

#include "drawing/DRAW_IBitmap.h"

#include <cstddef>
#include <memory>

class DRAW_MemBitmap : public DRAW_IBitmap
{
public:
  explicit DRAW_MemBitmap(int w = 0, int h = 0, int linealign = 4);

  DRAW_Pixel* getBits() override { return mBits.get(); }
  int getWidth() const override { return mWidth; }
  int getHeight() const override { return mHeight; }
  int getRowSpan() const override { return mRowSpan; }
  bool resize(int w, int h) override;

private:
  std::unique_ptr<DRAW_Pixel[]> mBits;
  size_t mCapacity = 0; // pixels allocated
  int mWidth = 0;
  int mHeight = 0;
  int mRowSpan = 0;
  int mLineAlign = 1;
};
