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

TEST_F(IGraphicsDrawPass, DirtyAreaIsTheUnionOfTheDirtyControls)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10)));
  auto* b = Add(new ProbeControl(mPlug.get(), IRECT(50, 20, 60, 30)));
  Add(new ProbeControl(mPlug.get(), IRECT(100, 50, 110, 60)));
  DrawAll();
  IRECT area;
  EXPECT_FALSE(mGraphics->IsDirty(&area));
  EXPECT_TRUE(area.Empty());
  a->SetDirty(false);
  b->SetDirty(false);
  EXPECT_TRUE(mGraphics->IsDirty(&area));
  EXPECT_EQ(area, IRECT(0, 0, 60, 30));
}

TEST_F(IGraphicsDrawPass, StrictPassDrawsVisibleControlsOverTheAreaAndCleansEveryControl)
{
  auto* inside = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10)));
  auto* outside = Add(new ProbeControl(mPlug.get(), IRECT(100, 50, 110, 60)));
  auto* hidden = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10)));
  hidden->Hide(true);
  IRECT area(0, 0, 20, 20);
  EXPECT_TRUE(mGraphics->Draw(&area));
  EXPECT_EQ(inside->mDraws, 1);
  EXPECT_EQ(outside->mDraws, 0);
  EXPECT_EQ(hidden->mDraws, 0);
  EXPECT_FALSE(inside->IsDirty());
  EXPECT_FALSE(outside->IsDirty());
  EXPECT_TRUE(hidden->IsDirty()); // hiding asked for one more redraw
  EXPECT_EQ(mGraphics->Paints(), 1);
  EXPECT_EQ(mGraphics->LastPaintedArea(), area);
}

TEST_F(IGraphicsDrawPass, NonStrictPassRedrawsEachDirtyControlWithWhatOverlapsIt)
{
  auto* background = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, kW, kH)));
  auto* dirty = Add(new ProbeControl(mPlug.get(), IRECT(10, 10, 20, 20)));
  auto* overlapping = Add(new ProbeControl(mPlug.get(), IRECT(15, 15, 30, 30)));
  auto* apart = Add(new ProbeControl(mPlug.get(), IRECT(100, 50, 110, 60)));
  mGraphics->SetStrictDrawing(false);
  DrawAll(); // the background was dirty: everything is drawn once and cleaned
  EXPECT_EQ(apart->mDraws, 1);
  EXPECT_FALSE(apart->IsDirty());
  dirty->SetDirty(false);
  IRECT area(10, 10, 20, 20);
  mGraphics->Draw(&area);
  EXPECT_EQ(background->mDraws, 2);
  EXPECT_EQ(dirty->mDraws, 2);
  EXPECT_EQ(overlapping->mDraws, 2);
  EXPECT_EQ(apart->mDraws, 1);
  EXPECT_FALSE(dirty->IsDirty());
  EXPECT_EQ(mGraphics->GetDrawRect(), IRECT(10, 10, 20, 20));
}

TEST_F(IGraphicsDrawPass, AlwaysRedrawStripIsRepaintedEveryTickEvenWhenNothingChanged)
{
  Add(new ProbeControl(mPlug.get(), IRECT(0, 0, kW, kH)));
  auto* strip = Add(new ProbeControl(mPlug.get(), IRECT(10, 40, 190, 44)));
  DrawAll();
  mGraphics->SetAlwaysRedrawRect(IRECT(10, 40, 190, 44));
  mGraphics->Ticks(3);
  EXPECT_EQ(strip->mDraws, 4);
  EXPECT_EQ(mGraphics->LastPaintedArea(), IRECT(10, 40, 190, 44));
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

TEST_F(IGraphicsDrawPass, SideBySideFramesAreTakenFromTheRight)
{
  std::unique_ptr<DRAW_MemBitmap> frames(MakeFrames(5, 4, 4, true));
  IBitmap bitmap(frames.get(), 20, 4, 4);
  auto* control =
      Add(new IBitmapControl(mPlug.get(), IRECT(0, 0, 5, 4), -1, &bitmap, IChannelBlend(), false));
  control->SetValueFromUserInput(2.0 / 3.0);
  DrawAll();
  EXPECT_EQ(PixelAt(0, 0).R, 3 * 40);
  EXPECT_EQ(PixelAt(4, 3).R, 3 * 40);
}

TEST_F(IGraphicsDrawPass, BitmapClippedOnTheLeftAndTopShiftsItsSource)
{
  std::unique_ptr<DRAW_MemBitmap> frames(MakeFrames(1, 1, 10, true)); // columns 40, 80, ...
  IBitmap bitmap(frames.get(), 10, 1, 1);
  // A pass over (3, 0, 10, 1) in which no control draws sets the area the bitmap is clipped to.
  Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 1, 1)));
  IRECT area(3, 0, 10, 1);
  mGraphics->Draw(&area);
  IRECT dest(0, 0, 10, 1);
  mGraphics->DrawBitmap(&bitmap, &dest, 0, 0, nullptr);
  EXPECT_EQ(PixelAt(3, 0).R, 160); // source column 3
  EXPECT_EQ(PixelAt(2, 0).R, 0);   // outside the pass area: untouched
}

// A headless context that counts its image decodes and makes 4 x 4 bitmaps.
class CountingGraphics : public IGraphicsHeadless
{
public:
  using IGraphicsHeadless::IGraphicsHeadless;
  DRAW_IBitmap* LoadPlatformBitmap(int id, const char*) override
  {
    ++mLoads;
    return id == kMissing ? nullptr : new DRAW_MemBitmap(4, 4, 4);
  }
  static constexpr int kMissing = 7799;
  int mLoads = 0;
};

TEST(IGraphicsBitmapCache, SameIdGivesTheSameBitmapAcrossEditorsAndNames)
{
  TestPlug plug;
  CountingGraphics first(&plug, 10, 10);
  CountingGraphics second(&plug, 10, 10);
  IBitmap a = first.LoadBitmap(7701, "../img/a.png", 2);
  IBitmap b = second.LoadBitmap(7701, "../img/other.png", 1);
  ASSERT_NE(a.mData, nullptr);
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(first.mLoads + second.mLoads, 1);
  EXPECT_EQ(a.N, 2);
  EXPECT_EQ(b.N, 1);
  EXPECT_EQ(a.W, 4);
  EXPECT_NE(first.LoadBitmap(7702, "../img/a.png").mData, a.mData);
}

TEST(IGraphicsBitmapCache, MissingImageGivesAnEmptyHandleThatDrawsNothing)
{
  TestPlug plug;
  CountingGraphics graphics(&plug, 10, 10);
  graphics.PrepDraw();
  IBitmap missing = graphics.LoadBitmap(CountingGraphics::kMissing, "none.png");
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(missing.W, 0);
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(graphics.DrawBitmap(&missing, &r, 0, 0));
  EXPECT_TRUE(graphics.DrawBitmapFrame(&missing, &r, 2));
  EXPECT_TRUE(graphics.DrawRotatedBitmap(&missing, 5, 5, 1.0));
  // Not remembered as missing: a later attempt asks the platform again.
  graphics.LoadBitmap(CountingGraphics::kMissing, "none.png");
  EXPECT_EQ(graphics.mLoads, 2);
}

} // namespace
} // namespace graphics_test
