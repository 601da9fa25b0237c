#include "drawing/DRAW_SysBitmap.h"

#include "drawing/DRAW_Tunables.h"

#include <windows.h>

namespace
{
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
  if (mDC)
  {
    if (mOldBitmap) SelectObject(static_cast<HDC>(mDC), static_cast<HGDIOBJ>(mOldBitmap));
    DeleteDC(static_cast<HDC>(mDC));
  }
  if (mSection) DeleteObject(static_cast<HGDIOBJ>(mSection));
  mDC = mSection = mOldBitmap = nullptr;
  mBits = nullptr;
  mCapacity = 0;
  mAllocWidth = mAllocHeight = 0;
}

bool DRAW_SysBitmap::resize(int w, int h)
{
  if (w == mWidth && h == mHeight) return false;
  const bool valid = w >= 0 && h >= 0 && w <= kDrawMaxBitmapSidePixels && h <= kDrawMaxBitmapSidePixels;
  const bool fits = valid && w <= mAllocWidth && h <= mAllocHeight;
  if (valid && !fits && w > 0 && h > 0)
  {
    Release();
    const int span = (w + kRowAlignPixels - 1) / kRowAlignPixels * kRowAlignPixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = span;
    info.bmiHeader.biHeight = -h; // negative: rows stored top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (section && bits)
    {
      mDC = dc;
      mSection = section;
      mOldBitmap = SelectObject(dc, section);
      mBits = static_cast<DRAW_Pixel*>(bits); // a new section is zeroed
      mAllocWidth = span;
      mAllocHeight = h;
      mCapacity = static_cast<size_t>(span) * static_cast<size_t>(h);
    }
    else
    {
      if (section) DeleteObject(section);
      if (dc) DeleteDC(dc);
    }
  }
  if (!valid || (w > 0 && h > 0 && (w > mAllocWidth || h > mAllocHeight)))
  {
    const bool changed = mWidth != 0 || mHeight != 0;
    mWidth = mHeight = mRowSpan = 0;
    return changed;
  }
  mWidth = w;
  mHeight = h;
  mRowSpan = mAllocWidth;
  return true;
}
