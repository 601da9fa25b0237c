#pragma once
// The waveform of a slot as the sample view draws it: for each pixel column of the panel, the vertical
// line from the highest to the lowest sample value of the frames under that column, per channel (at
// most two). Built once from the sample data whenever the data changes (or the editor's size does: the
// columns are screen pixels, 1.5 or 2 per layout unit in the larger editor); drawing reads only the
// picture, never the sample buffer.

#include <cstdint>
#include <vector>

class IGraphics;

class WaveformPicture
{
public:
  // left, top, right: the panel's edges; waveBottom: the bottom of the waveform area (layout units).
  // Sizes the column table once for the largest editor, so rebuilding allocates nothing.
  WaveformPicture(int left, int top, int right, int waveBottom);

  // Computes the columns from planar data (frames of channel 1, then of channel 2 when channels >= 2)
  // for the editor at scale percent. The caller keeps data alive for the call. frames 0 gives an empty
  // picture.
  void Build(const double* data, uint32_t frames, int channels, int scale = 100);
  void Clear();

  // Draws the columns, in back-buffer pixels; a picture built for another size than the graphics
  // context's draws nothing (the view rebuilds it first).
  void Draw(IGraphics* graphics) const;

  // The size the picture was built for (percent).
  int Scale() const { return mScale; }
  // Number of columns drawn (0 for an empty picture), and the line of column u (1-based as x - left,
  // in pixels) for channel c (0 or 1) as its top and bottom y coordinates, truncated as drawn.
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

  int mLeft, mTop, mRight, mWaveBottom; // layout units
  int mPixelLeft = 0;                   // of the last build
  int mScale = 100;
  int mColumns = 0;
  bool mStereo = false;
  std::vector<Column> mTable;
};
