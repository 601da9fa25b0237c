// DRAW_FillRect and DRAW_Line.

#include "drawing/DRAW_Blend.h"
#include "drawing/DRAW_Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace draw_blend;

namespace
{

// Weight of a fill or line: alpha, times the colour's alpha with the source-alpha bit.
int FillWeight(DRAW_Pixel color, float alpha, int mode)
{
  if (mode & kDrawModeSourceAlpha) return WeightOf(alpha * static_cast<float>(DRAW_GetA(color)) / 255.0f);
  return WeightOf(alpha);
}

template <class Mix> void FillRows(DRAW_IBitmap* dest, int x, int y, int n, int rows, Mix mix)
{
  DRAW_Pixel* d = dest->Row(y) + x;
  const long step = dest->RowStep();
  for (int r = 0; r < rows; ++r, d += step)
  {
    for (int i = 0; i < n; ++i)
      d[i] = mix(d[i]);
  }
}

template <class Fn> void WithFillOp(int mode, Fn fn)
{
  switch (mode & kDrawCombineMask)
  {
  case kDrawCombineAdd:
    fn(FillAddOp());
    break;
  case kDrawCombineDodge:
    fn(FillDodgeOp());
    break;
  default:
    fn(FillCopyOp());
    break;
  }
}

} // namespace

void DRAW_FillRect(DRAW_IBitmap* dest, int x, int y, int w, int h, DRAW_Pixel color, float alpha, int mode)
{
  if (!dest || !dest->getBits()) return;
  const int weight = FillWeight(color, alpha, mode);
  if (weight == 0) return;
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t(x) + w, dest->getWidth());
  const int64_t y1 = std::min<int64_t>(int64_t(y) + h, dest->getHeight());
  if (x0 >= x1 || y0 >= y1) return;
  const int cx = static_cast<int>(x0), cy = static_cast<int>(y0);
  const int n = static_cast<int>(x1 - x0), rows = static_cast<int>(y1 - y0);

  if ((mode & kDrawCombineMask) == kDrawCombineCopy)
  {
    // Fast paths; each gives exactly what the general mix gives at that weight.
    switch (weight)
    {
    case 256:
      FillRows(dest, cx, cy, n, rows, [color](DRAW_Pixel) { return color; });
      return;
    case 64:
      FillRows(dest, cx, cy, n, rows, [color](DRAW_Pixel d) { return QuarterMix(d, color); });
      return;
    case 128:
      FillRows(dest, cx, cy, n, rows, [color](DRAW_Pixel d) { return Average(d, color); });
      return;
    case 192:
      FillRows(dest, cx, cy, n, rows, [color](DRAW_Pixel d) { return ThreeQuarterMix(d, color); });
      return;
    default:
      break;
    }
  }
  WithFillOp(mode, [&](auto op)
             { FillRows(dest, cx, cy, n, rows, [&](DRAW_Pixel d) { return op(d, color, weight); }); });
}

namespace
{

int64_t FloorDiv(int64_t a, int64_t b) // b > 0
{
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Visits the pixels of the line with `major` as the axis it advances along one pixel per step:
// plot(major, minor). Steps are clipped to [0, majorLimit) once; the minor axis is checked per pixel.
template <class Plot>
void WalkLine(int64_t a1, int64_t b1, int64_t a2, int64_t b2, int64_t majorLimit, int64_t minorLimit,
              Plot plot)
{
  if (a1 > a2) std::swap(a1, a2), std::swap(b1, b2);
  const int64_t n = a2 - a1, db = b2 - b1;
  const int64_t first = std::max<int64_t>(a1, 0), last = std::min<int64_t>(a2, majorLimit - 1);
  if (first > last) return;
  if (n == 0)
  {
    if (b1 >= 0 && b1 < minorLimit) plot(a1, b1);
    return;
  }
  // Minor coordinate at step i: b1 + floor((2 i db + n) / 2n), the nearest pixel, carried as q and r.
  const int64_t den = 2 * n;
  const int64_t num = 2 * (first - a1) * db + n;
  int64_t q = FloorDiv(num, den), r = num - q * den;
  for (int64_t a = first; a <= last; ++a)
  {
    const int64_t b = b1 + q;
    if (b >= 0 && b < minorLimit) plot(a, b);
    r += 2 * db;
    if (r >= den) r -= den, ++q;
    if (r < 0) r += den, --q;
  }
}

// Antialiased: at each step the exact line covers two neighbours on the minor axis; each gets its
// share of the weight.
template <class Plot>
void WalkLineSmooth(int64_t a1, int64_t b1, int64_t a2, int64_t b2, int64_t majorLimit, int64_t minorLimit,
                    Plot plot)
{
  if (a1 > a2) std::swap(a1, a2), std::swap(b1, b2);
  const int64_t n = a2 - a1, db = b2 - b1;
  const int64_t first = std::max<int64_t>(a1, 0), last = std::min<int64_t>(a2, majorLimit - 1);
  if (first > last) return;
  for (int64_t a = first; a <= last; ++a)
  {
    // Minor position in 1/256 pixel.
    const int64_t pos = (b1 << 8) + (n == 0 ? 0 : FloorDiv((a - a1) * db * 256 * 2 + n, 2 * n));
    const int64_t b = pos >> 8;
    const int frac = static_cast<int>(pos & 255);
    if (b >= 0 && b < minorLimit) plot(a, b, 256 - frac);
    if (frac != 0 && b + 1 >= 0 && b + 1 < minorLimit) plot(a, b + 1, frac);
  }
}

} // namespace

void DRAW_Line(DRAW_IBitmap* dest, int x1, int y1, int x2, int y2, DRAW_Pixel color, float alpha, int mode,
               bool antialias)
{
  if (!dest || !dest->getBits()) return;
  const int weight = FillWeight(color, alpha, mode);
  if (weight == 0) return;
  const int64_t width = dest->getWidth(), height = dest->getHeight();
  const bool alongX = std::llabs(int64_t(x2) - x1) >= std::llabs(int64_t(y2) - y1);

  WithFillOp(mode,
             [&](auto op)
             {
               auto put = [&](int64_t x, int64_t y, int w)
               {
                 DRAW_Pixel& d = dest->Row(static_cast<int>(y))[x];
                 d = op(d, color, w);
               };
               if (antialias)
               {
                 auto share = [&](int cover) { return (weight * cover) >> 8; };
                 if (alongX)
                   WalkLineSmooth(x1, y1, x2, y2, width, height,
                                  [&](int64_t x, int64_t y, int cover) { put(x, y, share(cover)); });
                 else
                   WalkLineSmooth(y1, x1, y2, x2, height, width,
                                  [&](int64_t y, int64_t x, int cover) { put(x, y, share(cover)); });
               }
               else
               {
                 if (alongX)
                   WalkLine(x1, y1, x2, y2, width, height, [&](int64_t x, int64_t y) { put(x, y, weight); });
                 else
                   WalkLine(y1, x1, y2, x2, height, width, [&](int64_t y, int64_t x) { put(x, y, weight); });
               }
             });
}
