// Images drawn turned (the knobs): the picture kept per place and angle gives the pixels that sampling
// the image again gives, for every blend that uses the source's alpha, and follows a new angle.

#include "GraphicsTestPlug.h"

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"
#include "drawing/DRAW_SysBitmap.h"

namespace graphics_test
{
namespace
{

class TurnedImage : public GraphicsFixture
{
protected:
  void SetUp() override
  {
    GraphicsFixture::SetUp();
    // An odd-sized image with a colour ramp and alpha from opaque to clear, so that the edges and the
    // alpha weighting both show.
    mImage = std::make_unique<DRAW_MemBitmap>(21, 15, 4);
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 21; ++x)
        mImage->Row(y)[x] = DRAW_MakePixel(12 * x, 17 * y, 200 - 9 * x, (x * 37 + y * 11) % 256);
  }
  // Fills the back buffer and expected alike with a pattern that differs from pixel to pixel.
  void Background()
  {
    DRAW_IBitmap* back = mGraphics->GetDrawBitmap();
    mExpected = std::make_unique<DRAW_MemBitmap>(back->getWidth(), back->getHeight(), 4);
    for (int y = 0; y < back->getHeight(); ++y)
      for (int x = 0; x < back->getWidth(); ++x)
      {
        const DRAW_Pixel p = DRAW_MakePixel((x * 7) % 256, (y * 5) % 256, (x + y) % 256, 255);
        back->Row(y)[x] = p;
        mExpected->Row(y)[x] = p;
      }
  }
  // Draws the image turned at (cx, cy) through the editor, and by sampling into expected.
  void Draw(int cx, int cy, double angle, const IChannelBlend& blend, int mode)
  {
    IBitmap handle(mImage.get(), 21, 15, 1);
    IChannelBlend b = blend;
    mGraphics->DrawRotatedBitmap(&handle, cx, cy, angle, &b);
    DRAW_RotatedBlit(mExpected.get(), mImage.get(), cx - 10, cy - 7, 21, 15, 0, 0, 21, 15, angle, true,
                     blend.mWeight, mode | kDrawModeBilinear, 0, 0);
  }
  // The first pixel where the back buffer and expected differ, as "(x, y)"; empty when none does.
  std::string FirstDifference() const
  {
    DRAW_IBitmap* back = mGraphics->GetDrawBitmap();
    for (int y = 0; y < back->getHeight(); ++y)
      for (int x = 0; x < back->getWidth(); ++x)
        if (back->Row(y)[x] != mExpected->Row(y)[x])
          return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return "";
  }

  std::unique_ptr<DRAW_MemBitmap> mImage;
  std::unique_ptr<DRAW_MemBitmap> mExpected;
};

TEST_F(TurnedImage, KeptPictureDrawsWhatSamplingDrawsAtTheSameAndAtANewAngle)
{
  const struct
  {
    IChannelBlend blend;
    int mode;
  } blends[] = {{IChannelBlend(), kDrawCombineCopy | kDrawModeSourceAlpha},
                {IChannelBlend(IChannelBlend::kBlendNone, 0.6f), kDrawCombineCopy | kDrawModeSourceAlpha},
                {IChannelBlend(IChannelBlend::kBlendAdd, 0.8f), kDrawCombineAdd | kDrawModeSourceAlpha},
                {IChannelBlend(IChannelBlend::kBlendColorDodge), kDrawCombineDodge | kDrawModeSourceAlpha},
                {IChannelBlend(IChannelBlend::kBlendClobber), kDrawCombineCopy}};
  for (const auto& b : blends)
  {
    // First drawing, the same angle again over a new background, then a new angle at the same place.
    for (double angle : {0.7, 0.7, -2.1, 0.0})
    {
      Background();
      Draw(60, 40, angle, b.blend, b.mode);
      EXPECT_EQ(FirstDifference(), "") << "method " << b.blend.mMethod << ", angle " << angle;
    }
  }
}

TEST_F(TurnedImage, PictureCutByTheBufferEdgesShowsThePixelsOfTheWholePicture)
{
  DRAW_IBitmap* back = mGraphics->GetDrawBitmap();
  IBitmap handle(mImage.get(), 21, 15, 1);
  for (double angle : {0.3, 1.9})
  {
    DRAW_FillRect(back, 0, 0, kW, kH, DRAW_MakePixel(30, 60, 90, 255), 1.0f, kDrawCombineCopy);
    // Whole at (60, 40): its square starts at (50, 33). Cut at (3, 2): its square starts at (-7, -5).
    mGraphics->DrawRotatedBitmap(&handle, 60, 40, angle);
    mGraphics->DrawRotatedBitmap(&handle, 3, 2, angle);
    mGraphics->DrawRotatedBitmap(&handle, kW - 4, kH - 3, angle); // square from (kW - 14, kH - 10)
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 21; ++x)
      {
        const DRAW_Pixel whole = back->Row(33 + y)[50 + x];
        if (x >= 7 && y >= 5)
        {
          ASSERT_EQ(back->Row(y - 5)[x - 7], whole) << x << ", " << y << " at " << angle;
        }
        if (x < 14 && y < 10)
        {
          ASSERT_EQ(back->Row(kH - 10 + y)[kW - 14 + x], whole) << x << ", " << y << " at " << angle;
        }
      }
  }
}

} // namespace
} // namespace graphics_test
