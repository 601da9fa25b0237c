#include "platform/mac/MacViewScale.h"

#include "framework/EditorScale.h"

#include <cmath>

namespace
{
// Products of points and the backing factor land on whole pixels up to rounding noise of the
// multiplication; the noise must not move a pixel edge.
constexpr double kEdgeSlack = 1e-6;

int FloorPixel(double v)
{
  return static_cast<int>(std::floor(v + kEdgeSlack));
}

int CeilPixel(double v)
{
  return static_cast<int>(std::ceil(v - kEdgeSlack));
}
} // namespace

MacViewScale::MacViewScale(int percent, double backing, int heightUnits)
    : mPercent(IsEditorScale(percent) ? percent : kScale100),
      mBacking(std::isfinite(backing) && backing > 0.0 ? backing : 1.0),
      mHeightPixels(UnitsToPixels(heightUnits, mPercent))
{
}

int MacViewScale::Points(int pixels) const
{
  return CeilPixel(pixels / mBacking);
}

MacViewRect MacViewScale::ToView(const IRECT& units) const
{
  const int l = UnitsToPixels(units.L, mPercent), t = UnitsToPixels(units.T, mPercent);
  const int r = UnitsToPixels(units.R, mPercent), b = UnitsToPixels(units.B, mPercent);
  MacViewRect view;
  view.x = l / mBacking;
  view.y = (mHeightPixels - b) / mBacking;
  view.w = (r - l) / mBacking;
  view.h = (b - t) / mBacking;
  return view;
}

IRECT MacViewScale::ToUnits(const MacViewRect& view) const
{
  const int l = FloorPixel(view.x * mBacking), r = CeilPixel((view.x + view.w) * mBacking);
  const int t = FloorPixel(mHeightPixels - (view.y + view.h) * mBacking);
  const int b = CeilPixel(mHeightPixels - view.y * mBacking);
  // The last pixel's unit is the last unit covered.
  const int ul = PixelsToUnits(l, mPercent), ut = PixelsToUnits(t, mPercent);
  const int ur = r > l ? PixelsToUnits(r - 1, mPercent) + 1 : ul;
  const int ub = b > t ? PixelsToUnits(b - 1, mPercent) + 1 : ut;
  return IRECT(ul, ut, ur, ub);
}

void MacViewScale::ToUnits(double x, double y, int* ux, int* uy) const
{
  *ux = PixelsToUnits(FloorPixel(x * mBacking), mPercent);
  *uy = PixelsToUnits(FloorPixel(mHeightPixels - y * mBacking), mPercent);
}
