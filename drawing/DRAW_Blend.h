#pragma once
// Integer blend helpers shared by the raster functions. Weights are in 1/256 steps (0..256).

#include "drawing/DRAW_Pixel.h"
#include "drawing/DRAW_Raster.h"

#include <algorithm>
#include <cstdint>

namespace draw_blend
{

// The weight w = (int)(alpha * 256), clamped to 0..256 (a NaN counts as 0).
inline int WeightOf(float alpha)
{
  if (!(alpha > 0.0f)) return 0;
  if (alpha >= 1.0f) return 256;
  return static_cast<int>(alpha * 256.0f);
}

inline int Channel(DRAW_Pixel p, int shift)
{
  return static_cast<int>((p >> shift) & 0xff);
}
inline DRAW_Pixel Place(int v, int shift)
{
  return static_cast<DRAW_Pixel>(v) << shift;
}

// d + ((c - d) * w) >> 8: moves d towards c by w / 256.
inline int MixTowardColor(int d, int c, int w)
{
  return d + (((c - d) * w) >> 8);
}
inline int AddChannel(int d, int s, int w)
{
  return std::min(255, d + ((s * w) >> 8));
}
inline int DodgeChannel(int d, int s)
{
  return std::min(255, (d << 8) / (256 - s));
}
inline int DodgeMix(int d, int s, int w)
{
  return MixTowardColor(d, DodgeChannel(d, s), w);
}

// Weight of one source pixel under the source-alpha rule: ((sA + 1) * w) >> 8, and 0 when sA is 0
// so that transparent pixels leave the destination as it is.
inline int SourceAlphaWeight(DRAW_Pixel s, int w)
{
  const int sa = DRAW_GetA(s);
  return (((sa + 1) * w) >> 8) & -static_cast<int>(sa != 0);
}

inline DRAW_Pixel SaturatedAlpha(DRAW_Pixel d, int a)
{
  return Place(std::min(255, DRAW_GetA(d) + a), kDrawShiftA);
}

// Applies f(destChannel, sourceChannel) to the three colour channels.
template <class F> inline DRAW_Pixel ColorChannels(DRAW_Pixel d, DRAW_Pixel s, F f)
{
  return Place(f(Channel(d, kDrawShiftR), Channel(s, kDrawShiftR)), kDrawShiftR) |
         Place(f(Channel(d, kDrawShiftG), Channel(s, kDrawShiftG)), kDrawShiftG) |
         Place(f(Channel(d, kDrawShiftB), Channel(s, kDrawShiftB)), kDrawShiftB);
}
template <class F> inline DRAW_Pixel AllChannels(DRAW_Pixel d, DRAW_Pixel s, F f)
{
  return ColorChannels(d, s, f) | Place(f(Channel(d, kDrawShiftA), Channel(s, kDrawShiftA)), kDrawShiftA);
}

// Both copy rules, s + ((d - s) * (256 - w)) >> 8 and d + ((c - d) * w) >> 8, equal
// (s * w + d * (256 - w)) >> 8 exactly (the sum is never negative, so the shift floors alike). That
// form fits two channels in one 32-bit word: each lane stays below 65536.
inline DRAW_Pixel PackedMix(DRAW_Pixel d, DRAW_Pixel s, int ws)
{
  const uint32_t sw = static_cast<uint32_t>(ws), dw = 256u - sw;
  const uint32_t rb = (((s & 0x00ff00ffu) * sw + (d & 0x00ff00ffu) * dw) >> 8) & 0x00ff00ffu;
  const uint32_t ag = (((s >> 8) & 0x00ff00ffu) * sw + ((d >> 8) & 0x00ff00ffu) * dw) & 0xff00ff00u;
  return rb | ag;
}

constexpr DRAW_Pixel kAlphaMask = DRAW_Pixel(0xff) << kDrawShiftA;

// Pixel operations of the blits: op(dest, source) with the weight fixed at construction.
struct CopyOp
{
  int w;
  explicit CopyOp(int weight) : w(weight) {}
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel s) const { return PackedMix(d, s, w); }
};
struct CopySourceAlphaOp
{
  int w;
  explicit CopySourceAlphaOp(int weight) : w(weight) {}
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel s) const
  {
    const int a = SourceAlphaWeight(s, w);
    return (PackedMix(d, s, a) & ~kAlphaMask) | SaturatedAlpha(d, a);
  }
};
struct AddOp
{
  int w;
  explicit AddOp(int weight) : w(weight) {}
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel s) const
  {
    return AllChannels(d, s, [this](int dc, int sc) { return AddChannel(dc, sc, w); });
  }
};
struct AddSourceAlphaOp
{
  int w;
  explicit AddSourceAlphaOp(int weight) : w(weight) {}
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel s) const
  {
    const int a = SourceAlphaWeight(s, w);
    return ColorChannels(d, s, [a](int dc, int sc) { return AddChannel(dc, sc, a); }) | SaturatedAlpha(d, a);
  }
};
struct DodgeOp
{
  int w;
  explicit DodgeOp(int weight) : w(weight) {}
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel s) const
  {
    return AllChannels(d, s, [this](int dc, int sc) { return DodgeMix(dc, sc, w); });
  }
};
struct DodgeSourceAlphaOp
{
  int w;
  explicit DodgeSourceAlphaOp(int weight) : w(weight) {}
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel s) const
  {
    const int a = SourceAlphaWeight(s, w);
    return ColorChannels(d, s, [a](int dc, int sc) { return DodgeMix(dc, sc, a); }) | SaturatedAlpha(d, a);
  }
};

// Calls fn(op) with the pixel operation the mode word names.
template <class Fn> inline void WithBlitOp(int mode, int w, Fn fn)
{
  const bool sourceAlpha = (mode & kDrawModeSourceAlpha) != 0;
  switch (mode & kDrawCombineMask)
  {
  case kDrawCombineAdd:
    if (sourceAlpha)
      fn(AddSourceAlphaOp(w));
    else
      fn(AddOp(w));
    break;
  case kDrawCombineDodge:
    if (sourceAlpha)
      fn(DodgeSourceAlphaOp(w));
    else
      fn(DodgeOp(w));
    break;
  default:
    if (sourceAlpha)
      fn(CopySourceAlphaOp(w));
    else
      fn(CopyOp(w));
    break;
  }
}

// Pixel operations of fills and lines: op(dest, colour, weight), every channel alike.
struct FillCopyOp
{
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel c, int w) const { return PackedMix(d, c, w); }
};
struct FillAddOp
{
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel c, int w) const
  {
    return AllChannels(d, c, [w](int dc, int cc) { return AddChannel(dc, cc, w); });
  }
};
struct FillDodgeOp
{
  DRAW_Pixel operator()(DRAW_Pixel d, DRAW_Pixel c, int w) const
  {
    return AllChannels(d, c, [w](int dc, int cc) { return DodgeMix(dc, cc, w); });
  }
};

// Exact packed mixes of the fill fast paths; each equals MixTowardColor channel by channel.
inline DRAW_Pixel Average(DRAW_Pixel a, DRAW_Pixel b)
{
  return (a & b) + (((a ^ b) & 0xfefefefeu) >> 1);
}
inline DRAW_Pixel QuarterMix(DRAW_Pixel d, DRAW_Pixel c)
{
  return Average(d, Average(d, c));
}
inline DRAW_Pixel ThreeQuarterMix(DRAW_Pixel d, DRAW_Pixel c)
{
  return Average(c, Average(d, c));
}

} // namespace draw_blend
