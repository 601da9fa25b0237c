#include "drawing/DRAW_CachedFont.h"

#include "drawing/DRAW_Blend.h"
#include "drawing/DRAW_Utf8.h"

#include <algorithm>
#include <cstring>

using namespace draw_blend;

namespace
{

const char* LineEnd(const char* p, const char* end)
{
  const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
  return nl ? static_cast<const char*>(nl) : end;
}

} // namespace

void DRAW_CachedFont::SetFromHFont(std::unique_ptr<DRAW_PlatformFont> font, int flags)
{
  std::lock_guard<std::mutex> guard(mLock);
  mFont = std::move(font);
  mFlags = flags;
  mLatin.fill(Glyph());
  mOtherGlyphs.clear();
  mCoverage.clear();
}

const DRAW_CachedFont::Glyph& DRAW_CachedFont::GetGlyph(uint32_t codepoint)
{
  Glyph* g;
  if (codepoint < mLatin.size())
  {
    g = &mLatin[codepoint];
  }
  else
  {
    auto it = mOtherGlyphs.find(codepoint);
    if (it != mOtherGlyphs.end()) return it->second;
    g = &mOtherGlyphs[codepoint];
  }
  if (!g->loaded)
  {
    g->loaded = true;
    g->offset = static_cast<int32_t>(mCoverage.size());
    g->valid = mFont->RenderGlyph(codepoint, &g->image, &mCoverage);
    if (!g->valid)
    {
      mCoverage.resize(static_cast<size_t>(g->offset));
      g->image = DRAW_GlyphImage();
    }
  }
  return *g;
}

int DRAW_CachedFont::LineWidth(const char* p, const char* end)
{
  int width = 0;
  while (p < end)
  {
    const uint32_t cp = DRAW_NextCodepoint(p, end);
    if (cp != '\r') width += GetGlyph(cp).image.advance;
  }
  return width;
}

void DRAW_CachedFont::MeasureText(const char* str, int length, int* width, int* height)
{
  std::lock_guard<std::mutex> guard(mLock);
  int w = 0, lines = 0;
  if (mFont && str)
  {
    const char* end = str + (length < 0 ? std::strlen(str) : static_cast<size_t>(length));
    for (const char* p = str;; ++p)
    {
      const char* e = LineEnd(p, end);
      w = std::max(w, LineWidth(p, e));
      ++lines;
      p = e;
      if (p >= end) break;
    }
  }
  if (width) *width = w;
  if (height) *height = lines * GetLineHeight();
}

void DRAW_CachedFont::DrawLine(DRAW_IBitmap* dest, const char* p, const char* end, int penX, int baseline,
                               const DRAW_Rect& clip, int weight)
{
  const DRAW_Pixel colour = mColor & ~(DRAW_Pixel(0xff) << kDrawShiftA);
  const CopySourceAlphaOp op(weight);
  while (p < end)
  {
    const uint32_t cp = DRAW_NextCodepoint(p, end);
    if (cp == '\r') continue;
    const Glyph& g = GetGlyph(cp);
    const DRAW_GlyphImage& im = g.image;
    // The glyph's box, clipped once; the rows below blend without tests.
    const int gx = penX + im.left, gy = baseline - im.top;
    const int x0 = std::max(gx, clip.left), x1 = std::min(gx + im.width, clip.right);
    const int y0 = std::max(gy, clip.top), y1 = std::min(gy + im.height, clip.bottom);
    penX += im.advance;
    if (x0 >= x1 || y0 >= y1) continue;
    for (int y = y0; y < y1; ++y)
    {
      const uint8_t* cov = mCoverage.data() + g.offset + static_cast<long>(y - gy) * im.width + (x0 - gx);
      DRAW_Pixel* d = dest->Row(y) + x0;
      for (int i = 0; i < x1 - x0; ++i)
        d[i] = op(d[i], colour | (DRAW_Pixel(cov[i]) << kDrawShiftA));
    }
  }
}

int DRAW_CachedFont::DrawText(DRAW_IBitmap* dest, const char* str, int length, DRAW_Rect* rect,
                              unsigned flags)
{
  if (!str || !rect || !mFont) return 0;
  if (flags & kDrawTextCalcRect)
  {
    int w = 0, h = 0;
    MeasureText(str, length, &w, &h);
    rect->right = rect->left + w;
    rect->bottom = rect->top + h;
    return h;
  }
  std::lock_guard<std::mutex> guard(mLock);
  const char* end = str + (length < 0 ? std::strlen(str) : static_cast<size_t>(length));
  const int lineHeight = mFont->GetHeight();
  const int weight = (flags & kDrawTextUseColorAlpha) ? WeightOf(DRAW_GetA(mColor) / 255.0f) : 256;
  const bool canDraw = dest && dest->getBits() && weight > 0;
  DRAW_Rect clip{0, 0, canDraw ? dest->getWidth() : 0, canDraw ? dest->getHeight() : 0};
  if (!(flags & kDrawTextNoClip))
  {
    clip.left = std::max(clip.left, rect->left);
    clip.top = std::max(clip.top, rect->top);
    clip.right = std::min(clip.right, rect->right);
    clip.bottom = std::min(clip.bottom, rect->bottom);
  }
  int lines = 0;
  for (const char* p = str;; ++p)
  {
    const char* e = LineEnd(p, end);
    if (canDraw)
    {
      int x = rect->left;
      if (flags & (kDrawTextCenter | kDrawTextRight))
      {
        const int spare = rect->right - rect->left - LineWidth(p, e);
        x += (flags & kDrawTextCenter) ? (spare >> 1) : spare;
      }
      DrawLine(dest, p, e, x, rect->top + lines * lineHeight + mFont->GetAscent(), clip, weight);
    }
    ++lines;
    p = e;
    if (p >= end) break;
  }
  return lines * lineHeight;
}
