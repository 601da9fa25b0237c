// PNG decoding and encoding with libpng.
//
// libpng reports errors by longjmp. The functions that call into libpng after setjmp hold nothing
// with a destructor and touch no local after the jump; everything to free lives in their callers.

#include "drawing/DRAW_PNG.h"

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Tunables.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

struct FileCloser
{
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct ReadStructs
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  ReadStructs()
  {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png) info = png_create_info_struct(png);
  }
  ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  ReadStructs(const ReadStructs&) = delete;
  ReadStructs& operator=(const ReadStructs&) = delete;
};

struct MemorySource
{
  const png_byte* data;
  size_t length;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n)
{
  auto* m = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (n > m->length - m->pos) png_error(png, "truncated");
  std::memcpy(out, m->data + m->pos, n);
  m->pos += n;
}

// Reads the header and asks for 8-bit rows of four channels (R, G, B, A; on macOS A, R, G, B). Answers the number of interlace passes, or 0
// after a libpng error or for an image that would not decode to four bytes per pixel.
int ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height)
{
  if (setjmp(png_jmpbuf(png))) return 0;
  png_read_info(png, info);
  const png_byte colorType = png_get_color_type(png, info);
  const png_byte bitDepth = png_get_bit_depth(png, info);
  const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
#ifdef KESTRUNE_MAC
  // Rows come out as A, R, G, B bytes, which is the pixel order of this build.
  if (!(colorType & PNG_COLOR_MASK_ALPHA) && !hasTrns)
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
  else
    png_set_swap_alpha(png);
#else
  if (!(colorType & PNG_COLOR_MASK_ALPHA) && !hasTrns) png_set_filler(png, 0xff, PNG_FILLER_AFTER);
#endif
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *width = png_get_image_width(png, info);
  *height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(*width) * 4) return 0;
  return passes;
}

// Reads every row (each pass of an interlaced image) into the bitmap as bytes, then the
// chunks after the image data.
bool ReadRows(png_structp png, DRAW_IBitmap* bmp, int passes)
{
  if (setjmp(png_jmpbuf(png))) return false;
  const int height = bmp->getHeight();
  for (int pass = 0; pass < passes; ++pass)
  {
    for (int y = 0; y < height; ++y)
      png_read_row(png, reinterpret_cast<png_bytep>(bmp->Row(y)), nullptr);
  }
  // Up to the end chunk: a file cut short anywhere is refused.
  png_read_end(png, nullptr);
  return true;
}

// Repacks the decoded bytes in place as pixels: R, G, B, A bytes elsewhere; on macOS the rows are
// A, R, G, B already, which is the pixel order.
void PackRows(DRAW_IBitmap* bmp)
{
#ifdef KESTRUNE_MAC
  (void)bmp;
#else
  for (int y = 0; y < bmp->getHeight(); ++y)
  {
    DRAW_Pixel* row = bmp->Row(y);
    for (int x = 0; x < bmp->getWidth(); ++x)
    {
      unsigned char b[4];
      std::memcpy(b, &row[x], 4);
      row[x] = DRAW_MakePixel(b[0], b[1], b[2], b[3]);
    }
  }
#endif
}

DRAW_IBitmap* Decode(ReadStructs& rs, DRAW_IBitmap* bmp)
{
  png_uint_32 width = 0, height = 0;
  const int passes = ReadHeader(rs.png, rs.info, &width, &height);
  if (passes == 0) return nullptr;
  std::unique_ptr<DRAW_IBitmap> made;
  if (!bmp)
  {
    made = std::make_unique<DRAW_MemBitmap>(0, 0, 4);
    bmp = made.get();
  }
  bmp->resize(static_cast<int>(width), static_cast<int>(height));
  if (bmp->getWidth() != static_cast<int>(width) || bmp->getHeight() != static_cast<int>(height) ||
      !bmp->getBits())
    return nullptr;
  if (!ReadRows(rs.png, bmp, passes)) return nullptr;
  PackRows(bmp);
  made.release();
  return bmp;
}

bool Prepare(ReadStructs& rs)
{
  if (!rs.png || !rs.info) return false;
  png_set_user_limits(rs.png, kDrawMaxBitmapSidePixels, kDrawMaxBitmapSidePixels);
  return true;
}

// png_init_io must run under a jump buffer too; it cannot fail, but keep every libpng call covered.
bool AttachFile(png_structp png, FILE* f)
{
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  return true;
}

} // namespace

DRAW_IBitmap* DRAW_LoadPNG(const char* filename, DRAW_IBitmap* bmp)
{
  if (!filename) return nullptr;
  FilePtr f(std::fopen(filename, "rb"));
  if (!f) return nullptr;
  ReadStructs rs;
  if (!Prepare(rs) || !AttachFile(rs.png, f.get())) return nullptr;
  return Decode(rs, bmp);
}

DRAW_IBitmap* DRAW_LoadPNGFromMemory(const void* data, size_t length, DRAW_IBitmap* bmp)
{
  if (!data || length == 0) return nullptr;
  ReadStructs rs;
  if (!Prepare(rs)) return nullptr;
  MemorySource source{static_cast<const png_byte*>(data), length, 0};
  png_set_read_fn(rs.png, &source, ReadFromMemory);
  return Decode(rs, bmp);
}

namespace
{

struct WriteStructs
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  WriteStructs()
  {
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png) info = png_create_info_struct(png);
  }
  ~WriteStructs() { png_destroy_write_struct(&png, info ? &info : nullptr); }
  WriteStructs(const WriteStructs&) = delete;
  WriteStructs& operator=(const WriteStructs&) = delete;
};

bool WriteImage(png_structp png, png_infop info, FILE* f, const DRAW_IBitmap* bmp, png_bytep row)
{
  if (setjmp(png_jmpbuf(png))) return false;
  const int width = bmp->getWidth(), height = bmp->getHeight();
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y)
  {
    const DRAW_Pixel* src = bmp->Row(y);
    for (int x = 0; x < width; ++x)
    {
      row[4 * x + 0] = static_cast<png_byte>(DRAW_GetR(src[x]));
      row[4 * x + 1] = static_cast<png_byte>(DRAW_GetG(src[x]));
      row[4 * x + 2] = static_cast<png_byte>(DRAW_GetB(src[x]));
      row[4 * x + 3] = static_cast<png_byte>(DRAW_GetA(src[x]));
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

} // namespace

bool DRAW_SavePNG(const DRAW_IBitmap* bmp, const char* filename)
{
  if (!bmp || !filename || bmp->getWidth() <= 0 || bmp->getHeight() <= 0 || !bmp->getBits()) return false;
  std::vector<png_byte> row(static_cast<size_t>(bmp->getWidth()) * 4);
  FILE* raw = std::fopen(filename, "wb");
  if (!raw) return false;
  bool ok;
  {
    WriteStructs ws;
    ok = ws.png && ws.info && WriteImage(ws.png, ws.info, raw, bmp, row.data());
  }
  ok = (std::fclose(raw) == 0) && ok;
  if (!ok) std::remove(filename);
  return ok;
}
