#pragma once
// A text renderer over a platform font that renders each glyph once and keeps it. Once the glyphs of
// a text have been drawn, drawing it again allocates nothing.
//
// Text is UTF-8 (a byte that does not start a valid sequence stands for itself, as Latin-1); "\n"
// starts a new line. Text starts at the rectangle's top; lines are aligned within the rectangle's
// width. Called from the editor's user-interface thread; a font shared by several editors is locked.

#include "drawing/DRAW_IBitmap.h"
#include "drawing/DRAW_PlatformFont.h"
#include "drawing/DRAW_Rect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

// Format flags of DrawText (the platform's values).
constexpr unsigned kDrawTextLeft = 0x0;
constexpr unsigned kDrawTextCenter = 0x1;
constexpr unsigned kDrawTextRight = 0x2;
constexpr unsigned kDrawTextNoClip = 0x100;             // draw outside the rectangle too
constexpr unsigned kDrawTextCalcRect = 0x400;           // only measure: set rect's right and bottom
constexpr unsigned kDrawTextUseColorAlpha = 0x40000000; // weight the text by the colour's alpha

// The flags value the graphics context makes its fonts with.
constexpr int kDrawCachedFontFlags = 0x600;

class DRAW_CachedFont
{
public:
  DRAW_CachedFont() = default;

  // Takes ownership of the platform font and forgets every cached glyph. `flags` is kept as given.
  void SetFromHFont(std::unique_ptr<DRAW_PlatformFont> font, int flags);
  // Text colour as a packed pixel; its alpha counts only with kDrawTextUseColorAlpha.
  void SetTextColor(DRAW_Pixel color) { mColor = color; }
  // Line height in pixels (0 without a font).
  int GetLineHeight() const { return mFont ? mFont->GetHeight() : 0; }
  int GetFlags() const { return mFlags; }

  // Width of the widest line and height of all lines of the text, in pixels. `length` -1 = up to the
  // terminating zero.
  void MeasureText(const char* str, int length, int* width, int* height);

  // Draws the text into `dest` within `rect` (or, with kDrawTextCalcRect, only sets rect->right and
  // rect->bottom to the text's extent). Answers the height of the text in pixels.
  int DrawText(DRAW_IBitmap* dest, const char* str, int length, DRAW_Rect* rect, unsigned flags);

private:
  struct Glyph
  {
    bool loaded = false;
    bool valid = false;
    int32_t offset = 0; // first coverage byte in mCoverage
    DRAW_GlyphImage image;
  };

  const Glyph& GetGlyph(uint32_t codepoint);
  int LineWidth(const char* p, const char* end);
  void DrawLine(DRAW_IBitmap* dest, const char* p, const char* end, int penX, int baseline,
                const DRAW_Rect& clip, int weight);

  std::unique_ptr<DRAW_PlatformFont> mFont;
  int mFlags = 0;
  DRAW_Pixel mColor = DRAW_MakePixel(0, 0, 0, 255);
  std::array<Glyph, 256> mLatin{};                  // code points below 256
  std::unordered_map<uint32_t, Glyph> mOtherGlyphs; // the rest
  std::vector<uint8_t> mCoverage;                   // every glyph's coverage bytes
  std::mutex mLock;
};
