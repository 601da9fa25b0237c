#pragma once
// Limits of the drawing layer.

// Largest width or height of a bitmap; a PNG with a larger side is refused, a resize beyond it fails.
constexpr int kDrawMaxBitmapSidePixels = 16384;

// Pixel height used for a font asked for with a smaller one.
constexpr int kDrawMinFontHeightPixels = 2;

// Largest pixel height a font is made with.
constexpr int kDrawMaxFontHeightPixels = 1024;
