#pragma once
// Blits, rotated blits, rectangle fills and lines on 32-bit bitmaps.
//
// Mode word: the low byte is the combine operation (kDrawCombineCopy, kDrawCombineAdd,
// kDrawCombineDodge); kDrawModeSourceAlpha weights every source pixel by its own alpha;
// kDrawModeBilinear samples bilinearly in rotated blits. The alpha argument is the overall weight
// 0..1, used as w = (int)(alpha * 256); values outside 0..1 are clamped. Every function ignores a null
// bitmap and clips silently to the bitmaps; nothing allocates.
//
// Called from the editor's user-interface thread.

#include "drawing/DRAW_IBitmap.h"

constexpr int kDrawCombineCopy = 0;
constexpr int kDrawCombineAdd = 1;
constexpr int kDrawCombineDodge = 2;
constexpr int kDrawCombineMask = 0xff;
constexpr int kDrawModeBilinear = 0x100;
constexpr int kDrawModeSourceAlpha = 0x10000;

// Copies the source rectangle (srcx, srcy, srcw, srch) to (dstx, dsty), clipped to both bitmaps.
// Source and destination may be the same bitmap, with overlapping rectangles.
void DRAW_Blit(DRAW_IBitmap* dest, const DRAW_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
               int srch, float alpha, int mode);

// Draws the source rectangle into the destination rectangle (scaled when the sizes differ), rotated by
// `angle` radians (clockwise on screen) about the destination rectangle's centre moved by
// (rotxcent, rotycent). With `cliptosourcerect` only pixels inside the destination rectangle are
// touched; otherwise the whole rotated image is drawn. Destination pixels that map outside the source
// rectangle are left alone. A bitmap is never rotated onto itself (nothing is drawn).
void DRAW_RotatedBlit(DRAW_IBitmap* dest, const DRAW_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      int srcx, int srcy, int srcw, int srch, double angle, bool cliptosourcerect,
                      float alpha, int mode, int rotxcent, int rotycent);

// Fills the rectangle with `color`. With kDrawModeSourceAlpha the weight is alpha * colour alpha / 255.
void DRAW_FillRect(DRAW_IBitmap* dest, int x, int y, int w, int h, DRAW_Pixel color, float alpha, int mode);

// A one-pixel line from (x1, y1) to (x2, y2), both ends included, blended as DRAW_FillRect blends.
void DRAW_Line(DRAW_IBitmap* dest, int x1, int y1, int x2, int y2, DRAW_Pixel color, float alpha, int mode,
               bool antialias);
