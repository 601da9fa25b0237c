// Control variants the layout does not use but the controls offer: vertical and uncentred sliders, a
// knob that snaps to steps, a knob whose text sits below it.

#include "editor/EditorFixture.h"

#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"
#include "framework/IGraphics.h"

namespace editortest
{
TEST_F(EditorTest, VerticalSliderRunsUpwardsAndItsBarGrowsFromTheBottom)
{
  const IBitmap handle = Gui()->LoadBitmap(110, "../img/slider.png", 1); // 12 x 16
  ISlider slider(mPlug.get(), -1, IRECT(10, 100, 30, 200), handle, IText(), 89, IColor(255, 1, 2, 3), 2,
                 kVertical, 8, false);
  EXPECT_EQ(slider.HandleRect(), IRECT(14, 100, 26, 189));
  EXPECT_EQ(slider.Travel(), 73);
  IMouseMod left(true);
  slider.OnMouseDown(20, 108, &left); // the handle's centre at the top
  EXPECT_DOUBLE_EQ(slider.GetValue(), 1.0);
  IRECT bar;
  ASSERT_TRUE(slider.BarRect(&bar));
  EXPECT_EQ(bar, IRECT(19, 108, 21, 181));
  EXPECT_EQ(slider.HandleDrawRect(), IRECT(14, 100, 26, 116));
  slider.OnMouseDrag(20, 181, 0, 73, &left); // the bottom
  EXPECT_DOUBLE_EQ(slider.GetValue(), 0.0);
  EXPECT_FALSE(slider.BarRect(&bar));
  EXPECT_EQ(slider.HandleDrawRect(), IRECT(14, 173, 26, 189));
}

TEST_F(EditorTest, UncentredHorizontalBarStartsAfterTheEndMargin)
{
  const IBitmap handle = Gui()->LoadBitmap(110, "../img/slider.png", 1);
  ISlider slider(mPlug.get(), -1, IRECT(0, 0, 100, 16), handle, IText(), 89, IColor(255, 1, 2, 3), 2,
                 kHorizontal, 8, false);
  IRECT bar;
  EXPECT_FALSE(slider.BarRect(&bar)); // value 0: the bar would end before the margin
  IMouseMod left(true);
  slider.OnMouseDown(6 + 77 + 6, 8, &left);
  EXPECT_DOUBLE_EQ(slider.GetValue(), 1.0);
  ASSERT_TRUE(slider.BarRect(&bar));
  EXPECT_EQ(bar, IRECT(14, 7, 89, 9));
}

TEST_F(EditorTest, KnobWithStepsSnapsWhenReleasedAndKeepsTextBelowWithAPositiveOffset)
{
  const IBitmap knob = Gui()->LoadBitmap(101, "../img/knob.png", 1);
  IText text(15, IColor(255, 0, 0, 0));
  IKnobRotVal stepped(mPlug.get(), -1, 100, 100, knob, text, 4, 270, 0, kVertical, true, 4, 4.0, 1.0f);
  // Text below the knob: the rectangle grows by offset + text size.
  EXPECT_EQ(stepped.GetRECT(), IRECT(72, 72, 128, 100 + 4 + 15 + 28));
  EXPECT_EQ(stepped.TextRect(), IRECT(72, 147 - 15, 128, 147));
  IMouseMod left(true);
  stepped.OnMouseDrag(100, 90, 0, -30, &left); // 30 / (75 * 4) = 0.1
  EXPECT_NEAR(stepped.GetValue(), 0.1, 1e-12);
  stepped.OnMouseUp(100, 90, &left);
  EXPECT_DOUBLE_EQ(stepped.GetValue(), 0.0);
  stepped.OnMouseDrag(100, 60, 0, -60, &left); // 0.2 more
  stepped.OnMouseUp(100, 60, &left);
  EXPECT_DOUBLE_EQ(stepped.GetValue(), 0.25);
  IKnobRotVal narrow(mPlug.get(), -1, 100, 100, knob, text, -22, 300, 41);
  EXPECT_EQ(narrow.GetRECT(), IRECT(80, 72, 120, 128)); // an override of 41 gives integer halves of 20
}
} // namespace editortest
