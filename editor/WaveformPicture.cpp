#include "editor/WaveformPicture.h"

#include "editor/EditorConstants.h"
#include "framework/IGraphics.h"

#include <algorithm>

WaveformPicture::WaveformPicture(int left, int top, int right, int waveBottom)
    : mLeft(left), mTop(top), mRight(right), mWaveBottom(waveBottom)
{
  const int c = right - 1 - left;
  mTable.resize(static_cast<size_t>(c > 1 ? c : 1));
}

void WaveformPicture::Clear()
{
  mColumns = 0;
  mStereo = false;
}

void WaveformPicture::Build(const double* data, uint32_t frames, int channels)
{
  Clear();
  const int c = mRight - 1 - mLeft;
  if (!data || frames == 0 || c <= 1) return;
  mStereo = channels >= 2;
  const int cy = static_cast<int>((mTop + mWaveBottom + 1) * 0.5);
  const double h = mWaveBottom - mTop;
  const double n = frames;
  const double step = n / (mRight - 2 - mLeft);
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
  for (int u = 1; u <= mColumns; ++u)
  {
    const Column& col = mTable[static_cast<size_t>(u - 1)];
    const float x = static_cast<float>(mLeft + u);
    // Truncated here, in double precision, as the line drawing would truncate them.
    graphics->DrawLine(&kWaveColor, x, static_cast<float>(static_cast<int>(col.mTop[0])), x,
                       static_cast<float>(static_cast<int>(col.mBottom[0])), nullptr, false);
    // The second channel overlaps the first in the same column.
    if (mStereo)
      graphics->DrawLine(&kWaveColor, x, static_cast<float>(static_cast<int>(col.mTop[1])), x,
                         static_cast<float>(static_cast<int>(col.mBottom[1])), nullptr, false);
  }
}
