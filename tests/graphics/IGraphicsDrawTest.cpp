// Dirty collection, the strict and non-strict draw passes, the timer tick, bitmap frames and the
// process-wide bitmap cache.

#include "GraphicsTestPlug.h"

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/IBitmapControl.h"

namespace graphics_test
{
namespace
{

using IGraphicsDrawPass = GraphicsFixture;

// A bitmap of n frames stacked vertically (or side by side), frame k (1-based) filled with
// FrameColor(k). Owned by the caller.
DRAW_MemBitmap* MakeFrames(int frameW, int frameH, int n, bool sideBySide)
{
  auto* bmp = new DRAW_MemBitmap(sideBySide ? frameW * n : frameW, sideBySide ? frameH : frameH * n, 4);
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x)
    {
      int k = (sideBySide ? x / frameW : y / frameH) + 1;
      bmp->Row(y)[x] = DRAW_MakePixel(k * 40, 0, 0, 255);
    }
  return bmp;
}

TEST_F(IGraphicsDrawPass, BitmapControlChoosesItsFrameFromTheValue)
{
  std::unique_ptr<DRAW_MemBitmap> frames(MakeFrames(8, 6, 3, false));
  IBitmap bitmap(frames.get(), 8, 18, 3);
  auto* control = Add(new IBitmapControl(mPlug.get(), 20, 30, -1, &bitmap));
  EXPECT_EQ(control->GetRECT(), IRECT(20, 30, 28, 36));
  const double values[] = {0.0, 0.24, 0.25, 0.5, 0.74, 0.75, 1.0};
  const int expected[] = {1, 1, 2, 2, 2, 3, 3};
  for (int i = 0; i < 7; ++i)
  {
    control->SetValueFromUserInput(values[i]);
    EXPECT_EQ(control->FrameForValue(), expected[i]) << values[i];
    DrawAll();
    EXPECT_EQ(PixelAt(20, 30).R, expected[i] * 40) << values[i];
    EXPECT_EQ(PixelAt(27, 35).R, expected[i] * 40) << values[i];
  }
  IBitmap single(frames.get(), 8, 18, 1);
  IBitmapControl one(mPlug.get(), IRECT(0, 0, 8, 18), -1, &single);
  one.SetValueFromUserInput(1.0);
  EXPECT_EQ(one.FrameForValue(), 1);
}

} // namespace
} // namespace graphics_test

namespace graphics_test
{
namespace
{
using IGraphicsPicture = GraphicsFixture;

TEST_F(IGraphicsPicture, PictureOfAnOpenEditorLeavesItsWindowToRepaintWhatItDrew)
{
  auto* probe = Add(new ProbeControl(mPlug.get(), IRECT(10, 10, 50, 40), -1, IColor(255, 0, 0, 200)));
  DrawAll();
  EXPECT_FALSE(mGraphics->TickAndPaint()) << "nothing to paint yet";
  probe->MarkRedraw();
  std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH);
  ASSERT_TRUE(mGraphics->DrawPicture(1, 0, pixels.data(), kW, kH));
  EXPECT_EQ(pixels[static_cast<size_t>(20) * kW + 20], 0xFF0000C8u) << "the probe's blue, as A R G B";
  // The picture's passes took the probe's redraw request; the window still has to show the change.
  const int paintsBefore = mGraphics->Paints();
  EXPECT_TRUE(mGraphics->TickAndPaint());
  EXPECT_EQ(mGraphics->Paints(), paintsBefore + 1);
  EXPECT_EQ(mGraphics->LastPaintedArea(), IRECT(0, 0, kW, kH));
}
} // namespace
} // namespace graphics_test
