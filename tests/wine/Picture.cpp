#include "Picture.h"

#include "Subprocess.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace winetest
{

namespace
{
// The next number of a pixmap header, past white space and comments.
bool HeaderNumber(const std::string& data, size_t* at, int* value)
{
  size_t i = *at;
  while (i < data.size() && (std::isspace(static_cast<unsigned char>(data[i])) || data[i] == '#'))
  {
    if (data[i] == '#')
      while (i < data.size() && data[i] != '\n')
        ++i;
    else
      ++i;
  }
  size_t start = i;
  while (i < data.size() && std::isdigit(static_cast<unsigned char>(data[i])))
    ++i;
  if (i == start) return false;
  *value = std::stoi(data.substr(start, i - start));
  *at = i;
  return true;
}
} // namespace

Picture Picture::Crop(int x, int y, int w, int h) const
{
  Picture part;
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height) return part;
  part.width = w;
  part.height = h;
  part.pixels.reserve(static_cast<size_t>(w) * h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      part.pixels.push_back(At(x + i, y + j));
  return part;
}

long Picture::Differing(const Picture& a, const Picture& b)
{
  if (a.width != b.width || a.height != b.height) return -1;
  long n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    n += a.pixels[i] != b.pixels[i];
  return n;
}

bool ReadPpm(const std::string& path, Picture* picture)
{
  std::ifstream in(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.compare(0, 2, "P6") != 0) return false;
  size_t at = 2;
  int w = 0, h = 0, max = 0;
  if (!HeaderNumber(data, &at, &w) || !HeaderNumber(data, &at, &h) || !HeaderNumber(data, &at, &max) ||
      max != 255 || w <= 0 || h <= 0)
    return false;
  ++at; // the single white space after the header
  if (data.size() < at + static_cast<size_t>(w) * h * 3) return false;
  picture->width = w;
  picture->height = h;
  picture->pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < picture->pixels.size(); ++i)
  {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + at + i * 3);
    picture->pixels[i] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
  }
  return true;
}

bool GrabWindow(unsigned long xWindow, const std::string& scratch, Picture* picture)
{
  const std::string file = scratch + ".ppm";
  if (RunProgram({"import", "-window", std::to_string(xWindow), "-depth", "8", file}) != 0) return false;
  return ReadPpm(file, picture);
}

bool ReadPng(const std::string& png, const std::string& scratch, Picture* picture)
{
  const std::string file = scratch + ".ppm";
  if (RunProgram({"convert", png, "-depth", "8", file}) != 0) return false;
  return ReadPpm(file, picture);
}
} // namespace winetest
