#include "drawing/DRAW_PlatformFont.h"

#include "drawing/DRAW_Tunables.h"

#include <windows.h>

#include <algorithm>

namespace
{
// Coverage levels of a GGO_GRAY8_BITMAP glyph: 0..64.
constexpr int kGrayLevels = 64;

// Rows of glyph bitmaps are padded to whole 32-bit words.
constexpr int kGlyphRowAlignBytes = 4;
} // namespace

std::unique_ptr<DRAW_PlatformFont> DRAW_PlatformFont::Create(const char* face, int height, bool bold,
                                                             bool italic, bool antialias)
{
  height = std::clamp(height, kDrawMinFontHeightPixels, kDrawMaxFontHeightPixels);
  // A positive height asks for the cell height (ascent plus descent), as the other build measures it.
  HFONT font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                           antialias ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, (face && *face) ? face : "Arial");
  if (!font) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc)
  {
    DeleteObject(font);
    return nullptr;
  }
  std::unique_ptr<DRAW_PlatformFont> result(new DRAW_PlatformFont());
  result->mFont = font;
  result->mDC = dc;
  result->mOldFont = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  if (!GetTextMetricsA(dc, &metrics) || metrics.tmHeight <= 0) return nullptr;
  result->mHeight = metrics.tmHeight;
  result->mAscent = metrics.tmAscent;
  result->mAntialias = antialias;
  return result;
}

DRAW_PlatformFont::~DRAW_PlatformFont()
{
  if (mDC)
  {
    if (mOldFont) SelectObject(static_cast<HDC>(mDC), static_cast<HGDIOBJ>(mOldFont));
    DeleteDC(static_cast<HDC>(mDC));
  }
  if (mFont) DeleteObject(static_cast<HGDIOBJ>(mFont));
}

bool DRAW_PlatformFont::RenderGlyph(uint32_t codepoint, DRAW_GlyphImage* glyph,
                                    std::vector<uint8_t>* coverage)
{
  if (codepoint > 0xFFFF) return false; // outside the font's 16-bit character codes
  HDC dc = static_cast<HDC>(mDC);
  const UINT format = mAntialias ? GGO_GRAY8_BITMAP : GGO_BITMAP;
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS gm = {};
  const DWORD size = GetGlyphOutlineW(dc, codepoint, format, &gm, 0, nullptr, &identity);
  if (size == GDI_ERROR) return false;
  glyph->advance = gm.gmCellIncX;
  if (size == 0) // a blank glyph (space): metrics only
  {
    glyph->width = glyph->height = glyph->left = glyph->top = 0;
    return true;
  }
  std::vector<uint8_t> bits(size);
  if (GetGlyphOutlineW(dc, codepoint, format, &gm, size, bits.data(), &identity) == GDI_ERROR) return false;
  const int width = static_cast<int>(gm.gmBlackBoxX);
  const int height = static_cast<int>(gm.gmBlackBoxY);
  const bool mono = format == GGO_BITMAP;
  const int rowBytes = mono ? ((width + 31) / 32) * kGlyphRowAlignBytes
                            : ((width + kGlyphRowAlignBytes - 1) / kGlyphRowAlignBytes) * kGlyphRowAlignBytes;
  if (static_cast<size_t>(rowBytes) * static_cast<size_t>(height) > bits.size()) return false;
  glyph->width = width;
  glyph->height = height;
  glyph->left = gm.gmptGlyphOrigin.x;
  glyph->top = gm.gmptGlyphOrigin.y;
  const size_t start = coverage->size();
  coverage->resize(start + static_cast<size_t>(width) * static_cast<size_t>(height));
  uint8_t* out = coverage->data() + start;
  for (int y = 0; y < height; ++y)
  {
    const uint8_t* row = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
    for (int x = 0; x < width; ++x)
    {
      if (mono)
        *out++ = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
      else
        *out++ = static_cast<uint8_t>(std::min<int>(row[x], kGrayLevels) * 255 / kGrayLevels);
    }
  }
  return true;
}
