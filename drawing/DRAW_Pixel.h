#pragma once
// The one place that knows how a pixel is packed into its 32-bit word.
//
// Every bitmap of the drawing layer holds 32-bit pixels with 8 bits each of alpha, red, green and blue,
// NOT premultiplied: the colour channels keep their full value whatever the alpha. The order is the
// screen bitmap's:
// - macOS (KESTRUNE_MAC): in memory A, R, G, B (the bitmap context skips the first byte): alpha in
//   bits 0-7 of the little-endian word, red in 8-15, green in 16-23, blue in 24-31.
// - elsewhere: alpha in bits 24-31, red in 16-23, green in 8-15 and blue in 0-7 (in memory on a
//   little-endian machine: B, G, R, A).
// Only the shifts below differ; nothing else in the program depends on the order.

#include <cstdint>

using DRAW_Pixel = uint32_t;

#ifdef KESTRUNE_MAC
constexpr int kDrawShiftA = 0;
constexpr int kDrawShiftR = 8;
constexpr int kDrawShiftG = 16;
constexpr int kDrawShiftB = 24;
#else
constexpr int kDrawShiftA = 24;
constexpr int kDrawShiftR = 16;
constexpr int kDrawShiftG = 8;
constexpr int kDrawShiftB = 0;
#endif

// Builds a pixel from its four 8-bit channels (each 0..255; higher bits are dropped).
constexpr DRAW_Pixel DRAW_MakePixel(int r, int g, int b, int a)
{
  return (DRAW_Pixel(a & 0xff) << kDrawShiftA) | (DRAW_Pixel(r & 0xff) << kDrawShiftR) |
         (DRAW_Pixel(g & 0xff) << kDrawShiftG) | (DRAW_Pixel(b & 0xff) << kDrawShiftB);
}

constexpr int DRAW_GetA(DRAW_Pixel p)
{
  return int((p >> kDrawShiftA) & 0xff);
}
constexpr int DRAW_GetR(DRAW_Pixel p)
{
  return int((p >> kDrawShiftR) & 0xff);
}
constexpr int DRAW_GetG(DRAW_Pixel p)
{
  return int((p >> kDrawShiftG) & 0xff);
}
constexpr int DRAW_GetB(DRAW_Pixel p)
{
  return int((p >> kDrawShiftB) & 0xff);
}
