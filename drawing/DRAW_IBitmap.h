#pragma once
// A 32-bit pixel surface: pointer to the first pixel, width, height and row span (pixels per row).
// Pixels are packed as DRAW_Pixel.h describes and are not premultiplied. Rows are stored top-down
// unless isFlipped() answers true; the drawing functions honour either order.
//
// Bitmaps are used from the editor's user-interface thread; they are not shared between threads
// while being drawn.

#include "drawing/DRAW_Pixel.h"

class DRAW_IBitmap
{
public:
  virtual ~DRAW_IBitmap();

  virtual DRAW_Pixel* getBits() = 0;
  virtual int getWidth() const = 0;
  virtual int getHeight() const = 0;
  // Pixels from the start of one stored row to the start of the next; at least the width.
  virtual int getRowSpan() const = 0;
  // True when rows are stored bottom-up.
  virtual bool isFlipped() const { return false; }
  // Changes the size; answers true when the size changed. The contents after a change are undefined.
  // A size that cannot be had (negative, beyond the limit, out of memory) leaves a 0 x 0 bitmap.
  virtual bool resize(int w, int h) = 0;
  // Platform drawing handle; none on this build.
  virtual void* getDC() { return nullptr; }
  // Extension hook for platform bitmaps; answers 0 when it has nothing to do.
  virtual int Extended(int id, void* data) { return (void)id, (void)data, 0; }

  const DRAW_Pixel* getBits() const { return const_cast<DRAW_IBitmap*>(this)->getBits(); }

  // The row that shows at height y (0 = top), taking the storage order into account.
  DRAW_Pixel* Row(int y)
  {
    const int stored = isFlipped() ? getHeight() - 1 - y : y;
    return getBits() + static_cast<long>(stored) * getRowSpan();
  }
  const DRAW_Pixel* Row(int y) const { return const_cast<DRAW_IBitmap*>(this)->Row(y); }
  // Step in pixels from one shown row to the next one below it.
  long RowStep() const { return isFlipped() ? -static_cast<long>(getRowSpan()) : getRowSpan(); }
};
