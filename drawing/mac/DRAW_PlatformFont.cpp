#include "drawing/DRAW_PlatformFont.h"

#include "drawing/DRAW_Tunables.h"
#include "platform/mac/MacCompat.h"

#include <algorithm>
#include <cmath>

namespace
{
// Blank columns and rows around a glyph's box, so that antialiased edges are not cut.
constexpr int kGlyphMarginPixels = 1;

CTFontRef FontOf(const void* font)
{
  return static_cast<CTFontRef>(font);
}

// A Core Text font by face name at a size in points (one point is one pixel of the bitmap), bold and
// italic when asked for and the family has them. Null when no font can be made.
CTFontRef MakeFont(const char* face, CGFloat size, bool bold, bool italic)
{
  CFStringRef name =
      CFStringCreateWithCString(nullptr, (face && *face) ? face : "Arial", kCFStringEncodingUTF8);
  if (!name) return nullptr;
  CTFontRef font = CTFontCreateWithName(name, size, nullptr);
  CFRelease(name);
  const CTFontSymbolicTraits traits = (bold ? kCTFontBoldTrait : 0u) | (italic ? kCTFontItalicTrait : 0u);
  if (font && traits != 0)
  {
    if (CTFontRef styled = CTFontCreateCopyWithSymbolicTraits(font, size, nullptr, traits, traits))
    {
      CFRelease(font);
      font = styled;
    }
  }
  return font;
}

// Encodes a code point as UTF-16; answers the number of units (0 for one that has none).
int Utf16(uint32_t codepoint, UniChar out[2])
{
  if (codepoint >= 0xD800 && codepoint <= 0xDFFF) return 0;
  if (codepoint < 0x10000)
  {
    out[0] = static_cast<UniChar>(codepoint);
    return 1;
  }
  if (codepoint > 0x10FFFF) return 0;
  const uint32_t v = codepoint - 0x10000;
  out[0] = static_cast<UniChar>(0xD800 + (v >> 10));
  out[1] = static_cast<UniChar>(0xDC00 + (v & 0x3FF));
  return 2;
}
} // namespace

std::unique_ptr<DRAW_PlatformFont> DRAW_PlatformFont::Create(const char* face, int height, bool bold,
                                                             bool italic, bool antialias)
{
  height = std::clamp(height, kDrawMinFontHeightPixels, kDrawMaxFontHeightPixels);
  // Core Text sizes a font by its em; the height asked for is the cell (ascent plus descent), so the
  // font is made once at that size, measured, and made again at the size whose cell fits.
  CTFontRef probe = MakeFont(face, height, bold, italic);
  if (!probe) return nullptr;
  const double probeCell = CTFontGetAscent(probe) + CTFontGetDescent(probe);
  CFRelease(probe);
  if (!(probeCell > 0)) return nullptr;
  const CGFloat size = static_cast<CGFloat>(height) * height / probeCell;
  CTFontRef font = MakeFont(face, size, bold, italic);
  if (!font) return nullptr;
  std::unique_ptr<DRAW_PlatformFont> result(new DRAW_PlatformFont());
  result->mFont = font;
  const double ascent = CTFontGetAscent(font), descent = CTFontGetDescent(font);
  if (!(ascent + descent > 0)) return nullptr;
  result->mHeight = height;
  result->mAscent = static_cast<int>(std::lround(height * ascent / (ascent + descent)));
  result->mAntialias = antialias;
  return result;
}

DRAW_PlatformFont::~DRAW_PlatformFont()
{
  if (mFont) CFRelease(mFont);
}

bool DRAW_PlatformFont::RenderGlyph(uint32_t codepoint, DRAW_GlyphImage* glyph,
                                    std::vector<uint8_t>* coverage)
{
  CTFontRef font = FontOf(mFont);
  UniChar units[2] = {};
  const int count = Utf16(codepoint, units);
  CGGlyph glyphs[2] = {};
  if (count == 0 || !CTFontGetGlyphsForCharacters(font, units, glyphs, count)) return false;
  const CGGlyph g = glyphs[0];

  CGSize advance = {};
  CTFontGetAdvancesForGlyphs(font, kCTFontOrientationDefault, &g, &advance, 1);
  CGRect box = {};
  CTFontGetBoundingRectsForGlyphs(font, kCTFontOrientationDefault, &g, &box, 1);
  glyph->advance = static_cast<int>(std::lround(advance.width));
  if (!(box.size.width > 0) || !(box.size.height > 0)) // a blank glyph (space): metrics only
  {
    glyph->width = glyph->height = glyph->left = glyph->top = 0;
    return true;
  }

  // The glyph's box in whole pixels, y up from the baseline, with a margin.
  const int left = static_cast<int>(std::floor(box.origin.x)) - kGlyphMarginPixels;
  const int right = static_cast<int>(std::ceil(box.origin.x + box.size.width)) + kGlyphMarginPixels;
  const int bottom = static_cast<int>(std::floor(box.origin.y)) - kGlyphMarginPixels;
  const int top = static_cast<int>(std::ceil(box.origin.y + box.size.height)) + kGlyphMarginPixels;
  const int width = right - left, height = top - bottom;
  if (width <= 0 || height <= 0 || width > kDrawMaxFontHeightPixels * 4 ||
      height > kDrawMaxFontHeightPixels * 4)
    return false;

  // White on black in a grey bitmap: the bytes are the coverage, row 0 at the top.
  const size_t start = coverage->size();
  coverage->resize(start + static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  CGColorSpaceRef grey = CGColorSpaceCreateDeviceGray();
  CGContextRef context = grey ? CGBitmapContextCreate(coverage->data() + start, static_cast<size_t>(width),
                                                      static_cast<size_t>(height), 8,
                                                      static_cast<size_t>(width), grey, kCGImageAlphaNone)
                              : nullptr;
  if (grey) CGColorSpaceRelease(grey);
  if (!context)
  {
    coverage->resize(start);
    return false;
  }
  CGContextSetShouldAntialias(context, mAntialias);
  CGContextSetShouldSmoothFonts(context, false);
  CGContextSetGrayFillColor(context, 1, 1);
  const CGPoint pen = {static_cast<CGFloat>(-left), static_cast<CGFloat>(-bottom)};
  CTFontDrawGlyphs(font, &g, &pen, 1, context);
  CGContextRelease(context);

  glyph->width = width;
  glyph->height = height;
  glyph->left = left;
  glyph->top = top;
  return true;
}
