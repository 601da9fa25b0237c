// DRAW_Blit and DRAW_RotatedBlit.

#include "drawing/DRAW_Blend.h"
#include "drawing/DRAW_Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace draw_blend;

namespace
{

// Runs op over `rows` rows of n pixels. Rows go downwards unless `upwards`; pixels go right unless
// `leftwards` (the two orders that keep an overlapping copy within one bitmap correct).
template <class Op>
void BlitRows(DRAW_Pixel* d, long dstep, const DRAW_Pixel* s, long sstep, int n, int rows, bool upwards,
              bool leftwards, Op op)
{
  if (upwards)
  {
    d += dstep * (rows - 1);
    s += sstep * (rows - 1);
    dstep = -dstep;
    sstep = -sstep;
  }
  for (int r = 0; r < rows; ++r, d += dstep, s += sstep)
  {
    if (leftwards)
    {
      for (int i = n - 1; i >= 0; --i)
        d[i] = op(d[i], s[i]);
    }
    else
    {
      for (int i = 0; i < n; ++i)
        d[i] = op(d[i], s[i]);
    }
  }
}

} // namespace

void DRAW_Blit(DRAW_IBitmap* dest, const DRAW_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
               int srch, float alpha, int mode)
{
  if (!dest || !src || !dest->getBits() || !src->getBits()) return;
  const int w = WeightOf(alpha);
  if (w == 0) return;

  // Clip to the source, then to the destination, moving the other origin by what is cut off.
  int64_t sx = srcx, sy = srcy, dx = dstx, dy = dsty, cw = srcw, ch = srch;
  if (sx < 0) dx -= sx, cw += sx, sx = 0;
  if (sy < 0) dy -= sy, ch += sy, sy = 0;
  cw = std::min<int64_t>(cw, src->getWidth() - sx);
  ch = std::min<int64_t>(ch, src->getHeight() - sy);
  if (dx < 0) sx -= dx, cw += dx, dx = 0;
  if (dy < 0) sy -= dy, ch += dy, dy = 0;
  cw = std::min<int64_t>(cw, dest->getWidth() - dx);
  ch = std::min<int64_t>(ch, dest->getHeight() - dy);
  if (cw <= 0 || ch <= 0) return;

  const int n = static_cast<int>(cw), rows = static_cast<int>(ch);
  DRAW_Pixel* d = dest->Row(static_cast<int>(dy)) + dx;
  const DRAW_Pixel* s = src->Row(static_cast<int>(sy)) + sx;
  const long dstep = dest->RowStep(), sstep = src->RowStep();
  const bool same = static_cast<const DRAW_IBitmap*>(dest) == src;
  const bool upwards = same && dy > sy;
  const bool leftwards = same && dy == sy && dx > sx;

  if ((mode & kDrawCombineMask) == kDrawCombineCopy && !(mode & kDrawModeSourceAlpha) && w == 256)
  {
    // Weight 1.0: the copy formula reproduces the source exactly.
    const size_t bytes = static_cast<size_t>(n) * sizeof(DRAW_Pixel);
    if (upwards)
    {
      for (int r = rows - 1; r >= 0; --r)
        std::memmove(d + dstep * r, s + sstep * r, bytes);
    }
    else
    {
      for (int r = 0; r < rows; ++r)
        std::memmove(d + dstep * r, s + sstep * r, bytes);
    }
    return;
  }
  WithBlitOp(mode, w, [&](auto op) { BlitRows(d, dstep, s, sstep, n, rows, upwards, leftwards, op); });
}

namespace
{

constexpr double kFixedOne = 65536.0;

// Sampling positions in 16.16 fixed point, in absolute source pixels (pixel i spans [i, i + 1)).
struct SourceArea
{
  const DRAW_Pixel* row0;
  long step;
  int64_t lox, hix, loy, hiy; // valid positions: lo <= pos < hi, in whole pixels
};

struct NearestSampler
{
  DRAW_Pixel operator()(const SourceArea& a, int64_t u, int64_t v) const
  {
    return a.row0[a.step * static_cast<long>(v >> 16) + static_cast<long>(u >> 16)];
  }
};

// Bilinear sampling weighted by alpha, so that transparent neighbours lend no colour to the edge.
struct BilinearSampler
{
  DRAW_Pixel operator()(const SourceArea& a, int64_t u, int64_t v) const
  {
    const int64_t bu = u - 32768, bv = v - 32768;
    const int64_t x0 = bu >> 16, y0 = bv >> 16;
    const int fx = static_cast<int>((bu >> 8) & 255), fy = static_cast<int>((bv >> 8) & 255);
    const long xa = static_cast<long>(std::max(x0, a.lox)),
               xb = static_cast<long>(std::min(x0 + 1, a.hix - 1));
    const long ya = static_cast<long>(std::max(y0, a.loy)),
               yb = static_cast<long>(std::min(y0 + 1, a.hiy - 1));
    const DRAW_Pixel p[4] = {a.row0[a.step * ya + xa], a.row0[a.step * ya + xb], a.row0[a.step * yb + xa],
                             a.row0[a.step * yb + xb]};
    int wt[4];
    wt[0] = ((256 - fx) * (256 - fy)) >> 8;
    wt[1] = (fx * (256 - fy)) >> 8;
    wt[2] = ((256 - fx) * fy) >> 8;
    wt[3] = 256 - wt[0] - wt[1] - wt[2];
    int sumA = 0, sumR = 0, sumG = 0, sumB = 0;
    for (int i = 0; i < 4; ++i)
    {
      const int wa = wt[i] * DRAW_GetA(p[i]);
      sumA += wa;
      sumR += wa * DRAW_GetR(p[i]);
      sumG += wa * DRAW_GetG(p[i]);
      sumB += wa * DRAW_GetB(p[i]);
    }
    const int div = std::max(sumA, 1), half = div / 2;
    return DRAW_MakePixel((sumR + half) / div, (sumG + half) / div, (sumB + half) / div, (sumA + 128) >> 8);
  }
};

struct RotatedSetup
{
  int x0, x1, y0, y1;  // destination pixels visited
  double uAt00, vAt00; // source position of destination pixel (0, 0)'s centre
  double duX, dvX, duY, dvY;
};

template <class Sampler, class Op>
void RotatedRows(DRAW_IBitmap* dest, const SourceArea& area, const RotatedSetup& r, Sampler sample, Op op)
{
  const int64_t du = std::llround(r.duX * kFixedOne), dv = std::llround(r.dvX * kFixedOne);
  const int64_t lou = area.lox << 16, hiu = area.hix << 16, lov = area.loy << 16, hiv = area.hiy << 16;
  for (int y = r.y0; y < r.y1; ++y)
  {
    const int64_t u0 = std::llround((r.uAt00 + r.duY * y + r.duX * r.x0) * kFixedOne);
    const int64_t v0 = std::llround((r.vAt00 + r.dvY * y + r.dvX * r.x0) * kFixedOne);
    auto inside = [&](int x)
    {
      const int64_t u = u0 + du * (x - r.x0), v = v0 + dv * (x - r.x0);
      return u >= lou && u < hiu && v >= lov && v < hiv;
    };
    // The source area is convex, so the pixels of a row that land inside it are one run.
    int xa = r.x0, xb = r.x1;
    while (xa < xb && !inside(xa))
      ++xa;
    while (xb > xa && !inside(xb - 1))
      --xb;
    DRAW_Pixel* d = dest->Row(y);
    int64_t u = u0 + du * (xa - r.x0), v = v0 + dv * (xa - r.x0);
    for (int x = xa; x < xb; ++x, u += du, v += dv)
      d[x] = op(d[x], sample(area, u, v));
  }
}

} // namespace

void DRAW_RotatedBlit(DRAW_IBitmap* dest, const DRAW_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      int srcx, int srcy, int srcw, int srch, double angle, bool cliptosourcerect,
                      float alpha, int mode, int rotxcent, int rotycent)
{
  if (!dest || !src || static_cast<const DRAW_IBitmap*>(dest) == src || !dest->getBits() || !src->getBits())
    return;
  const int w = WeightOf(alpha);
  if (w == 0 || dstw <= 0 || dsth <= 0 || srcw <= 0 || srch <= 0 || !std::isfinite(angle)) return;

  SourceArea area{src->Row(0),
                  src->RowStep(),
                  std::max<int64_t>(srcx, 0),
                  std::min<int64_t>(int64_t(srcx) + srcw, src->getWidth()),
                  std::max<int64_t>(srcy, 0),
                  std::min<int64_t>(int64_t(srcy) + srch, src->getHeight())};
  if (area.lox >= area.hix || area.loy >= area.hiy) return;

  const double c = std::cos(angle), s = std::sin(angle);
  const double cx = dstx + dstw / 2.0 + rotxcent, cy = dsty + dsth / 2.0 + rotycent;
  const double kx = double(srcw) / dstw, ky = double(srch) / dsth;

  // Destination pixels to visit: the destination rectangle, or the box around its rotated corners.
  double bx0 = dstx, by0 = dsty, bx1 = double(dstx) + dstw, by1 = double(dsty) + dsth;
  if (!cliptosourcerect)
  {
    const double qx[4] = {bx0, bx1, bx0, bx1}, qy[4] = {by0, by0, by1, by1};
    bx0 = by0 = 1e18;
    bx1 = by1 = -1e18;
    for (int i = 0; i < 4; ++i)
    {
      const double px = cx + c * (qx[i] - cx) - s * (qy[i] - cy);
      const double py = cy + s * (qx[i] - cx) + c * (qy[i] - cy);
      bx0 = std::min(bx0, std::floor(px)), bx1 = std::max(bx1, std::ceil(px));
      by0 = std::min(by0, std::floor(py)), by1 = std::max(by1, std::ceil(py));
    }
  }
  RotatedSetup r;
  r.x0 = static_cast<int>(std::max(bx0, 0.0));
  r.y0 = static_cast<int>(std::max(by0, 0.0));
  r.x1 = static_cast<int>(std::min(bx1, double(dest->getWidth())));
  r.y1 = static_cast<int>(std::min(by1, double(dest->getHeight())));
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;

  // Destination point p maps back through the inverse rotation about the pivot to q in the unrotated
  // destination rectangle, then scales into the source rectangle.
  const double px0 = 0.5 - cx, py0 = 0.5 - cy;
  const double qx00 = cx + c * px0 + s * py0, qy00 = cy - s * px0 + c * py0;
  r.uAt00 = srcx + (qx00 - dstx) * kx;
  r.vAt00 = srcy + (qy00 - dsty) * ky;
  r.duX = c * kx;
  r.dvX = -s * ky;
  r.duY = s * kx;
  r.dvY = c * ky;

  WithBlitOp(mode, w,
             [&](auto op)
             {
               if (mode & kDrawModeBilinear)
                 RotatedRows(dest, area, r, BilinearSampler(), op);
               else
                 RotatedRows(dest, area, r, NearestSampler(), op);
             });
}
