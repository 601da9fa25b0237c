#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"

#include "drawing/DrawTestBitmaps.h"

#include <gtest/gtest.h>

#include <vector>

using drawtest::At;
using drawtest::Px;

namespace
{

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

TEST(DrawFillRect, SourceAlphaBitWeightsByTheColoursAlpha)
{
  DRAW_MemBitmap bmp(1, 1);
  const DRAW_Pixel start = Px(10, 20, 30, 40);
  bmp.Row(0)[0] = start;
  DRAW_FillRect(&bmp, 0, 0, 1, 1, Px(255, 255, 255, 0), 1.0f, kDrawModeSourceAlpha);
  EXPECT_EQ(At(bmp, 0, 0), start);
  // Colour alpha 128 at alpha 1.0: weight 128/255 -> w = 128.
  DRAW_FillRect(&bmp, 0, 0, 1, 1, Px(210, 220, 230, 128), 1.0f, kDrawModeSourceAlpha);
  EXPECT_EQ(At(bmp, 0, 0), FillExpected(start, Px(210, 220, 230, 128), 128));
  // Colour alpha 255 at alpha 0.5 is the same weight.
  bmp.Row(0)[0] = start;
  DRAW_FillRect(&bmp, 0, 0, 1, 1, Px(210, 220, 230, 255), 0.5f, kDrawModeSourceAlpha);
  EXPECT_EQ(At(bmp, 0, 0), FillExpected(start, Px(210, 220, 230, 255), 128));
}

TEST(DrawFillRect, AddModeClampsAtWhite)
{
  DRAW_MemBitmap bmp(1, 1);
  bmp.Row(0)[0] = Px(200, 0, 100, 255);
  DRAW_FillRect(&bmp, 0, 0, 1, 1, Px(100, 100, 100, 0), 0.5f, kDrawCombineAdd);
  EXPECT_EQ(At(bmp, 0, 0), Px(250, 50, 150, 255));
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

TEST(DrawLine, DrawsBothEndsAndClipsAtEveryEdge)
{
  const DRAW_Pixel bg = Px(0, 0, 0, 0), c = Px(255, 255, 255, 255);
  struct Case
  {
    int x1, y1, x2, y2;
    Points expected;
  };
  const Case cases[] = {
      {0, 1, 4, 1, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}},  // column 0 to the last column
      {-5, 2, 9, 2, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}}, // beyond both sides
      {4, 3, 4, 3, {{4, 3}}},                                  // one pixel in the last column and row
      {0, 0, 0, 0, {{0, 0}}},
      {3, 3, 0, 0, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}}, // diagonal, drawn backwards
      {1, -3, 1, 2, {{1, 0}, {1, 1}, {1, 2}}},        // steep, cut at the top
      {-2, -2, 1, 1, {{0, 0}, {1, 1}}},
      {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}}, // shallow: nearest pixels, halves go down
      {5, 0, 9, 3, {}},
      {-1, 4, 5, 4, {}},
  };
  for (const Case& k : cases)
  {
    DRAW_MemBitmap bmp(5, 4);
    drawtest::FillSolid(bmp, bg);
    DRAW_Line(&bmp, k.x1, k.y1, k.x2, k.y2, c, 1.0f, kDrawCombineCopy, false);
    EXPECT_EQ(Changed(bmp, bg), k.expected) << k.x1 << "," << k.y1 << " to " << k.x2 << "," << k.y2;
  }
}

TEST(DrawLine, BlendsWithTheGivenAlphaAndColourAlpha)
{
  DRAW_MemBitmap bmp(3, 1);
  drawtest::FillSolid(bmp, Px(0, 0, 0, 255));
  DRAW_Line(&bmp, 0, 0, 2, 0, Px(200, 100, 50, 255), 0.5f, kDrawModeSourceAlpha, false);
  for (int x = 0; x < 3; ++x)
    EXPECT_EQ(At(bmp, x, 0), FillExpected(Px(0, 0, 0, 255), Px(200, 100, 50, 255), 128));
  DRAW_MemBitmap none(3, 1);
  drawtest::FillSolid(none, Px(0, 0, 0, 255));
  DRAW_Line(&none, 0, 0, 2, 0, Px(200, 100, 50, 0), 1.0f, kDrawModeSourceAlpha, true);
  EXPECT_TRUE(Changed(none, Px(0, 0, 0, 255)).empty());
}

TEST(DrawLine, AntialiasingSplitsCoverageBetweenNeighbours)
{
  const DRAW_Pixel bg = Px(0, 0, 0, 255), white = Px(255, 255, 255, 255);
  // On whole-pixel rows and diagonals the smooth line is the plain one.
  for (auto [x2, y2] : {std::pair<int, int>{4, 0}, {3, 3}})
  {
    DRAW_MemBitmap smooth(5, 4), plain(5, 4);
    drawtest::FillSolid(smooth, bg);
    drawtest::FillSolid(plain, bg);
    DRAW_Line(&smooth, 0, 0, x2, y2, white, 1.0f, kDrawCombineCopy, true);
    DRAW_Line(&plain, 0, 0, x2, y2, white, 1.0f, kDrawCombineCopy, false);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(At(smooth, x, y), At(plain, x, y));
  }
  // From (0, 0) to (4, 2) the exact line crosses x = 1 at y = 0.5: half to each row.
  DRAW_MemBitmap bmp(5, 4);
  drawtest::FillSolid(bmp, bg);
  DRAW_Line(&bmp, 0, 0, 4, 2, white, 1.0f, kDrawCombineCopy, true);
  EXPECT_EQ(At(bmp, 0, 0), white);
  EXPECT_EQ(DRAW_GetR(At(bmp, 1, 0)), 127);
  EXPECT_EQ(DRAW_GetR(At(bmp, 1, 1)), 127);
  EXPECT_EQ(At(bmp, 2, 1), white);
  EXPECT_EQ(At(bmp, 4, 2), white);
  EXPECT_EQ(At(bmp, 2, 0), bg);
  // Clipped at the last column and row without touching anything outside.
  DRAW_MemBitmap edge(5, 4);
  drawtest::FillSolid(edge, bg);
  DRAW_Line(&edge, 2, 1, 9, 5, white, 1.0f, kDrawCombineCopy, true);
  for (auto [x, y] : Changed(edge, bg))
  {
    EXPECT_GE(x, 2);
    EXPECT_GE(y, 1);
  }
  EXPECT_NE(At(edge, 4, 2), bg);
}
