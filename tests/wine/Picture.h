#pragma once
// Pictures the Wine tests compare: a window grabbed from the X server with ImageMagick's import, and a
// PNG file, both read as 0x00RRGGBB pixels through ImageMagick's portable pixmap output.

#include <cstdint>
#include <string>
#include <vector>

namespace winetest
{

struct Picture
{
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels; // row by row

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The part (x, y, w, h); empty when it does not lie inside.
  Picture Crop(int x, int y, int w, int h) const;
  // Pixels that differ between two pictures of the same size (-1 when the sizes differ).
  static long Differing(const Picture& a, const Picture& b);
};

// Reads a binary portable pixmap (P6, 8 bits a channel).
bool ReadPpm(const std::string& path, Picture* picture);
// Grabs X window xWindow as it is on the screen (import -window), through the file scratch.
bool GrabWindow(unsigned long xWindow, const std::string& scratch, Picture* picture);
// Reads a PNG file (convert to a pixmap in scratch).
bool ReadPng(const std::string& png, const std::string& scratch, Picture* picture);
} // namespace winetest
