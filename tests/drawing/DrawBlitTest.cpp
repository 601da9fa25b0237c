// Blits, rotated blits and fills checked against the fixed-point rules on chosen pixels, and clipping
// at every edge.

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"
#include "drawing/DrawTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

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

// One channel of a copy fill at weight w, as the fixed-point rule has it.
int FillChannel(int d, int c, int w)
{
  return d + (((c - d) * w) >> 8);
}

DRAW_Pixel FillExpected(DRAW_Pixel d, DRAW_Pixel c, int w)
{
  return Px(FillChannel(DRAW_GetR(d), DRAW_GetR(c), w), FillChannel(DRAW_GetG(d), DRAW_GetG(c), w),
            FillChannel(DRAW_GetB(d), DRAW_GetB(c), w), FillChannel(DRAW_GetA(d), DRAW_GetA(c), w));
}

// The pixels of `bmp` that differ from `background`, as (x, y) pairs in row order.
std::vector<std::pair<int, int>> Changed(const DRAW_IBitmap& bmp, DRAW_Pixel background)
{
  std::vector<std::pair<int, int>> out;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if (At(bmp, x, y) != background) out.emplace_back(x, y);
  return out;
}

using Points = std::vector<std::pair<int, int>>;
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

TEST(DrawRotatedBlit, ZeroLeavesTheImageAndQuarterAndHalfTurnsGoClockwiseOnScreen)
{
  DRAW_MemBitmap src(4, 4);
  drawtest::FillPattern(src, 6);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      src.Row(y)[x] |= Px(0, 0, 0, 255);
  DRAW_MemBitmap none(4, 4), quarter(4, 4), half(4, 4);
  DRAW_RotatedBlit(&none, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0, true, 1.0f, kDrawCombineCopy, 0, 0);
  DRAW_RotatedBlit(&quarter, &src, 0, 0, 4, 4, 0, 0, 4, 4, M_PI / 2, true, 1.0f, kDrawCombineCopy, 0, 0);
  DRAW_RotatedBlit(&half, &src, 0, 0, 4, 4, 0, 0, 4, 4, M_PI, true, 1.0f, kDrawCombineCopy, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
    {
      EXPECT_EQ(At(none, x, y), At(src, x, y));
      EXPECT_EQ(At(quarter, 3 - y, x), At(src, x, y)); // top-left goes to top-right
      EXPECT_EQ(At(half, 3 - x, 3 - y), At(src, x, y));
    }
}

TEST(DrawFillRect, FullWeightStoresTheColourAndAThirdMixesInFixedPoint)
{
  DRAW_MemBitmap bmp(3, 3);
  drawtest::FillPattern(bmp, 1);
  DRAW_FillRect(&bmp, 0, 0, 3, 3, Px(9, 8, 7, 6), 1.0f, kDrawCombineCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(At(bmp, x, y), Px(9, 8, 7, 6));
  // Read by eye: 0 + ((100 - 0) * 76) >> 8 = 29 at alpha 0.3.
  DRAW_MemBitmap one(1, 1);
  one.Row(0)[0] = Px(0, 0, 0, 0);
  DRAW_FillRect(&one, 0, 0, 1, 1, Px(100, 100, 100, 100), 0.3f, kDrawCombineCopy);
  EXPECT_EQ(At(one, 0, 0), Px(29, 29, 29, 29));
}

TEST(DrawFillRect, QuarterHalfAndThreeQuarterWeightsMatchTheMixForEveryChannelPair)
{
  // Row c holds destination values 0..255 in every channel; the fill colour is c in every channel.
  for (float alpha : {0.25f, 0.5f, 0.75f})
  {
    const int w = static_cast<int>(alpha * 256);
    DRAW_MemBitmap bmp(256, 256);
    for (int c = 0; c < 256; ++c)
    {
      for (int d = 0; d < 256; ++d)
        bmp.Row(c)[d] = Px(d, 255 - d, d, (d * 3) & 255);
      DRAW_FillRect(&bmp, 0, c, 256, 1, Px(c, c, 255 - c, c), alpha, kDrawCombineCopy);
    }
    for (int c = 0; c < 256; ++c)
      for (int d = 0; d < 256; ++d)
        ASSERT_EQ(At(bmp, d, c), FillExpected(Px(d, 255 - d, d, (d * 3) & 255), Px(c, c, 255 - c, c), w))
            << "weight " << w << " d " << d << " c " << c;
  }
}

TEST(DrawFillRect, ClipsToTheBitmapAtEveryEdge)
{
  const DRAW_Pixel bg = Px(0, 0, 0, 0), c = Px(1, 2, 3, 4);
  struct Case
  {
    int x, y, w, h;
    Points expected;
  };
  const Case cases[] = {
      {-1, -1, 2, 2, {{0, 0}}},
      {4, 3, 5, 5, {{4, 3}}},
      {4, 0, 1, 1, {{4, 0}}},
      {0, 3, 1, 1, {{0, 3}}},
      {-10, 1, 100, 1, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {5, 0, 3, 3, {}},
      {0, -3, 3, 3, {}},
      {1, 1, 0, 2, {}},
      {1, 1, -2, 2, {}},
  };
  for (const Case& k : cases)
  {
    DRAW_MemBitmap bmp(5, 4);
    drawtest::FillSolid(bmp, bg);
    DRAW_FillRect(&bmp, k.x, k.y, k.w, k.h, c, 1.0f, kDrawCombineCopy);
    EXPECT_EQ(Changed(bmp, bg), k.expected) << k.x << "," << k.y << " " << k.w << "x" << k.h;
  }
  DRAW_FillRect(nullptr, 0, 0, 1, 1, c, 1.0f, 0);
}
