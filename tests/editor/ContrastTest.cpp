// How well the waveform and the key-range bar stand out from the artwork under them, measured on the
// rendered editor: every pixel the code drew is compared with the same pixel of the background image
// (img/bg.png, the artwork alone) by the relative-luminance contrast ratio of WCAG 2, (L1 + 0.05) /
// (L2 + 0.05), which graphical objects should bring to 3:1 at least.

#include "editor/EditorFixture.h"

#include "drawing/DRAW_PNG.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace editortest
{
namespace
{
double Linear(int c)
{
  const double s = c / 255.0;
  return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

double Luminance(DRAW_Pixel p)
{
  return 0.2126 * Linear(DRAW_GetR(p)) + 0.7152 * Linear(DRAW_GetG(p)) + 0.0722 * Linear(DRAW_GetB(p));
}

double Contrast(DRAW_Pixel a, DRAW_Pixel b)
{
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The least and the median contrast of the pixels measured, and how many there were.
struct Measured
{
  int pixels = 0;
  double least = 0.0;
  double median = 0.0;
};
} // namespace

class EditorContrast : public EditorTest
{
protected:
  void SetUp() override
  {
    EditorTest::SetUp();
    mArtwork.reset(DRAW_LoadPNG((std::string(KESTRUNE_TEST_DATA) + "/../../img/bg.png").c_str()));
    ASSERT_NE(mArtwork, nullptr);
  }

  // Draws the editor and measures the pixels of r that differ from the artwork under them, but those of
  // leftOut.
  Measured Measure(const IRECT& r, const IRECT& leftOut = IRECT())
  {
    IRECT all(0, 0, Gui()->Width(), Gui()->Height());
    Gui()->Draw(&all);
    std::vector<double> ratios;
    for (int y = r.T; y < r.B; ++y)
      for (int x = r.L; x < r.R; ++x)
      {
        const DRAW_Pixel drawn = PixelAt(x, y);
        const DRAW_Pixel art = mArtwork->Row(y)[x];
        if ((drawn & 0xFFFFFF) == (art & 0xFFFFFF) || leftOut.Contains(x, y)) continue;
        ratios.push_back(Contrast(drawn, art));
      }
    Measured m;
    m.pixels = static_cast<int>(ratios.size());
    if (ratios.empty()) return m;
    std::sort(ratios.begin(), ratios.end());
    m.least = ratios.front();
    m.median = ratios[ratios.size() / 2];
    return m;
  }

  std::unique_ptr<DRAW_IBitmap> mArtwork;
};

TEST_F(EditorContrast, WaveformStandsOutFromTheSampleViewAtThreeToOne)
{
  // A full-scale square wave: lines from the top to the bottom of the waveform area in every column.
  LoadSample(0, 20000, 2,
             [](int c, uint32_t i) { return ((i / 50) % 2 == 0 ? 0.95 : -0.95) * (c == 0 ? 1 : 0.5); });
  const IRECT wave(27, 78, 160, 150); // the waveform area, left of the close button
  const Measured m = Measure(wave);
  ASSERT_GT(m.pixels, 2000);
  RecordProperty("waveform_least_contrast", std::to_string(m.least));
  RecordProperty("median", std::to_string(m.median));
  EXPECT_GE(m.least, 3.0) << "median " << m.median;
}

TEST_F(EditorContrast, KeyRangeBarStandsOutFromTheKeyboardStripAtThreeToOne)
{
  LoadSample(0, 1000, 1, [](int, uint32_t) { return 0.5; });
  Fx()->setParameter(Fx(), kLowNote, 0.0f); // the bar over the whole strip
  Fx()->setParameter(Fx(), kHighNote, 1.0f);
  Fx()->setParameter(Fx(), kRootNote, 1.0f); // the root marker at the right end, out of the way
  const IRECT marker = RangeView(0)->RootMarkerRect();
  const IRECT bar = RangeView(0)->RangeBarRect();
  // The keys under the bar, but the ivory dot on middle C (centre 89.6, 226.5, radius 1.1): a light mark
  // that the bar only makes lighter.
  const Measured m = Measure(IRECT(bar.L, bar.T, marker.L, bar.B), IRECT(87, 224, 92, 229));
  ASSERT_GT(m.pixels, 1500);
  RecordProperty("range_bar_least_contrast", std::to_string(m.least));
  RecordProperty("median", std::to_string(m.median));
  EXPECT_GE(m.least, 3.0) << "median " << m.median;
}
} // namespace editortest
