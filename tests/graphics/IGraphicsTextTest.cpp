// The font cache and text drawing into the back buffer.

#include "GraphicsTestPlug.h"

#include "drawing/DRAW_CachedFont.h"
#include "drawing/DRAW_SysBitmap.h"

namespace graphics_test
{
namespace
{

using IGraphicsText = GraphicsFixture;

TEST_F(IGraphicsText, FontIsSharedByStylesThatDifferOnlyInColourAlignmentAndQuality)
{
  IText a(13, IColor(255, 0, 0, 0), "Arial", IText::kStyleNormal, IText::kAlignNear);
  IText b(13, IColor(128, 255, 0, 0), "Arial", IText::kStyleNormal, IText::kAlignFar, 0,
          IText::kQualityNonAntiAliased);
  DRAW_CachedFont* font = mGraphics->FindFont(&a);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(mGraphics->FindFont(&b), font);
  IText bigger = a;
  bigger.mSize = 14;
  IText bold = a;
  bold.mStyle = IText::kStyleBold;
  IText turned = a;
  turned.mOrientation = 90;
  EXPECT_NE(mGraphics->FindFont(&bigger), font);
  EXPECT_NE(mGraphics->FindFont(&bold), font);
  EXPECT_NE(mGraphics->FindFont(&turned), font);
}

TEST_F(IGraphicsText, TextIsDrawnFromTheTopOfTheRectangleInItsColour)
{
  IText text(16, IColor(255, 255, 255, 255), "Arial", IText::kStyleNormal, IText::kAlignNear);
  IRECT r(10, 20, 150, 60);
  ASSERT_TRUE(mGraphics->DrawText(&text, "Hello", &r));
  ASSERT_NE(text.mCached, nullptr);
  int lit = 0, below = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (PixelAt(x, y).R > 128)
      {
        if (y >= 20 && y < 36 && x >= 10)
          ++lit;
        else
          ++below;
      }
  EXPECT_GT(lit, 20);
  EXPECT_EQ(below, 0);
}

} // namespace
} // namespace graphics_test
