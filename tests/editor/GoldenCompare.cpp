#include "editor/GoldenCompare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace editortest
{
namespace
{
double Brightness(DRAW_Pixel p)
{
  return (DRAW_GetR(p) + DRAW_GetG(p) + DRAW_GetB(p)) / 3.0;
}

bool InAny(const std::vector<IRECT>& rects, int x, int y)
{
  for (const IRECT& r : rects)
    if (x >= r.L && x < r.R && y >= r.T && y < r.B) return true;
  return false;
}

double MeanBrightness(const DRAW_IBitmap& b, const IRECT& r)
{
  double sum = 0.0;
  int n = 0;
  for (int y = std::max(r.T, 0); y < std::min(r.B, b.getHeight()); ++y)
    for (int x = std::max(r.L, 0); x < std::min(r.R, b.getWidth()); ++x, ++n)
      sum += Brightness(b.Row(y)[x]);
  return n ? sum / n : 0.0;
}
} // namespace

std::vector<IRECT> EditorTextAreas()
{
  std::vector<IRECT> areas = {IRECT(45, 12, 95, 30), IRECT(10, 476, 800, 492),
                              IRECT(664, 36, 784, 52)}; // the size chooser (its labels)
  for (int s = 0; s < 5; ++s)
  {
    const int x = 152 * s;
    areas.emplace_back(x + 25, 236, x + 175, 256);  // low, root and high note names
    areas.emplace_back(x + 41, 300, x + 97, 316);   // attack value
    areas.emplace_back(x + 103, 300, x + 159, 316); // release value
    areas.emplace_back(x + 102, 377, x + 158, 393); // volume value
    areas.emplace_back(x + 61, 377, x + 90, 393);   // semitones
    areas.emplace_back(x + 26, 154, x + 176, 174);  // sample name
    areas.emplace_back(x + 26, 180, x + 176, 198);  // duration and channel count
  }
  return areas;
}

GoldenVerdict CompareWithGolden(const DRAW_IBitmap& actual, const DRAW_IBitmap& golden,
                                const std::vector<IRECT>& textAreas)
{
  GoldenVerdict v;
  std::ostringstream report;
  if (actual.getWidth() != golden.getWidth() || actual.getHeight() != golden.getHeight())
  {
    v.mPass = false;
    report << "size " << actual.getWidth() << "x" << actual.getHeight() << " against " << golden.getWidth()
           << "x" << golden.getHeight();
    v.mReport = report.str();
    return v;
  }
  int firstX = -1, firstY = -1;
  for (int y = 0; y < actual.getHeight(); ++y)
  {
    for (int x = 0; x < actual.getWidth(); ++x)
    {
      if (InAny(textAreas, x, y)) continue;
      const DRAW_Pixel a = actual.Row(y)[x], g = golden.Row(y)[x];
      const int d = std::max({std::abs(DRAW_GetR(a) - DRAW_GetR(g)), std::abs(DRAW_GetG(a) - DRAW_GetG(g)),
                              std::abs(DRAW_GetB(a) - DRAW_GetB(g))});
      if (d > kGoldenPixelTolerance)
      {
        if (v.mStrayPixels == 0)
        {
          firstX = x;
          firstY = y;
        }
        ++v.mStrayPixels;
      }
    }
  }
  if (v.mStrayPixels > kGoldenStrayPixelsAllowed)
  {
    v.mPass = false;
    report << v.mStrayPixels << " pixels differ outside text, the first at (" << firstX << ", " << firstY
           << "). ";
  }
  for (const IRECT& r : textAreas)
  {
    const double delta = std::fabs(MeanBrightness(actual, r) - MeanBrightness(golden, r));
    v.mWorstTextDelta = std::max(v.mWorstTextDelta, delta);
    if (delta > kGoldenTextTolerance)
    {
      v.mPass = false;
      report << "text area (" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ") changed by " << delta
             << ". ";
    }
  }
  v.mReport = report.str();
  return v;
}

void CopyBitmap(const DRAW_IBitmap& from, DRAW_MemBitmap* to)
{
  to->resize(from.getWidth(), from.getHeight());
  for (int y = 0; y < from.getHeight(); ++y)
    std::copy(from.Row(y), from.Row(y) + from.getWidth(), to->Row(y));
}
} // namespace editortest
