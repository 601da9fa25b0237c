#pragma once
// PNG images to and from 32-bit bitmaps.
//
// Loading converts every PNG colour type to 8-bit R, G, B, A (palette, transparency chunk, grey of 1,
// 2, 4, 8 or 16 bits, 16-bit channels cut to their high byte; an image without alpha gets alpha 255)
// and packs the pixels as DRAW_Pixel.h says. Gamma chunks are ignored: the stored values are used.

#include "drawing/DRAW_IBitmap.h"

#include <cstddef>

// Decodes a PNG file into `bmp` (resized to the image) or, when `bmp` is null, into a new
// DRAW_MemBitmap (row span a multiple of 4 pixels) that the caller owns. Answers the bitmap, or null
// when the file is missing, not a PNG, truncated or corrupt; a bitmap made here is then freed, a given
// one keeps an undefined content.
DRAW_IBitmap* DRAW_LoadPNG(const char* filename, DRAW_IBitmap* bmp = nullptr);

// The same from a PNG held in memory.
DRAW_IBitmap* DRAW_LoadPNGFromMemory(const void* data, size_t length, DRAW_IBitmap* bmp = nullptr);

// Writes the bitmap as an 8-bit RGBA PNG file. Answers false (and leaves no file) on any failure,
// including an empty bitmap.
bool DRAW_SavePNG(const DRAW_IBitmap* bmp, const char* filename);
