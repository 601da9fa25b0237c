#pragma once
// The bitmap a window layer copies to the screen. On this build it is a top-down memory bitmap over a
// 64-byte-aligned zeroed buffer whose row span is the width rounded up to a multiple of 4 pixels; the
// window layer reads getBits() and getRowSpan() and converts nothing (the pixel order is the screen's).
// Resizing to a size that fits the allocation only changes the logical size; a larger one reallocates.

#include "drawing/DRAW_IBitmap.h"

#include <cstddef>
#include <cstdlib>
#include <memory>

class DRAW_SysBitmap : public DRAW_IBitmap
{
public:
  DRAW_SysBitmap(int w, int h);

  DRAW_Pixel* getBits() override { return mBits.get(); }
  int getWidth() const override { return mWidth; }
  int getHeight() const override { return mHeight; }
  int getRowSpan() const override { return mRowSpan; }
  bool resize(int w, int h) override;

private:
  struct FreeAligned
  {
    void operator()(DRAW_Pixel* p) const { std::free(p); }
  };
  std::unique_ptr<DRAW_Pixel, FreeAligned> mBits;
  size_t mCapacity = 0; // pixels allocated
  int mWidth = 0;
  int mHeight = 0;
  int mRowSpan = 0;
};
