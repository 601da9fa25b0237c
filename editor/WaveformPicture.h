#pragma once
// The waveform of a slot as the sample view draws it: for each pixel column of the panel, the vertical
// line from the highest to the lowest sample value of the frames under that column, per channel (at
// most two). Built once from the sample data whenever the data changes; drawing reads only the
// picture, never the sample buffer.

#include <cstdint>
#include <vector>

class IGraphics;

class WaveformPicture
{
public:
  // left, top, right: the panel's edges; waveBottom: the bottom of the waveform area. Sizes the
  // column table once, so rebuilding allocates nothing.
  WaveformPicture(int left, int top, int right, int waveBottom);

  // Computes the columns from planar data (frames of channel 1, then of channel 2 when channels >= 2).
  // The caller keeps data alive for the call. frames 0 gives an empty picture.
  void Build(const double* data, uint32_t frames, int channels);
  void Clear();

  void Draw(IGraphics* graphics) const;

  // Number of columns drawn (0 for an empty picture), and the line of column u (1-based as x - left)
  // for channel c (0 or 1) as its top and bottom y coordinates, truncated as drawn.
  int Columns() const { return mColumns; }
  bool Stereo() const { return mStereo; }
  int LineTop(int u, int channel) const;
  int LineBottom(int u, int channel) const;

private:
  struct Column
  {
    double mTop[2];
    double mBottom[2];
  };

  int mLeft, mTop, mRight, mWaveBottom;
  int mColumns = 0;
  bool mStereo = false;
  std::vector<Column> mTable;
};
