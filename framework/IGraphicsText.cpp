// Text: the process-wide font cache and DrawText. Fonts are made once per (pixel size, orientation,
// style, face) and never freed; colour, alignment and quality are not part of the key. A style's size
// is in layout units: at 150 and 200 % its font is made at the larger pixel height, not enlarged.

#include "drawing/DRAW_CachedFont.h"
#include "drawing/DRAW_PlatformFont.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/IGraphics.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace
{
constexpr int kMinFontHeightPixels = 2;

struct FontCacheEntry
{
  int mSize;
  int mOrientation;
  int mStyle;
  char mFace[IText::kMaxFontNameBytes];
  DRAW_CachedFont* mFont;
};

struct FontCache
{
  std::mutex mMutex;
  std::vector<FontCacheEntry> mEntries;
};

// Never destroyed, like the bitmap cache.
FontCache& Cache()
{
  static FontCache* cache = new FontCache();
  return *cache;
}

bool Antialiased(int quality)
{
  switch (quality)
  {
  case IText::kQualityDefault: // the platform's default is smoothed text
  case IText::kQualityAntiAliased:
  case IText::kQualityClearType:
    return true;
  default:
    return false;
  }
}

std::unique_ptr<DRAW_PlatformFont> MakePlatformFont(const IText* text, int height)
{
  return DRAW_PlatformFont::Create(text->mFont, height, (text->mStyle & IText::kStyleBold) != 0,
                                   (text->mStyle & IText::kStyleItalic) != 0, Antialiased(text->mQuality));
}
} // namespace

DRAW_CachedFont* IGraphics::FindFont(IText* text)
{
  if (!text) return nullptr;
  const int size = ToPixels(text->mSize);
  FontCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mMutex);
  for (const FontCacheEntry& e : cache.mEntries)
    if (e.mSize == size && e.mOrientation == text->mOrientation && e.mStyle == text->mStyle &&
        std::strcmp(e.mFace, text->mFont) == 0)
      return e.mFont;

  int height = size > kMinFontHeightPixels ? size : kMinFontHeightPixels;
  std::unique_ptr<DRAW_PlatformFont> platformFont = MakePlatformFont(text, height);
  if (!platformFont) return nullptr;
  auto font = std::make_unique<DRAW_CachedFont>();
  font->SetFromHFont(std::move(platformFont), kDrawCachedFontFlags);
  // A face whose line is taller or shorter than asked for is made once more, scaled to fit.
  int lineHeight = font->GetLineHeight();
  if (lineHeight > 0 && lineHeight != height)
  {
    int corrected = static_cast<int>(static_cast<double>(height) * height / lineHeight + 0.5);
    if (corrected < kMinFontHeightPixels) corrected = kMinFontHeightPixels;
    if (std::unique_ptr<DRAW_PlatformFont> refit = MakePlatformFont(text, corrected))
      font->SetFromHFont(std::move(refit), kDrawCachedFontFlags);
  }
  FontCacheEntry entry{size, text->mOrientation, text->mStyle, {}, font.release()};
  std::memcpy(entry.mFace, text->mFont, sizeof(entry.mFace));
  cache.mEntries.push_back(entry);
  return entry.mFont;
}

bool IGraphics::DrawText(IText* text, const char* str, IRECT* r)
{
  if (!str || !*str) return true;
  if (!text || !r) return true;
  DRAW_CachedFont* font = text->mCached && text->mCachedScale == mScale ? text->mCached : FindFont(text);
  if (!font) return false;
  text->mCached = font;
  text->mCachedScale = mScale;
  if (!mDrawBitmap) return true;
  const IColor& c = text->mColor;
  font->SetTextColor(DRAW_MakePixel(c.R, c.G, c.B, c.A));
  unsigned flags = kDrawTextNoClip;
  if (c.A < 255) flags |= kDrawTextUseColorAlpha;
  if (text->mAlign == IText::kAlignCenter)
    flags |= kDrawTextCenter;
  else if (text->mAlign != IText::kAlignNear)
    flags |= kDrawTextRight;
  const IRECT p = ToPixels(*r);
  DRAW_Rect rect{p.L, p.T, p.R, p.B};
  font->DrawText(mDrawBitmap.get(), str, -1, &rect, flags);
  return true;
}
