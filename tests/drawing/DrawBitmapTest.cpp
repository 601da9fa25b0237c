#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_SysBitmap.h"
#include "drawing/DRAW_Tunables.h"

#include "drawing/DrawTestBitmaps.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(DrawPixel, PacksAlphaHighThenRedGreenBlue)
{
  EXPECT_EQ(DRAW_MakePixel(0x11, 0x22, 0x33, 0x44), 0x44112233u);
  const DRAW_Pixel p = DRAW_MakePixel(1, 2, 3, 4);
  EXPECT_EQ(DRAW_GetR(p), 1);
  EXPECT_EQ(DRAW_GetG(p), 2);
  EXPECT_EQ(DRAW_GetB(p), 3);
  EXPECT_EQ(DRAW_GetA(p), 4);
}

TEST(DrawMemBitmap, ShrinkingKeepsTheAllocationAndSameSizeReportsNoChange)
{
  DRAW_MemBitmap bmp(0, 0, 4);
  EXPECT_TRUE(bmp.resize(16, 16));
  const DRAW_Pixel* bits = bmp.getBits();
  EXPECT_FALSE(bmp.resize(16, 16));
  EXPECT_TRUE(bmp.resize(8, 4));
  EXPECT_EQ(bmp.getBits(), bits);
  EXPECT_EQ(bmp.getRowSpan(), 8);
  EXPECT_TRUE(bmp.resize(16, 16));
  EXPECT_EQ(bmp.getBits(), bits);
}

TEST(DrawMemBitmap, ImpossibleSizesLeaveAnEmptyBitmap)
{
  DRAW_MemBitmap bmp(4, 4, 4);
  EXPECT_TRUE(bmp.resize(-1, 4));
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getHeight(), 0);
  bmp.resize(4, 4);
  bmp.resize(kDrawMaxBitmapSidePixels + 1, 1);
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getRowSpan(), 0);
}

TEST(DrawSysBitmap, BufferIsAlignedZeroedAndRowsAreMultiplesOfFour)
{
  DRAW_SysBitmap bmp(13, 7);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bmp.getBits()) % 64, 0u);
  EXPECT_EQ(bmp.getRowSpan(), 16);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(drawtest::At(bmp, x, y), 0u);
  EXPECT_FALSE(bmp.isFlipped());
}
