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

// One channel of a copy blit at weight w, as the fixed-point rule has it.
int CopyChannel(int d, int s, int w)
{
  return s + (((d - s) * (256 - w)) >> 8);
}

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

TEST(DrawBlit, EveryPixelOfAWholeRowFollowsTheChannelRules)
{
  // Many pixel pairs in one blit, so that the row loop and its packed arithmetic are what is checked.
  const int n = 4096;
  DRAW_MemBitmap src(n, 1), base(n, 1);
  for (int x = 0; x < n; ++x)
  {
    src.Row(0)[x] = drawtest::Pattern(x, 0, 11);
    base.Row(0)[x] = drawtest::Pattern(x, 1, 12);
  }
  src.Row(0)[0] &= ~Px(0, 0, 0, 255); // a transparent pixel at column 0
  for (float alpha : {1.0f, 0.5f, 0.37f})
  {
    const int w = static_cast<int>(alpha * 256);
    DRAW_MemBitmap copy(n, 1), blended(n, 1);
    DRAW_Blit(&copy, &base, 0, 0, 0, 0, n, 1, 1.0f, kDrawCombineCopy);
    DRAW_Blit(&blended, &base, 0, 0, 0, 0, n, 1, 1.0f, kDrawCombineCopy);
    DRAW_Blit(&copy, &src, 0, 0, 0, 0, n, 1, alpha, kDrawCombineCopy);
    DRAW_Blit(&blended, &src, 0, 0, 0, 0, n, 1, alpha, kDrawModeSourceAlpha);
    for (int x = 0; x < n; ++x)
    {
      const DRAW_Pixel d = base.Row(0)[x], s = src.Row(0)[x];
      ASSERT_EQ(At(copy, x, 0),
                Px(CopyChannel(DRAW_GetR(d), DRAW_GetR(s), w), CopyChannel(DRAW_GetG(d), DRAW_GetG(s), w),
                   CopyChannel(DRAW_GetB(d), DRAW_GetB(s), w), CopyChannel(DRAW_GetA(d), DRAW_GetA(s), w)))
          << x;
      const int sa = DRAW_GetA(s);
      const int a = sa == 0 ? 0 : ((sa + 1) * w) >> 8;
      ASSERT_EQ(At(blended, x, 0),
                Px(CopyChannel(DRAW_GetR(d), DRAW_GetR(s), a), CopyChannel(DRAW_GetG(d), DRAW_GetG(s), a),
                   CopyChannel(DRAW_GetB(d), DRAW_GetB(s), a), std::min(255, DRAW_GetA(d) + a)))
          << x;
    }
  }
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

TEST(DrawBlit, AddClampsEachChannelAndWeightsTheSource)
{
  EXPECT_EQ(BlitOnePixel(Px(200, 10, 0, 250), Px(100, 20, 0, 100), 1.0f, kDrawCombineAdd),
            Px(255, 30, 0, 255));
  EXPECT_EQ(BlitOnePixel(Px(200, 10, 0, 0), Px(100, 20, 1, 100), 0.5f, kDrawCombineAdd), Px(250, 20, 0, 50));
  // With source alpha a transparent pixel adds nothing.
  const DRAW_Pixel dest = Px(1, 2, 3, 4);
  EXPECT_EQ(BlitOnePixel(dest, Px(100, 100, 100, 0), 1.0f, kDrawCombineAdd | kDrawModeSourceAlpha), dest);
}

TEST(DrawBlit, ColourDodgeBrightensAndKeepsBlackAndWhite)
{
  const DRAW_Pixel got = BlitOnePixel(Px(100, 0, 255, 255), Px(128, 255, 0, 255), 1.0f, kDrawCombineDodge);
  EXPECT_EQ(DRAW_GetR(got), 200); // 100 * 256 / 128
  EXPECT_EQ(DRAW_GetG(got), 0);   // black stays black
  EXPECT_EQ(DRAW_GetB(got), 255); // white stays white
}

TEST(DrawBlit, ZeroWeightAndNullBitmapsChangeNothing)
{
  const DRAW_Pixel dest = Px(5, 6, 7, 8);
  EXPECT_EQ(BlitOnePixel(dest, Px(200, 200, 200, 255), 0.0f, kDrawCombineCopy), dest);
  EXPECT_EQ(BlitOnePixel(dest, Px(200, 200, 200, 255), -3.0f, kDrawModeSourceAlpha), dest);
  DRAW_MemBitmap d(1, 1);
  DRAW_Blit(nullptr, &d, 0, 0, 0, 0, 1, 1, 1.0f, 0);
  DRAW_Blit(&d, nullptr, 0, 0, 0, 0, 1, 1, 1.0f, 0);
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

TEST(DrawBlit, OverlappingBlitWithinOneBitmapReadsTheOriginalPixels)
{
  for (int mode : {kDrawCombineCopy, kDrawModeSourceAlpha})
  {
    for (int dx : {-1, 1, 0})
    {
      for (int dy : {-1, 1, 0})
      {
        DRAW_MemBitmap bmp(6, 6), original(6, 6);
        drawtest::FillPattern(bmp, 4);
        drawtest::FillPattern(original, 4);
        DRAW_MemBitmap expected(6, 6);
        drawtest::FillPattern(expected, 4);
        DRAW_Blit(&expected, &original, 1 + dx, 1 + dy, 1, 1, 4, 4, 0.5f, mode);
        DRAW_Blit(&bmp, &bmp, 1 + dx, 1 + dy, 1, 1, 4, 4, 0.5f, mode);
        for (int y = 0; y < 6; ++y)
          for (int x = 0; x < 6; ++x)
            ASSERT_EQ(At(bmp, x, y), At(expected, x, y)) << dx << "," << dy << " at " << x << "," << y;
      }
    }
  }
}

TEST(DrawBlit, FlippedBitmapsAreAddressedTopDown)
{
  drawtest::FlippedBitmap flipped(3, 3);
  DRAW_MemBitmap plain(3, 3);
  drawtest::FillPattern(plain, 5);
  DRAW_Blit(&flipped, &plain, 0, 0, 0, 0, 3, 3, 1.0f, kDrawCombineCopy);
  // The top row is stored last.
  EXPECT_EQ(flipped.getBits()[2 * flipped.getRowSpan() + 1], At(plain, 1, 0));
  DRAW_MemBitmap back(3, 3);
  DRAW_Blit(&back, &flipped, 0, 0, 0, 0, 3, 3, 0.75f, kDrawModeSourceAlpha);
  DRAW_MemBitmap direct(3, 3);
  DRAW_Blit(&direct, &plain, 0, 0, 0, 0, 3, 3, 0.75f, kDrawModeSourceAlpha);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(At(back, x, y), At(direct, x, y));
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

TEST(DrawRotatedBlit, PixelsMappingOutsideTheSourceStayAndClippingToTheRectangleHolds)
{
  DRAW_MemBitmap src(8, 8);
  drawtest::FillSolid(src, Px(255, 255, 255, 255));
  const DRAW_Pixel background = Px(0, 0, 0, 255);
  DRAW_MemBitmap clipped(12, 12), free(12, 12);
  drawtest::FillSolid(clipped, background);
  drawtest::FillSolid(free, background);
  DRAW_RotatedBlit(&clipped, &src, 2, 2, 8, 8, 0, 0, 8, 8, M_PI / 4, true, 1.0f, kDrawModeSourceAlpha, 0, 0);
  DRAW_RotatedBlit(&free, &src, 2, 2, 8, 8, 0, 0, 8, 8, M_PI / 4, false, 1.0f, kDrawModeSourceAlpha, 0, 0);
  // The corners of the rectangle map outside the turned square; its centre inside.
  EXPECT_EQ(At(clipped, 2, 2), background);
  EXPECT_EQ(At(clipped, 9, 9), background);
  EXPECT_EQ(At(clipped, 6, 6), Px(255, 255, 255, 255));
  // The turned square's points reach beyond the rectangle only without clipping.
  EXPECT_EQ(At(clipped, 6, 1), background);
  EXPECT_EQ(At(free, 6, 1), Px(255, 255, 255, 255));
  EXPECT_EQ(At(free, 2, 2), background);
}

TEST(DrawRotatedBlit, ScalesTheSourceRectangleIntoTheDestinationRectangle)
{
  DRAW_MemBitmap src(2, 2), dest(4, 4);
  src.Row(0)[0] = Px(10, 0, 0, 255);
  src.Row(0)[1] = Px(20, 0, 0, 255);
  src.Row(1)[0] = Px(30, 0, 0, 255);
  src.Row(1)[1] = Px(40, 0, 0, 255);
  DRAW_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 2, 2, 0.0, true, 1.0f, kDrawCombineCopy, 0, 0);
  EXPECT_EQ(At(dest, 0, 0), src.Row(0)[0]);
  EXPECT_EQ(At(dest, 3, 0), src.Row(0)[1]);
  EXPECT_EQ(At(dest, 0, 3), src.Row(1)[0]);
  EXPECT_EQ(At(dest, 3, 3), src.Row(1)[1]);
}

TEST(DrawRotatedBlit, BilinearIgnoresTheColourOfTransparentNeighbours)
{
  DRAW_MemBitmap src(2, 1), dest(4, 1);
  src.Row(0)[0] = Px(255, 255, 255, 255);
  src.Row(0)[1] = Px(0, 0, 0, 0);
  drawtest::FillSolid(dest, Px(0, 0, 0, 0));
  // Half a pixel shift lands between the two source pixels.
  DRAW_RotatedBlit(&dest, &src, 0, 0, 4, 1, 0, 0, 2, 1, 0.0, true, 1.0f, kDrawCombineCopy | kDrawModeBilinear,
                   0, 0);
  const DRAW_Pixel mid = At(dest, 2, 0);
  EXPECT_GT(DRAW_GetA(mid), 0);
  EXPECT_LT(DRAW_GetA(mid), 255);
  EXPECT_EQ(DRAW_GetR(mid), 255);
}
