// The font cache and text drawing into the back buffer.

#include "GraphicsTestPlug.h"

#include "drawing/DRAW_CachedFont.h"

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

} // namespace
} // namespace graphics_test
