#include "drawing/DRAW_CachedFont.h"
#include "drawing/DRAW_MemBitmap.h"

#include "drawing/DrawTestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using drawtest::At;
using drawtest::Px;

namespace
{

const DRAW_Pixel kBlack = Px(0, 0, 0, 255);

std::unique_ptr<DRAW_CachedFont> MakeFont(const char* face, int height, bool bold = false,
                                          bool italic = false, bool antialias = true)
{
  auto platform = DRAW_PlatformFont::Create(face, height, bold, italic, antialias);
  if (!platform) return nullptr;
  auto font = std::make_unique<DRAW_CachedFont>();
  font->SetFromHFont(std::move(platform), kDrawCachedFontFlags);
  font->SetTextColor(Px(255, 255, 255, 255));
  return font;
}

// Box around the pixels that differ from black; empty (right <= left) when none do.
DRAW_Rect Ink(const DRAW_IBitmap& bmp)
{
  DRAW_Rect r{bmp.getWidth(), bmp.getHeight(), 0, 0};
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if (At(bmp, x, y) != kBlack)
      {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r;
}

int MaxRed(const DRAW_IBitmap& bmp)
{
  int m = 0;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      m = std::max(m, DRAW_GetR(At(bmp, x, y)));
  return m;
}

} // namespace

TEST(DrawCachedFont, CommonFaceNamesResolveAndLineHeightIsTheRequestedPixelHeightButAtLeastTwo)
{
  for (const char* face : {"Arial", "Verdana", "NoSuchFaceAnywhere"})
  {
    auto font = MakeFont(face, 16);
    ASSERT_NE(font, nullptr) << face;
    EXPECT_EQ(font->GetLineHeight(), 16) << face;
  }
  for (int h : {-5, 0, 1})
  {
    auto platform = DRAW_PlatformFont::Create("Arial", h, false, false, true);
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(platform->GetHeight(), 2) << h;
  }
}

TEST(DrawCachedFont, TextStartsAtTheRectangleTopAndStaysInsideIt)
{
  auto font = MakeFont("Arial", 16);
  ASSERT_NE(font, nullptr);
  DRAW_MemBitmap bmp(200, 80);
  drawtest::FillSolid(bmp, kBlack);
  DRAW_Rect rect{10, 20, 190, 75}; // much taller than a line: no vertical centring
  EXPECT_EQ(font->DrawText(&bmp, "Hello Kestrune", -1, &rect, kDrawTextLeft), 16);
  const DRAW_Rect ink = Ink(bmp);
  ASSERT_LT(ink.left, ink.right);
  EXPECT_GE(ink.left, rect.left);
  EXPECT_LE(ink.left, rect.left + 3);
  EXPECT_GE(ink.top, rect.top);
  EXPECT_LE(ink.top, rect.top + 6); // capitals reach close to the top of the cell
  EXPECT_LE(ink.bottom, rect.top + 16);
  EXPECT_LE(ink.right, rect.right);
}

TEST(DrawCachedFont, CentredAndRightAlignmentShiftTheSameInkBySpareWidth)
{
  auto font = MakeFont("Arial", 14);
  ASSERT_NE(font, nullptr);
  const char* text = "Sample 42";
  int width = 0, height = 0;
  font->MeasureText(text, -1, &width, &height);
  EXPECT_EQ(height, 14);
  ASSERT_GT(width, 20);
  DRAW_Rect rect{5, 3, 160, 30};
  const int spare = rect.right - rect.left - width;

  DRAW_MemBitmap left(170, 40), centre(170, 40), right(170, 40);
  for (DRAW_MemBitmap* b : {&left, &centre, &right})
    drawtest::FillSolid(*b, kBlack);
  font->DrawText(&left, text, -1, &rect, kDrawTextLeft);
  font->DrawText(&centre, text, -1, &rect, kDrawTextCenter);
  font->DrawText(&right, text, -1, &rect, kDrawTextRight);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 170; ++x)
    {
      const DRAW_Pixel l = At(left, x, y);
      if (x + spare / 2 < 170)
      {
        ASSERT_EQ(At(centre, x + spare / 2, y), l) << x << "," << y;
      }
      if (x + spare < 170)
      {
        ASSERT_EQ(At(right, x + spare, y), l) << x << "," << y;
      }
    }
  EXPECT_LE(Ink(right).right, rect.right);
  EXPECT_GE(Ink(right).right, rect.right - 3);
}

TEST(DrawCachedFont, ColourAlphaWeightsTheTextOnlyWhenAskedFor)
{
  auto font = MakeFont("Arial", 20);
  ASSERT_NE(font, nullptr);
  font->SetTextColor(Px(255, 255, 255, 128));
  DRAW_Rect rect{0, 0, 100, 30};
  DRAW_MemBitmap weighted(100, 30), opaque(100, 30);
  drawtest::FillSolid(weighted, kBlack);
  drawtest::FillSolid(opaque, kBlack);
  font->DrawText(&weighted, "IIII", -1, &rect, kDrawTextUseColorAlpha);
  font->DrawText(&opaque, "IIII", -1, &rect, kDrawTextLeft);
  EXPECT_EQ(MaxRed(opaque), 255);
  // Full coverage at alpha 128/255: a = (256 * 128) >> 8 = 128, so 255 + ((0 - 255) * 128) >> 8 = 127.
  EXPECT_EQ(MaxRed(weighted), 127);
  font->SetTextColor(Px(255, 255, 255, 0));
  DRAW_MemBitmap none(100, 30);
  drawtest::FillSolid(none, kBlack);
  font->DrawText(&none, "IIII", -1, &rect, kDrawTextUseColorAlpha);
  EXPECT_EQ(Ink(none).right, 0);
}
