#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"

#include "drawing/DrawTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using drawtest::At;
using drawtest::Px;

namespace
{

DRAW_Pixel BlitOnePixel(DRAW_Pixel dest, DRAW_Pixel src, float alpha, int mode)
{
  DRAW_MemBitmap d(1, 1), s(1, 1);
  d.getBits()[0] = dest;
  s.getBits()[0] = src;
  DRAW_Blit(&d, &s, 0, 0, 0, 0, 1, 1, alpha, mode);
  return d.getBits()[0];
}

} // namespace

TEST(DrawBlit, CopyAtFullWeightReproducesTheSourceIncludingAlpha)
{
  DRAW_MemBitmap src(7, 5), dest(7, 5);
  drawtest::FillPattern(src, 1);
  drawtest::FillPattern(dest, 2);
  DRAW_Blit(&dest, &src, 0, 0, 0, 0, 7, 5, 1.0f, kDrawCombineCopy);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      ASSERT_EQ(At(dest, x, y), At(src, x, y)) << x << "," << y;
}

TEST(DrawBlit, CopyAtHalfWeightMixesEveryChannelInFixedPoint)
{
  // Values read by eye: s + ((d - s) * 128) >> 8, rounding towards minus infinity.
  EXPECT_EQ(BlitOnePixel(Px(0, 255, 100, 255), Px(255, 0, 100, 0), 0.5f, kDrawCombineCopy),
            Px(127, 127, 100, 127));
  EXPECT_EQ(BlitOnePixel(Px(10, 11, 200, 0), Px(11, 10, 0, 255), 0.5f, kDrawCombineCopy),
            Px(10, 10, 100, 127));
}

TEST(DrawBlit, SourceAlphaSkipsTransparentBlendsHalfReplacesOpaqueAndSaturatesAlpha)
{
  const DRAW_Pixel dest = Px(40, 80, 120, 100);
  // Transparent: the destination stays, alpha included, whatever the colour.
  EXPECT_EQ(BlitOnePixel(dest, Px(255, 255, 255, 0), 1.0f, kDrawModeSourceAlpha), dest);
  // Opaque at weight 1.0: a = 256, colour replaced, alpha 100 + 256 saturates.
  EXPECT_EQ(BlitOnePixel(dest, Px(1, 2, 3, 255), 1.0f, kDrawModeSourceAlpha), Px(1, 2, 3, 255));
  // Half: sA 127 gives a = 128; colour s + ((d - s) * 128) >> 8; alpha 100 + 128.
  EXPECT_EQ(BlitOnePixel(dest, Px(240, 0, 120, 127), 1.0f, kDrawModeSourceAlpha), Px(140, 40, 120, 228));
  // Opaque at weight 0.5: a = (256 * 128) >> 8 = 128.
  EXPECT_EQ(BlitOnePixel(dest, Px(240, 0, 120, 255), 0.5f, kDrawModeSourceAlpha), Px(140, 40, 120, 228));
  // The destination alpha saturates at 255.
  EXPECT_EQ(DRAW_GetA(BlitOnePixel(Px(0, 0, 0, 200), Px(9, 9, 9, 127), 1.0f, kDrawModeSourceAlpha)), 255);
  EXPECT_EQ(DRAW_GetA(BlitOnePixel(Px(0, 0, 0, 127), Px(9, 9, 9, 127), 1.0f, kDrawModeSourceAlpha)), 255);
  EXPECT_EQ(DRAW_GetA(BlitOnePixel(Px(0, 0, 0, 126), Px(9, 9, 9, 127), 1.0f, kDrawModeSourceAlpha)), 254);
}

TEST(DrawBlit, ClipsAtEveryEdgeAndShiftsTheSourceBySameAmount)
{
  DRAW_MemBitmap src(4, 4);
  drawtest::FillPattern(src, 3);
  const DRAW_Pixel untouched = Px(1, 1, 1, 1);
  struct Case
  {
    int dstx, dsty, srcx, srcy, w, h;
  };
  // Off the top-left corner, off the bottom-right corner, a source rectangle partly outside the
  // source, one pixel into column 0 and one into the last column and row.
  const Case cases[] = {{-2, -2, 0, 0, 4, 4}, {3, 3, 0, 0, 4, 4}, {1, 1, -1, -1, 3, 3},
                        {0, 2, 3, 3, 1, 1},   {4, 4, 0, 1, 1, 1}, {-1, 0, 0, 0, 8, 1}};
  for (const Case& c : cases)
  {
    DRAW_MemBitmap dest(5, 5);
    drawtest::FillSolid(dest, untouched);
    DRAW_Blit(&dest, &src, c.dstx, c.dsty, c.srcx, c.srcy, c.w, c.h, 1.0f, kDrawCombineCopy);
    for (int y = 0; y < 5; ++y)
    {
      for (int x = 0; x < 5; ++x)
      {
        const int sx = x - c.dstx + c.srcx, sy = y - c.dsty + c.srcy;
        const bool inRect = x >= c.dstx && x < c.dstx + c.w && y >= c.dsty && y < c.dsty + c.h;
        const bool inSrc = sx >= 0 && sx < 4 && sy >= 0 && sy < 4 && sx >= c.srcx && sy >= c.srcy;
        const DRAW_Pixel expected = (inRect && inSrc) ? At(src, sx, sy) : untouched;
        ASSERT_EQ(At(dest, x, y), expected)
            << "case at " << c.dstx << "," << c.dsty << " pixel " << x << "," << y;
      }
    }
  }
}

TEST(DrawRotatedBlit, TurnsClockwiseOnScreen)
{
  DRAW_MemBitmap src(4, 4);
  drawtest::FillPattern(src, 6);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      src.Row(y)[x] |= Px(0, 0, 0, 255);
  DRAW_MemBitmap quarter(4, 4), half(4, 4);
  DRAW_RotatedBlit(&quarter, &src, 0, 0, 4, 4, 0, 0, 4, 4, M_PI / 2, true, 1.0f, kDrawCombineCopy, 0, 0);
  DRAW_RotatedBlit(&half, &src, 0, 0, 4, 4, 0, 0, 4, 4, M_PI, true, 1.0f, kDrawCombineCopy, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
    {
      EXPECT_EQ(At(quarter, 3 - y, x), At(src, x, y)); // top-left goes to top-right
      EXPECT_EQ(At(half, 3 - x, 3 - y), At(src, x, y));
    }
}
