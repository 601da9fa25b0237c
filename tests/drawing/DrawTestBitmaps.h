#pragma once
// Small helpers shared by the drawing tests.

#include "drawing/DRAW_MemBitmap.h"

#include <cstdint>

namespace drawtest
{

inline DRAW_Pixel Px(int r, int g, int b, int a)
{
  return DRAW_MakePixel(r, g, b, a);
}

// A pixel that differs at every position and channel, so a misplaced pixel shows.
inline DRAW_Pixel Pattern(int x, int y, int seed)
{
  uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
               static_cast<uint32_t>(seed) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

inline void FillPattern(DRAW_IBitmap& bmp, int seed)
{
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      bmp.Row(y)[x] = Pattern(x, y, seed);
}

inline void FillSolid(DRAW_IBitmap& bmp, DRAW_Pixel p)
{
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      bmp.Row(y)[x] = p;
}

inline DRAW_Pixel At(const DRAW_IBitmap& bmp, int x, int y)
{
  return bmp.Row(y)[x];
}

} // namespace drawtest
