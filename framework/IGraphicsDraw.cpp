// Drawing into the back buffer, the dirty collection and the two draw passes.

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Pixel.h"
#include "drawing/DRAW_Raster.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/EditorPicture.h"
#include "framework/IControl.h"
#include "framework/IGraphics.h"

#include <cstdio>

namespace
{
// Outline colour of the control bounds shown while debugging a layout.
const IColor kBoundsColor(255, 255, 0, 255);
constexpr int kBoundsTextWidthPixels = 150;
constexpr int kBoundsTextHeightPixels = 20;

DRAW_Pixel Pack(const IColor* c)
{
  return DRAW_MakePixel(c->R, c->G, c->B, c->A);
}

// The drawing layer's mode word for a blend; no blend is a copy using the source alpha.
int ModeOf(const IChannelBlend* blend)
{
  if (!blend) return kDrawCombineCopy | kDrawModeSourceAlpha;
  switch (blend->mMethod)
  {
  case IChannelBlend::kBlendClobber:
    return kDrawCombineCopy;
  case IChannelBlend::kBlendAdd:
    return kDrawCombineAdd | kDrawModeSourceAlpha;
  case IChannelBlend::kBlendColorDodge:
    return kDrawCombineDodge | kDrawModeSourceAlpha;
  default:
    return kDrawCombineCopy | kDrawModeSourceAlpha;
  }
}

float WeightOf(const IChannelBlend* blend)
{
  return blend ? blend->mWeight : 1.0f;
}

// round(x) as the frame offsets need it: add one half and truncate.
int RoundHalfUp(double x)
{
  return static_cast<int>(x + 0.5);
}
} // namespace

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend)
{
  if (!bitmap || !bitmap->mData || !dest || !mDrawBitmap) return true;
  IRECT r = dest->Intersect(mDrawRect);
  if (r.Empty()) return true;
  srcX += r.L - dest->L;
  srcY += r.T - dest->T;
  DRAW_Blit(mDrawBitmap.get(), bitmap->mData, r.L, r.T, srcX, srcY, r.W(), r.H(), WeightOf(blend),
            ModeOf(blend));
  return true;
}

bool IGraphics::DrawBitmapFrame(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend,
                                bool sideBySide)
{
  if (!bitmap) return true;
  int srcX = 0, srcY = 0;
  if (bitmap->N > 1 && frame > 1)
  {
    if (sideBySide)
      srcX = RoundHalfUp(static_cast<double>(frame - 1) * bitmap->W / bitmap->N);
    else
      srcY = RoundHalfUp(static_cast<double>(frame - 1) * bitmap->H / bitmap->N);
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawBitmapAt(IBitmap* bitmap, int x, int y, const IChannelBlend* blend)
{
  if (!bitmap || !bitmap->mData || !mDrawBitmap) return true;
  DRAW_Blit(mDrawBitmap.get(), bitmap->mData, x, y, 0, 0, bitmap->W, bitmap->H, WeightOf(blend),
            ModeOf(blend));
  return true;
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int cx, int cy, double angle, const IChannelBlend* blend)
{
  if (!bitmap || !bitmap->mData || !mDrawBitmap) return true;
  int w = bitmap->W, h = bitmap->H;
  // Clipped to the image's own square so the drawing stays inside the control that asked for it.
  DRAW_RotatedBlit(mDrawBitmap.get(), bitmap->mData, cx - w / 2, cy - h / 2, w, h, 0, 0, w, h, angle, true,
                   WeightOf(blend), ModeOf(blend) | kDrawModeBilinear, 0, 0);
  return true;
}

bool IGraphics::FillRect(const IColor* color, const IRECT* r, const IChannelBlend* blend)
{
  if (!color || !r || !mDrawBitmap) return true;
  // Clipped to the pass's area: a translucent fill repeated over pixels outside it, which nothing
  // below has redrawn, would darken them at every pass.
  IRECT c = r->Intersect(mDrawRect);
  if (c.Empty()) return true;
  DRAW_FillRect(mDrawBitmap.get(), c.L, c.T, c.W(), c.H(), Pack(color), WeightOf(blend), ModeOf(blend));
  return true;
}

bool IGraphics::DrawRect(const IColor* color, const IRECT* r)
{
  if (!color || !r) return true;
  // The outline runs along the rectangle's outermost pixels.
  float l = static_cast<float>(r->L), t = static_cast<float>(r->T);
  float rr = static_cast<float>(r->R - 1), b = static_cast<float>(r->B - 1);
  DrawLine(color, l, t, rr, t);
  DrawLine(color, rr, t, rr, b);
  DrawLine(color, rr, b, l, b);
  DrawLine(color, l, b, l, t);
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                         const IChannelBlend* blend, bool antiAlias)
{
  if (!color || !mDrawBitmap) return true;
  DRAW_Line(mDrawBitmap.get(), static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
            static_cast<int>(y2), Pack(color), static_cast<float>(color->A) / 255.0f, ModeOf(blend),
            antiAlias);
  return true;
}

bool IGraphics::IsDirty(IRECT* out)
{
  if (mShowBounds)
  {
    if (out) *out = mDrawRect;
    return true;
  }
  bool dirty = false;
  IRECT area = out ? *out : IRECT();
  for (auto& control : mControls)
  {
    if (control->IsDirty())
    {
      area = area.Union(control->GetRECT());
      dirty = true;
    }
  }
  if (out) *out = area;
  return dirty;
}

bool IGraphics::Draw(IRECT* area)
{
  if (!area) return true;
  DrawControls(*area);
  return PaintScreen(area);
}

void IGraphics::DrawControls(const IRECT& areaIn)
{
  if (mControls.empty()) return;
  const IRECT* area = &areaIn;
  if (mStrictDraw)
  {
    mDrawRect = *area;
    for (auto& control : mControls)
      if (!control->IsHidden() && area->Intersects(control->GetRECT())) control->Draw(this);
    for (auto& control : mControls)
      control->SetClean();
  }
  else
  {
    IControl* background = mControls[0].get();
    if (background->IsDirty())
    {
      mDrawRect = background->GetRECT();
      for (size_t i = 0; i < mControls.size(); ++i)
      {
        IControl* control = mControls[i].get();
        if (i == 0 || !control->IsHidden())
        {
          control->Draw(this);
          control->SetClean();
        }
      }
    }
    else
    {
      for (size_t i = 1; i < mControls.size(); ++i)
      {
        IControl* dirty = mControls[i].get();
        if (!dirty->IsDirty()) continue;
        mDrawRect = dirty->GetRECT();
        for (size_t j = 0; j < mControls.size(); ++j)
        {
          IControl* control = mControls[j].get();
          if (!control->IsHidden() && (j == i || mDrawRect.Intersects(control->GetRECT())))
            control->Draw(this);
        }
        dirty->SetClean();
      }
    }
  }
  if (mShowBounds) DrawControlBounds();
}

bool IGraphics::DrawPicture(int ticks, uint32_t* pixels, int width, int height)
{
  if (!pixels || width != mWidth || height != mHeight || width <= 0 || height <= 0 || ticks < 0 ||
      ticks > kEditorPictureMaxTicks)
    return false;
  std::unique_lock<std::recursive_mutex> backBuffer = LockBackBuffer();
  PrepDraw();
  // The same passes a window makes: everything once, then per tick what the tick invalidated. The
  // copy is what a window shows: blended images leave alpha below 255 in the back buffer, which the
  // screen ignores, so the picture is opaque.
  DrawControls(IRECT(0, 0, mWidth, mHeight));
  for (int i = 0; i < ticks; ++i)
  {
    const IRECT area = AdvanceTimer();
    if (!area.Empty()) DrawControls(area);
  }
  // These passes took the controls' redraw requests: an open window must show the result itself.
  if (IsOpen()) InvalidateRect(IRECT(0, 0, mWidth, mHeight));
  for (int y = 0; y < height; ++y)
  {
    const DRAW_Pixel* row = mDrawBitmap->Row(y);
    uint32_t* out = pixels + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x)
      out[x] = 0xFF000000u | static_cast<uint32_t>(DRAW_GetR(row[x])) << 16 |
               static_cast<uint32_t>(DRAW_GetG(row[x])) << 8 | static_cast<uint32_t>(DRAW_GetB(row[x]));
  }
  return true;
}

void IGraphics::DrawControlBounds()
{
  for (size_t i = 1; i < mControls.size(); ++i)
    DrawRect(&kBoundsColor, &mControls[i]->GetRECT());
  char text[64];
  std::snprintf(text, sizeof(text), "x: %i, y: %i", mMouseX, mMouseY);
  IText style(18, kBoundsColor, "Arial", IText::kStyleNormal, IText::kAlignCenter);
  IRECT r(mWidth - kBoundsTextWidthPixels, mHeight - kBoundsTextHeightPixels, mWidth, mHeight);
  DrawText(&style, text, &r);
}
