#include "editor/WaveformPicture.h"

#include "editor/EditorConstants.h"
#include "framework/EditorScale.h"
#include "framework/IGraphics.h"

#include <algorithm>

WaveformPicture::WaveformPicture(int left, int top, int right, int waveBottom)
    : mLeft(left), mTop(top), mRight(right), mWaveBottom(waveBottom)
{
  const int c = UnitsToPixels(right, kScale200) - 1 - UnitsToPixels(left, kScale200);
  mTable.resize(static_cast<size_t>(c > 1 ? c : 1));
}

void WaveformPicture::Clear()
{
  mColumns = 0;
  mStereo = false;
}

void WaveformPicture::Build(const double* data, uint32_t frames, int channels, int scale)
{
  Clear();
  if (!IsEditorScale(scale)) scale = kScale100;
  mScale = scale;
  // The panel in pixels: the same drawing as at 100 %, with a column per pixel.
  const int left = UnitsToPixels(mLeft, scale), right = UnitsToPixels(mRight, scale);
  const int top = UnitsToPixels(mTop, scale), waveBottom = UnitsToPixels(mWaveBottom, scale);
  mPixelLeft = left;
  const int c = right - 1 - left;
  if (!data || frames == 0 || c <= 1 || static_cast<size_t>(c) > mTable.size() + 1) return;
  mStereo = channels >= 2;
  const int cy = static_cast<int>((top + waveBottom + 1) * 0.5);
  const double h = waveBottom - top;
  const double n = frames;
  const double step = n / (right - 2 - left);
  const double* ch2 = data + frames;
  double p = 0.0;
  for (int u = 1; u < c; ++u)
  {
    double max1 = 0.0, min1 = 0.0, max2 = 0.0, min2 = 0.0;
    const long long first = static_cast<long long>(p + 0.5);
    for (long long k = 0; k < step; ++k)
    {
      const long long i = first + k;
      if (i >= static_cast<long long>(frames)) continue;
      max1 = std::max(max1, data[i]);
      min1 = std::min(min1, data[i]);
      if (mStereo)
      {
        max2 = std::max(max2, ch2[i]);
        min2 = std::min(min2, ch2[i]);
      }
    }
    Column& col = mTable[static_cast<size_t>(u - 1)];
    col.mTop[0] = (cy - std::min(max1, 1.0) * h * 0.5);
    col.mBottom[0] = (cy - std::max(min1, -1.0) * h * 0.5);
    col.mTop[1] = (cy - std::min(max2, 1.0) * h * 0.5);
    col.mBottom[1] = (cy - std::max(min2, -1.0) * h * 0.5);
    p = std::min(p + step, n - step);
  }
  mColumns = c - 1;
}

int WaveformPicture::LineTop(int u, int channel) const
{
  if (u < 1 || u > mColumns || channel < 0 || channel > 1) return 0;
  return static_cast<int>(mTable[static_cast<size_t>(u - 1)].mTop[channel]);
}

int WaveformPicture::LineBottom(int u, int channel) const
{
  if (u < 1 || u > mColumns || channel < 0 || channel > 1) return 0;
  return static_cast<int>(mTable[static_cast<size_t>(u - 1)].mBottom[channel]);
}

void WaveformPicture::Draw(IGraphics* graphics) const
{
  if (!graphics || graphics->ScalePercent() != mScale) return;
  for (int u = 1; u <= mColumns; ++u)
  {
    const Column& col = mTable[static_cast<size_t>(u - 1)];
    const int x = mPixelLeft + u;
    // Truncated here, in double precision.
    graphics->DrawPixelLine(&kWaveColor, x, static_cast<int>(col.mTop[0]), x,
                            static_cast<int>(col.mBottom[0]));
    // The second channel overlaps the first in the same column.
    if (mStereo)
      graphics->DrawPixelLine(&kWaveColor, x, static_cast<int>(col.mTop[1]), x,
                              static_cast<int>(col.mBottom[1]));
  }
}
