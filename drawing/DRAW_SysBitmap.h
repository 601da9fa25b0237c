#pragma once
// The bitmap a window layer copies to the screen. Rows are top-down; the window layer reads getBits()
// and getRowSpan() and converts nothing (the pixel order is the screen's).
//
// mac/: a Core Graphics bitmap context over a 64-byte-aligned zeroed buffer (first byte of each pixel a
// skipped alpha, then R, G, B), row span the width rounded up to a multiple of 4 pixels, its coordinate
// system flipped so that row 0 is the top (getDC answers the context).
// posix/: a memory bitmap over a 64-byte-aligned zeroed buffer whose row span is the width rounded up
// to a multiple of 4 pixels. windows/: a top-down device-independent section selected into a memory
// device context (getDC), row span the allocated width rounded up to a multiple of 4 pixels.
// Resizing to a size that fits the allocation only changes the logical size; a larger one reallocates.

#include "drawing/DRAW_IBitmap.h"

#include <cstddef>
#include <cstdlib>
#include <memory>

class DRAW_SysBitmap : public DRAW_IBitmap
{
public:
  DRAW_SysBitmap(int w, int h);
  ~DRAW_SysBitmap() override;

  DRAW_Pixel* getBits() override { return mBits; }
  int getWidth() const override { return mWidth; }
  int getHeight() const override { return mHeight; }
  int getRowSpan() const override { return mRowSpan; }
  bool resize(int w, int h) override;
#if defined(_WIN32) || defined(KESTRUNE_MAC)
  void* getDC() override
  {
    return mDC;
  }
#endif

private:
  // Frees the pixels (and on Windows the section and its device context).
  void Release();

  DRAW_Pixel* mBits = nullptr;
  size_t mCapacity = 0; // pixels allocated
  int mWidth = 0;
  int mHeight = 0;
  int mRowSpan = 0;
#ifdef _WIN32
  void* mDC = nullptr;        // memory device context holding the section
  void* mSection = nullptr;   // the section's bitmap handle
  void* mOldBitmap = nullptr; // the context's bitmap before the section was selected
  int mAllocWidth = 0;        // the section's stored width (the row span)
  int mAllocHeight = 0;
#elif defined(KESTRUNE_MAC)
  void* mDC = nullptr; // CGContextRef over mBits
#endif
};
