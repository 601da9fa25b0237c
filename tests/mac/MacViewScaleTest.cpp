// The macOS view's sizes: layout units against AppKit's points at each size and backing factor.

#include "platform/mac/MacViewScale.h"

#include "framework/EditorScale.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kW = 808, kH = 492;

// The view's size in points (what the host's window is made).
void ExpectViewSize(int percent, double backing, int w, int h)
{
  const MacViewScale scale(percent, backing, kH);
  const MacViewRect whole = scale.ToView(IRECT(0, 0, kW, kH));
  EXPECT_EQ(scale.Points(UnitsToPixels(kW, percent)), w) << percent << " % at " << backing;
  EXPECT_EQ(scale.Points(UnitsToPixels(kH, percent)), h) << percent << " % at " << backing;
  EXPECT_DOUBLE_EQ(whole.x, 0.0);
  EXPECT_DOUBLE_EQ(whole.y, 0.0);
  EXPECT_DOUBLE_EQ(whole.w, w);
  EXPECT_DOUBLE_EQ(whole.h, h);
}
} // namespace

TEST(MacViewScale, ViewIsThePixelsDividedByTheBackingFactor)
{
  ExpectViewSize(100, 1.0, 808, 492);
  ExpectViewSize(150, 1.0, 1212, 738);
  ExpectViewSize(200, 1.0, 1616, 984);
  ExpectViewSize(100, 2.0, 404, 246);
  ExpectViewSize(150, 2.0, 606, 369);
  ExpectViewSize(200, 2.0, 808, 492);
  // A factor AppKit cannot give (none, or nonsense) counts as an ordinary screen.
  ExpectViewSize(200, 0.0, 1616, 984);
  ExpectViewSize(200, -2.0, 1616, 984);
  // Half points round up: the view covers every pixel.
  EXPECT_EQ(MacViewScale(150, 2.0, kH).Points(1213), 607);
}

TEST(MacViewScale, EditorRectanglesBecomeViewRectanglesFlippedThroughTheHeight)
{
  // A knob at (41, 281)-(97, 337): y up from the bottom edge, in points.
  const IRECT knob(41, 281, 97, 337);
  const MacViewRect at100 = MacViewScale(100, 1.0, kH).ToView(knob);
  EXPECT_DOUBLE_EQ(at100.x, 41.0);
  EXPECT_DOUBLE_EQ(at100.y, 492.0 - 337.0);
  EXPECT_DOUBLE_EQ(at100.w, 56.0);
  EXPECT_DOUBLE_EQ(at100.h, 56.0);
  // At 200 % on Retina the same points as at 100 % on an ordinary screen.
  const MacViewRect retina = MacViewScale(200, 2.0, kH).ToView(knob);
  EXPECT_DOUBLE_EQ(retina.x, at100.x);
  EXPECT_DOUBLE_EQ(retina.y, at100.y);
  EXPECT_DOUBLE_EQ(retina.w, at100.w);
  EXPECT_DOUBLE_EQ(retina.h, at100.h);
  // At 150 % on Retina the pixel edges (rounded half up) in half points: 41 units = 62 px = 31 pt.
  const MacViewRect r150 = MacViewScale(150, 2.0, kH).ToView(IRECT(41, 1, 42, 2));
  EXPECT_DOUBLE_EQ(r150.x, 31.0);
  EXPECT_DOUBLE_EQ(r150.w, 0.5); // pixels 62..63
  EXPECT_DOUBLE_EQ(r150.y, (738 - 3) / 2.0);
  EXPECT_DOUBLE_EQ(r150.h, 0.5); // units 1..2 are pixels 2..3 (1.5 rounded up, 3)
}

TEST(MacViewScale, PointsReachTheUnitUnderTheirDevicePixel)
{
  int x = -1, y = -1;
  // The top-left point of the view is unit (0, 0); y counts down from the view's top edge.
  MacViewScale(200, 2.0, kH).ToUnits(0.0, 492.0, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  // 200 % on Retina: a point is a unit.
  MacViewScale(200, 2.0, kH).ToUnits(69.5, 492.0 - 309.5, &x, &y);
  EXPECT_EQ(x, 69);
  EXPECT_EQ(y, 309);
  // 200 % on an ordinary screen: two points a unit.
  MacViewScale(200, 1.0, kH).ToUnits(139.0, 984.0 - 619.0, &x, &y);
  EXPECT_EQ(x, 69);
  EXPECT_EQ(y, 309);
  // 100 % on Retina: half a point a unit.
  MacViewScale(100, 2.0, kH).ToUnits(34.75, 246.0 - 154.75, &x, &y);
  EXPECT_EQ(x, 69);
  EXPECT_EQ(y, 309);
  // 150 % on Retina: point 46.5 is pixel 93, in unit 62 (pixels 93..94).
  MacViewScale(150, 2.0, kH).ToUnits(46.5, 369.0, &x, &y);
  EXPECT_EQ(x, 62);
  EXPECT_EQ(y, 0);
  // The last point of the view is the last unit; left of and below the view are outside it.
  MacViewScale(150, 2.0, kH).ToUnits(605.9, 0.1, &x, &y);
  EXPECT_EQ(x, kW - 1);
  EXPECT_EQ(y, kH - 1);
  MacViewScale(150, 2.0, kH).ToUnits(-0.2, -0.2, &x, &y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, kH);
}

TEST(MacViewScale, AreasToDrawCoverEveryUnitTheyTouch)
{
  // The whole view at every size and factor is the whole editor.
  for (int percent : {100, 150, 200})
    for (double backing : {1.0, 2.0})
    {
      const MacViewScale scale(percent, backing, kH);
      EXPECT_EQ(scale.ToUnits(scale.ToView(IRECT(0, 0, kW, kH))), IRECT(0, 0, kW, kH))
          << percent << " " << backing;
      // A control's own rectangle comes back as it went.
      EXPECT_EQ(scale.ToUnits(scale.ToView(IRECT(41, 281, 97, 337))), IRECT(41, 281, 97, 337));
    }
  // Half a point at 100 % on Retina is one pixel, inside one unit; a sliver of a point reaches into
  // the next units.
  MacViewRect half;
  half.x = 10.0;
  half.y = 100.0;
  half.w = 0.5;
  half.h = 0.5;
  EXPECT_EQ(MacViewScale(100, 2.0, kH).ToUnits(half), IRECT(20, 291, 21, 292));
  half.w = 0.6;
  EXPECT_EQ(MacViewScale(100, 2.0, kH).ToUnits(half), IRECT(20, 291, 22, 292));
  // 150 % on an ordinary screen: pixels 3 and 4 are both unit 2.
  MacViewRect strip;
  strip.x = 3.0;
  strip.y = 0.0;
  strip.w = 2.0;
  strip.h = 738.0;
  EXPECT_EQ(MacViewScale(150, 1.0, kH).ToUnits(strip), IRECT(2, 0, 3, kH));
  // Nothing to draw gives an empty area at its place.
  MacViewRect none;
  none.x = 5.0;
  none.y = 246.0;
  EXPECT_EQ(MacViewScale(100, 2.0, kH).ToUnits(none), IRECT(10, 0, 10, 0));
}

TEST(MacViewScale, PointsPerUnitScaleTheEntryFields)
{
  EXPECT_DOUBLE_EQ(MacViewScale(100, 1.0, kH).PointsPerUnit(), 1.0);
  EXPECT_DOUBLE_EQ(MacViewScale(200, 2.0, kH).PointsPerUnit(), 1.0);
  EXPECT_DOUBLE_EQ(MacViewScale(150, 2.0, kH).PointsPerUnit(), 0.75);
  EXPECT_DOUBLE_EQ(MacViewScale(200, 1.0, kH).PointsPerUnit(), 2.0);
  // A size that is not one of the editor's counts as 100 %.
  EXPECT_DOUBLE_EQ(MacViewScale(120, 1.0, kH).PointsPerUnit(), 1.0);
}
