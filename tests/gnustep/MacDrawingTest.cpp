// The drawing layer as the macOS build has it, run in the GNUstep build: A, R, G, B pixels in memory,
// the back buffer as a bitmap context over its pixels, and Core Text glyphs (here drawn by the
// stand-in of CoreStandIn.mm).

#include "drawing/DRAW_PNG.h"
#include "drawing/DRAW_PlatformFont.h"
#include "drawing/DRAW_SysBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
TEST(MacPixels, PixelsAreAlphaRedGreenBlueInMemory)
{
  const DRAW_Pixel p = DRAW_MakePixel(0x11, 0x22, 0x33, 0x44);
  unsigned char bytes[4];
  std::memcpy(bytes, &p, 4);
  EXPECT_EQ(bytes[0], 0x44);
  EXPECT_EQ(bytes[1], 0x11);
  EXPECT_EQ(bytes[2], 0x22);
  EXPECT_EQ(bytes[3], 0x33);
  EXPECT_EQ(DRAW_GetA(p), 0x44);
  EXPECT_EQ(DRAW_GetR(p), 0x11);
  EXPECT_EQ(DRAW_GetG(p), 0x22);
  EXPECT_EQ(DRAW_GetB(p), 0x33);
}

TEST(MacSysBitmap, IsABitmapContextOverAlignedRowsThatKeepsItsAllocationWhenItFits)
{
  DRAW_SysBitmap bmp(10, 5);
  ASSERT_NE(bmp.getBits(), nullptr);
  EXPECT_NE(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getRowSpan(), 12);
  EXPECT_FALSE(bmp.isFlipped());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bmp.getBits()) % 64, 0u);
  for (int i = 0; i < bmp.getRowSpan() * bmp.getHeight(); ++i)
    EXPECT_EQ(bmp.getBits()[i], 0u);

  DRAW_Pixel* bits = bmp.getBits();
  EXPECT_TRUE(bmp.resize(8, 6));
  EXPECT_EQ(bmp.getBits(), bits);
  EXPECT_EQ(bmp.getRowSpan(), 8);
  EXPECT_NE(bmp.getDC(), nullptr);
  EXPECT_FALSE(bmp.resize(8, 6));

  EXPECT_TRUE(bmp.resize(64, 64));
  EXPECT_EQ(bmp.getWidth(), 64);
  EXPECT_NE(bmp.getDC(), nullptr);
  EXPECT_TRUE(bmp.resize(0, 0));
  EXPECT_EQ(bmp.getDC(), nullptr);
}

TEST(MacPng, RowsAreReadAsAlphaRedGreenBlueBytes)
{
  char dir[] = "/tmp/kestrune-macpng-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/p.png";
  DRAW_SysBitmap source(3, 2);
  const DRAW_Pixel pixels[6] = {DRAW_MakePixel(255, 0, 0, 255),     DRAW_MakePixel(0, 255, 0, 128),
                                DRAW_MakePixel(0, 0, 255, 0),       DRAW_MakePixel(1, 2, 3, 4),
                                DRAW_MakePixel(250, 251, 252, 253), DRAW_MakePixel(9, 8, 7, 255)};
  for (int i = 0; i < 6; ++i)
    source.Row(i / 3)[i % 3] = pixels[i];
  ASSERT_TRUE(DRAW_SavePNG(&source, path.c_str()));
  DRAW_SysBitmap loaded(0, 0);
  ASSERT_EQ(DRAW_LoadPNG(path.c_str(), &loaded), &loaded);
  ASSERT_EQ(loaded.getWidth(), 3);
  ASSERT_EQ(loaded.getHeight(), 2);
  for (int i = 0; i < 6; ++i)
  {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&loaded.Row(i / 3)[i % 3]);
    EXPECT_EQ(b[0], DRAW_GetA(pixels[i])) << i;
    EXPECT_EQ(b[1], DRAW_GetR(pixels[i])) << i;
    EXPECT_EQ(b[2], DRAW_GetG(pixels[i])) << i;
    EXPECT_EQ(b[3], DRAW_GetB(pixels[i])) << i;
  }
  std::remove(path.c_str());
  rmdir(dir);
}

TEST(MacFont, AFontOfACellHeightRendersGlyphsWithinIt)
{
  auto font = DRAW_PlatformFont::Create("Arial", 24, false, false, true);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->GetHeight(), 24);
  EXPECT_GT(font->GetAscent(), 12);
  EXPECT_LT(font->GetAscent(), 24);

  DRAW_GlyphImage glyph;
  std::vector<uint8_t> coverage;
  ASSERT_TRUE(font->RenderGlyph('H', &glyph, &coverage));
  EXPECT_GT(glyph.advance, 0);
  ASSERT_GT(glyph.width, 0);
  ASSERT_GT(glyph.height, 0);
  ASSERT_EQ(coverage.size(), static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height));
  EXPECT_GT(std::accumulate(coverage.begin(), coverage.end(), 0L), 255L * 20);
  // The glyph's box stands on the baseline, within the cell.
  EXPECT_GE(glyph.top, font->GetAscent() / 2);
  EXPECT_LE(glyph.top - glyph.height, 2);

  DRAW_GlyphImage space;
  std::vector<uint8_t> none;
  ASSERT_TRUE(font->RenderGlyph(' ', &space, &none));
  EXPECT_GT(space.advance, 0);
  EXPECT_EQ(space.width, 0);
  EXPECT_TRUE(none.empty());
}
} // namespace
