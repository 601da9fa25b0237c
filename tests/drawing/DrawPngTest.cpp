#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_PNG.h"

#include "drawing/DrawTestBitmaps.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using drawtest::At;
using drawtest::Px;

namespace
{

// What the test asks libpng's writer to produce.
struct PngSpec
{
  int width = 0;
  int height = 0;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlace = false;
  std::vector<png_color> palette;
  std::vector<png_byte> trnsAlpha; // palette transparency
  bool hasTrnsColor = false;
  png_color_16 trnsColor{};
  std::vector<std::vector<png_byte>> rows; // packed as the format wants
};

void AppendBytes(png_structp png, png_bytep data, png_size_t n)
{
  auto* out = static_cast<std::vector<png_byte>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void FlushNothing(png_structp) {}

bool EncodeInto(png_structp png, png_infop info, const PngSpec& s, std::vector<png_byte>* out,
                png_bytepp rowPointers)
{
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, AppendBytes, FlushNothing);
  png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
               s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.trnsAlpha.empty())
    png_set_tRNS(png, info, s.trnsAlpha.data(), static_cast<int>(s.trnsAlpha.size()), nullptr);
  if (s.hasTrnsColor) png_set_tRNS(png, info, nullptr, 0, &s.trnsColor);
  png_write_info(png, info);
  png_write_image(png, rowPointers);
  png_write_end(png, nullptr);
  return true;
}

std::vector<png_byte> Encode(PngSpec s)
{
  std::vector<png_byte> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> pointers;
  for (auto& r : s.rows)
    pointers.push_back(r.data());
  const bool ok = EncodeInto(png, info, s, &out, pointers.data());
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok);
  return out;
}

// Rows of `bits`-bit samples packed high bits first.
std::vector<png_byte> PackSamples(const std::vector<int>& samples, int bits)
{
  std::vector<png_byte> row((samples.size() * bits + 7) / 8, 0);
  for (size_t i = 0; i < samples.size(); ++i)
  {
    const size_t bit = i * bits;
    row[bit / 8] |= static_cast<png_byte>(samples[i] << (8 - bits - bit % 8));
  }
  return row;
}

std::unique_ptr<DRAW_IBitmap> Load(const std::vector<png_byte>& bytes)
{
  return std::unique_ptr<DRAW_IBitmap>(DRAW_LoadPNGFromMemory(bytes.data(), bytes.size()));
}

PngSpec RgbaImage(int w, int h)
{
  PngSpec s;
  s.width = w;
  s.height = h;
  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (int y = 0; y < h; ++y)
  {
    std::vector<png_byte> row;
    for (int x = 0; x < w; ++x)
    {
      const DRAW_Pixel p = drawtest::Pattern(x, y, 7);
      row.insert(row.end(), {png_byte(p), png_byte(p >> 8), png_byte(p >> 16), png_byte(p >> 24)});
    }
    s.rows.push_back(row);
  }
  return s;
}

DRAW_Pixel RgbaAt(const PngSpec& s, int x, int y)
{
  const png_byte* b = &s.rows[y][4 * x];
  return Px(b[0], b[1], b[2], b[3]);
}

} // namespace

TEST(DrawPng, RgbWithoutAlphaLoadsOpaque)
{
  PngSpec s;
  s.width = 2;
  s.height = 2;
  s.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30}};
  auto bmp = Load(Encode(s));
  ASSERT_NE(bmp, nullptr);
  ASSERT_EQ(bmp->getWidth(), 2);
  ASSERT_EQ(bmp->getHeight(), 2);
  EXPECT_EQ(bmp->getRowSpan() % 4, 0);
  EXPECT_EQ(At(*bmp, 0, 0), Px(255, 0, 0, 255));
  EXPECT_EQ(At(*bmp, 1, 0), Px(0, 255, 0, 255));
  EXPECT_EQ(At(*bmp, 0, 1), Px(0, 0, 255, 255));
  EXPECT_EQ(At(*bmp, 1, 1), Px(10, 20, 30, 255));
}

TEST(DrawPng, RgbaKeepsEveryChannelAndInterlacedImagesDecodeTheSame)
{
  for (bool interlace : {false, true})
  {
    PngSpec s = RgbaImage(11, 9);
    s.interlace = interlace;
    auto bmp = Load(Encode(s));
    ASSERT_NE(bmp, nullptr);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x)
        ASSERT_EQ(At(*bmp, x, y), RgbaAt(s, x, y)) << interlace << " " << x << "," << y;
  }
}

TEST(DrawPng, PaletteWithTransparencyChunkGetsPerPixelAlpha)
{
  PngSpec s;
  s.width = 5;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_PALETTE;
  s.bitDepth = 4;
  s.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  s.trnsAlpha = {0, 128}; // shorter than the palette: the rest is opaque
  s.rows = {PackSamples({0, 1, 2, 1, 0}, 4)};
  auto bmp = Load(Encode(s));
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(At(*bmp, 0, 0), Px(10, 20, 30, 0));
  EXPECT_EQ(At(*bmp, 1, 0), Px(40, 50, 60, 128));
  EXPECT_EQ(At(*bmp, 2, 0), Px(70, 80, 90, 255));
  EXPECT_EQ(At(*bmp, 3, 0), Px(40, 50, 60, 128));
  EXPECT_EQ(At(*bmp, 4, 0), Px(10, 20, 30, 0));
}

TEST(DrawPng, GreyOfOneTwoFourAndEightBitsExpandsToOpaqueGrey)
{
  for (int bits : {1, 2, 4, 8})
  {
    const int maxValue = (1 << bits) - 1;
    std::vector<int> samples;
    for (int x = 0; x < 9; ++x)
      samples.push_back((x * 5) % (maxValue + 1));
    PngSpec s;
    s.width = 9;
    s.height = 2;
    s.colorType = PNG_COLOR_TYPE_GRAY;
    s.bitDepth = bits;
    s.rows = {PackSamples(samples, bits), PackSamples(samples, bits)};
    auto bmp = Load(Encode(s));
    ASSERT_NE(bmp, nullptr) << bits;
    for (int x = 0; x < 9; ++x)
    {
      const int v = samples[x] * 255 / maxValue; // 1 bit: 0/255, 2 bits: steps of 85, 4 bits: 17
      EXPECT_EQ(At(*bmp, x, 1), Px(v, v, v, 255)) << bits << " bits, x " << x;
    }
  }
}

TEST(DrawPng, SixteenBitChannelsKeepTheirHighByte)
{
  PngSpec s;
  s.width = 1;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.bitDepth = 16;
  s.rows = {{0xAB, 0xCD, 0x12, 0x34, 0xFF, 0xFF, 0x80, 0x01}};
  auto bmp = Load(Encode(s));
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(At(*bmp, 0, 0), Px(0xAB, 0x12, 0xFF, 0x80));

  PngSpec g;
  g.width = 2;
  g.height = 1;
  g.colorType = PNG_COLOR_TYPE_GRAY;
  g.bitDepth = 16;
  g.rows = {{0x40, 0xFF, 0xFF, 0x00}};
  auto grey = Load(Encode(g));
  ASSERT_NE(grey, nullptr);
  EXPECT_EQ(At(*grey, 0, 0), Px(0x40, 0x40, 0x40, 255));
  EXPECT_EQ(At(*grey, 1, 0), Px(0xFF, 0xFF, 0xFF, 255));
}

TEST(DrawPng, TruncatedAtAnyLengthOrCorruptGivesNull)
{
  const std::vector<png_byte> good = Encode(RgbaImage(6, 5));
  ASSERT_NE(Load(good), nullptr);
  for (size_t n = 0; n < good.size(); ++n)
  {
    std::vector<png_byte> cut(good.begin(), good.begin() + n);
    ASSERT_EQ(Load(cut), nullptr) << "cut at " << n;
  }
  // Every single flipped byte after the signature is caught by a chunk check or the decoder; flips in
  // the signature are refused outright.
  for (size_t i = 0; i < good.size(); ++i)
  {
    std::vector<png_byte> bad = good;
    bad[i] ^= 0x10;
    ASSERT_EQ(Load(bad), nullptr) << "flipped byte " << i;
  }
  const std::vector<png_byte> garbage(100, 0x5A);
  EXPECT_EQ(Load(garbage), nullptr);
  EXPECT_EQ(DRAW_LoadPNGFromMemory(nullptr, 10), nullptr);
}
