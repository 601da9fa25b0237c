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
