#pragma once
// The platform font of this build. mac/: a Core Text font by face name, glyphs drawn into a grey
// Core Graphics bitmap context; posix/: a FreeType face chosen by fontconfig; windows/: a GDI font
// selected into its own memory device context, glyphs taken from its outlines.
//
// The height is the font's cell height in pixels (ascent plus descent), so a font asked for at 12
// pixels reports a line height of 12. A face name the system does not know resolves to the closest face
// it offers (metric-compatible faces for the common names). Bold or italic that the chosen face lacks
// is synthesised.
//
// FreeType calls of every font go through one process-wide lock; a GDI font uses only its own context.

#include <cstdint>
#include <memory>
#include <vector>

struct FT_FaceRec_;

// One rendered glyph: an 8-bit coverage image (row span = width) and its placement against the pen.
struct DRAW_GlyphImage
{
  int width = 0;
  int height = 0;
  int left = 0;    // from the pen position to the image's left column
  int top = 0;     // from the baseline up to the image's top row
  int advance = 0; // pen movement in pixels
};

class DRAW_PlatformFont
{
public:
  // Answers null when no face can be loaded. Heights below the minimum use the minimum.
  static std::unique_ptr<DRAW_PlatformFont> Create(const char* face, int height, bool bold, bool italic,
                                                   bool antialias);
  ~DRAW_PlatformFont();
  DRAW_PlatformFont(const DRAW_PlatformFont&) = delete;
  DRAW_PlatformFont& operator=(const DRAW_PlatformFont&) = delete;

  int GetHeight() const { return mHeight; }
  int GetAscent() const { return mAscent; }
  bool IsAntialiased() const { return mAntialias; }

  // Renders the glyph of a Unicode code point; the coverage bytes are appended to `coverage`.
  // Answers false when the platform cannot render it.
  bool RenderGlyph(uint32_t codepoint, DRAW_GlyphImage* glyph, std::vector<uint8_t>* coverage);

private:
  DRAW_PlatformFont() = default;

#if defined(KESTRUNE_MAC)
  const void* mFont = nullptr; // CTFontRef
#elif defined(_WIN32)
  void* mFont = nullptr; // HFONT
  void* mDC = nullptr;   // HDC with mFont selected
  void* mOldFont = nullptr;
#else
  FT_FaceRec_* mFace = nullptr;
#endif
  int mHeight = 0;
  int mAscent = 0;
  bool mAntialias = true;
#if !defined(KESTRUNE_MAC)
  bool mSynthBold = false; // FreeType styles what the face lacks
  bool mSynthItalic = false;
#endif
};
