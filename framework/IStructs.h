#pragma once
// The editor's value records: rectangles, colours, bitmap handles, blends, text styles and mouse
// modifiers. Plain values, copied freely; none of them owns what it points to.

#include <cstddef>
#include <cstring>

class DRAW_IBitmap;
class DRAW_CachedFont;

// A rectangle in editor pixels, right and bottom exclusive for drawing. All four fields 0 is "empty".
struct IRECT
{
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  int MW() const { return (L + R) / 2; }
  int MH() const { return (T + B) / 2; }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  // Smallest rectangle holding both; an empty operand gives the other one.
  IRECT Union(const IRECT& o) const
  {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B);
  }
  // True when the two share at least one pixel; never for an empty operand.
  bool Intersects(const IRECT& o) const
  {
    if (Empty() || o.Empty()) return false;
    return R > o.L && L < o.R && B > o.T && T < o.B;
  }
  // The shared part, or the empty rectangle when they do not intersect.
  IRECT Intersect(const IRECT& o) const
  {
    if (!Intersects(o)) return IRECT();
    return IRECT(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
  }
  // Inclusive on all four edges: the hit test of controls.
  bool Contains(int x, int y) const { return x >= L && x <= R && y >= T && y <= B; }
};

// A colour, alpha first; each component 0..255.
struct IColor
{
  int A = 255, R = 0, G = 0, B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

// A handle to a cached image: the bitmap (not owned), its whole pixel size and its frame count.
// Frames are equal slices stacked vertically unless a drawing call says they lie side by side.
struct IBitmap
{
  DRAW_IBitmap* mData = nullptr;
  int W = 0, H = 0, N = 1;

  IBitmap() = default;
  IBitmap(DRAW_IBitmap* data, int w, int h, int n = 1) : mData(data), W(w), H(h), N(n < 1 ? 1 : n) {}
  // Width or height of one frame.
  int FrameW(bool sideBySide) const { return sideBySide ? W / N : W; }
  int FrameH(bool sideBySide) const { return sideBySide ? H : H / N; }
};

// How a drawing call combines with what is already there, and its overall opacity 0..1.
struct IChannelBlend
{
  enum EBlendMethod
  {
    kBlendNone = 0,   // copy using the source alpha
    kBlendClobber,    // plain copy, source alpha ignored
    kBlendAdd,        // add using the source alpha
    kBlendColorDodge, // colour dodge using the source alpha
  };

  int mMethod = kBlendNone;
  float mWeight = 1.0f;

  IChannelBlend() = default;
  IChannelBlend(int method, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};

// A text style. The face name is a fixed field: a name that does not fit is refused.
struct IText
{
  static constexpr std::size_t kMaxFontNameBytes = 32;

  enum EStyle
  {
    kStyleNormal = 0,
    kStyleBold = 1,
    kStyleItalic = 2
  };
  enum EAlign
  {
    kAlignNear = 0,
    kAlignCenter = 1,
    kAlignFar = 2
  };
  enum EQuality
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFont[kMaxFontNameBytes] = "Arial";
  int mSize = 14;
  IColor mColor;
  int mStyle = kStyleNormal;
  int mAlign = kAlignCenter;
  int mOrientation = 0; // degrees
  int mQuality = kQualityDefault;
  DRAW_CachedFont* mCached = nullptr; // filled on first use, owned by the font cache
  int mCachedScale = 0;               // the editor size (percent) mCached was made for

  IText() = default;
  IText(int size, const IColor& color, const char* font = nullptr, int style = kStyleNormal,
        int align = kAlignCenter, int orientation = 0, int quality = kQualityDefault)
      : mSize(size), mColor(color), mStyle(style), mAlign(align), mOrientation(orientation), mQuality(quality)
  {
    SetFont(font);
  }

  // Copies the face name; a null name keeps the current one, an over-long one is refused (false).
  bool SetFont(const char* font)
  {
    if (!font) return true;
    std::size_t n = std::strlen(font);
    if (n >= kMaxFontNameBytes) return false;
    std::memcpy(mFont, font, n + 1);
    mCached = nullptr;
    return true;
  }
};

// Mouse buttons and modifier keys of an event.
struct IMouseMod
{
  bool L = false, R = false, S = false, C = false, A = false;

  IMouseMod() = default;
  IMouseMod(bool l, bool r = false, bool s = false, bool c = false, bool a = false)
      : L(l), R(r), S(s), C(c), A(a)
  {
  }
};
