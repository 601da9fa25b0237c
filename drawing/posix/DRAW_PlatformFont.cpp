#include "drawing/DRAW_PlatformFont.h"

#include "drawing/DRAW_Tunables.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

namespace
{

std::mutex& FontLock()
{
  static std::mutex lock;
  return lock;
}

// The process-wide FreeType library, made on first use; call with FontLock held. Never freed: fonts
// live in process-wide caches.
FT_Library Library()
{
  static FT_Library library = nullptr;
  static bool tried = false;
  if (!tried)
  {
    tried = true;
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  return library;
}

struct FaceChoice
{
  std::string file;
  int index = 0;
  bool synthBold = false;
  bool synthItalic = false;
};

// Asks fontconfig for the face closest to the name and style; call with FontLock held.
bool ChooseFace(const char* face, bool bold, bool italic, FaceChoice* choice)
{
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const char* family = (face && *face) ? face : "sans-serif";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (found) choice->file = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(match, FC_SLANT, 0, &slant);
  FcPatternDestroy(match);
  choice->index = index;
  choice->synthBold = bold && weight < FC_WEIGHT_DEMIBOLD;
  choice->synthItalic = italic && slant == FC_SLANT_ROMAN;
  return found;
}

// Ascent and descent in font units, as the platform's cell height counts them.
void CellMetrics(FT_Face face, double* ascent, double* descent)
{
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
  {
    *ascent = os2->usWinAscent;
    *descent = os2->usWinDescent;
    return;
  }
  *ascent = face->ascender;
  *descent = -face->descender;
  if (*ascent + *descent <= 0) *ascent = face->units_per_EM, *descent = 0;
}

} // namespace

std::unique_ptr<DRAW_PlatformFont> DRAW_PlatformFont::Create(const char* face, int height, bool bold,
                                                             bool italic, bool antialias)
{
  height = std::clamp(height, kDrawMinFontHeightPixels, kDrawMaxFontHeightPixels);
  std::lock_guard<std::mutex> guard(FontLock());
  FT_Library library = Library();
  FaceChoice choice;
  if (!library || !ChooseFace(face, bold, italic, &choice)) return nullptr;
  FT_Face ftFace = nullptr;
  if (FT_New_Face(library, choice.file.c_str(), choice.index, &ftFace) != 0) return nullptr;
  std::unique_ptr<DRAW_PlatformFont> font(new DRAW_PlatformFont());
  font->mFace = ftFace;
  if (!FT_IS_SCALABLE(ftFace) || ftFace->units_per_EM == 0) return nullptr;

  double ascent = 0, descent = 0;
  CellMetrics(ftFace, &ascent, &descent);
  const double emPixels = height * double(ftFace->units_per_EM) / (ascent + descent);
  if (FT_Set_Char_Size(ftFace, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0)), 72, 72) != 0)
    return nullptr;
  font->mHeight = height;
  font->mAscent = static_cast<int>(std::lround(height * ascent / (ascent + descent)));
  font->mAntialias = antialias;
  font->mSynthBold = choice.synthBold;
  font->mSynthItalic = choice.synthItalic;
  return font;
}

DRAW_PlatformFont::~DRAW_PlatformFont()
{
  if (!mFace) return;
  std::lock_guard<std::mutex> guard(FontLock());
  FT_Done_Face(mFace);
}

bool DRAW_PlatformFont::RenderGlyph(uint32_t codepoint, DRAW_GlyphImage* glyph,
                                    std::vector<uint8_t>* coverage)
{
  std::lock_guard<std::mutex> guard(FontLock());
  const FT_Int32 target = mAntialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
  if (FT_Load_Char(mFace, codepoint, FT_LOAD_DEFAULT | target) != 0) return false;
  FT_GlyphSlot slot = mFace->glyph;
  if (mSynthItalic) FT_GlyphSlot_Oblique(slot);
  if (mSynthBold) FT_GlyphSlot_Embolden(slot);
  if (FT_Render_Glyph(slot, mAntialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;

  const FT_Bitmap& bm = slot->bitmap;
  const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
  if (!mono && bm.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
  glyph->width = static_cast<int>(bm.width);
  glyph->height = static_cast<int>(bm.rows);
  glyph->left = slot->bitmap_left;
  glyph->top = slot->bitmap_top;
  glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  const size_t start = coverage->size();
  coverage->resize(start + size_t(bm.width) * bm.rows);
  uint8_t* out = coverage->data() + start;
  for (unsigned y = 0; y < bm.rows; ++y)
  {
    const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
    for (unsigned x = 0; x < bm.width; ++x)
      *out++ = mono ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0) : row[x];
  }
  return true;
}
