#pragma once
// Compares an editor picture with its golden image. Font rasterisation differs between FreeType
// builds and fonts, so text areas are compared loosely (their mean brightness, which tells text that
// is there from text that is missing or different) and everything else closely (pixel by pixel):
// images, fills, lines and the rotated knobs are drawn by our own code and reproduce exactly.

#include "drawing/DRAW_MemBitmap.h"
#include "framework/IStructs.h"

#include <string>
#include <vector>

namespace editortest
{
struct GoldenVerdict
{
  bool mPass = true;
  int mStrayPixels = 0;         // pixels outside text areas that differ beyond the pixel tolerance
  double mWorstTextDelta = 0.0; // largest mean-brightness change of a text area
  std::string mReport;          // what failed, for the test's message
};

// Per-channel difference a pixel outside text may have without counting as stray.
constexpr int kGoldenPixelTolerance = 32;
// Stray pixels forgiven (edge pixels of antialiased lines near text areas).
constexpr int kGoldenStrayPixelsAllowed = 24;
// Mean brightness change (0..255) a text area may have.
constexpr double kGoldenTextTolerance = 6.0;

// The text areas of the editor: version, the five columns' labels and value texts, the message bar.
std::vector<IRECT> EditorTextAreas();

GoldenVerdict CompareWithGolden(const DRAW_IBitmap& actual, const DRAW_IBitmap& golden,
                                const std::vector<IRECT>& textAreas);

// Copies a bitmap (any kind) into a memory bitmap.
void CopyBitmap(const DRAW_IBitmap& from, DRAW_MemBitmap* to);
} // namespace editortest
