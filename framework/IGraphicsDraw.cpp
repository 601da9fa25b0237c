// Drawing into the back buffer, the dirty collection and the two draw passes.

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Pixel.h"
#include "drawing/DRAW_Raster.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/EditorPicture.h"
#include "framework/IControl.h"
#include "framework/IGraphics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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
  DRAW_IBitmap* pixels = BitmapAtScale(bitmap);
  if (!pixels) return true;
  // Clipped in pixels, so the clipped part starts where the unclipped image would have it.
  const IRECT d = ToPixels(*dest);
  const IRECT r = d.Intersect(mDrawRectPixels);
  if (r.Empty()) return true;
  const int x = ToPixels(srcX) + r.L - d.L;
  const int y = ToPixels(srcY) + r.T - d.T;
  DRAW_Blit(mDrawBitmap.get(), pixels, r.L, r.T, x, y, r.W(), r.H(), WeightOf(blend), ModeOf(blend));
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
  DRAW_IBitmap* pixels = BitmapAtScale(bitmap);
  if (!pixels) return true;
  DRAW_Blit(mDrawBitmap.get(), pixels, ToPixels(x), ToPixels(y), 0, 0, pixels->getWidth(),
            pixels->getHeight(), WeightOf(blend), ModeOf(blend));
  return true;
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int cx, int cy, double angle, const IChannelBlend* blend)
{
  if (!bitmap || !bitmap->mData || !mDrawBitmap) return true;
  DRAW_IBitmap* pixels = BitmapAtScale(bitmap);
  if (!pixels) return true;
  const int w = pixels->getWidth(), h = pixels->getHeight();
  const int x = ToPixels(cx) - w / 2, y = ToPixels(cy) - h / 2;
  const int mode = ModeOf(blend);
  // A blend by the source's alpha leaves the pixels the turned image does not reach as they are, so
  // the turned picture, transparent there, can be made once per angle and blended like any image.
  if (mode & kDrawModeSourceAlpha)
    if (const DRAW_IBitmap* turned = TurnedPicture(pixels, x, y, angle))
    {
      DRAW_Blit(mDrawBitmap.get(), turned, x, y, 0, 0, w, h, WeightOf(blend), mode);
      return true;
    }
  // Clipped to the image's own square so the drawing stays inside the control that asked for it.
  DRAW_RotatedBlit(mDrawBitmap.get(), pixels, x, y, w, h, 0, 0, w, h, angle, true, WeightOf(blend),
                   mode | kDrawModeBilinear, 0, 0);
  return true;
}

const DRAW_IBitmap* IGraphics::TurnedPicture(const DRAW_IBitmap* source, int x, int y, double angle)
{
  const int w = source->getWidth(), h = source->getHeight();
  TurnedImage* entry = nullptr;
  for (TurnedImage& known : mTurnedImages)
    if (known.mSource == source && known.mX == x && known.mY == y)
    {
      if (known.mAngle == angle) return known.mPixels.get();
      entry = &known;
    }
  if (!entry)
  {
    auto picture = std::make_unique<DRAW_MemBitmap>(w, h, 4);
    if (picture->getWidth() != w || picture->getHeight() != h) return nullptr;
    mTurnedImages.push_back({source, x, y, angle, std::move(picture)});
    entry = &mTurnedImages.back();
  }
  entry->mAngle = angle;
  DRAW_IBitmap* picture = entry->mPixels.get();
  DRAW_FillRect(picture, 0, 0, w, h, DRAW_MakePixel(0, 0, 0, 0), 1.0f, kDrawCombineCopy);
  DRAW_RotatedBlit(picture, source, 0, 0, w, h, 0, 0, w, h, angle, true, 1.0f,
                   kDrawCombineCopy | kDrawModeBilinear, 0, 0);
  return picture;
}

bool IGraphics::FillRect(const IColor* color, const IRECT* r, const IChannelBlend* blend)
{
  if (!color || !r || !mDrawBitmap) return true;
  // Clipped to the pass's area: a translucent fill repeated over pixels outside it, which nothing
  // below has redrawn, would darken them at every pass.
  IRECT c = ToPixels(*r).Intersect(mDrawRectPixels);
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
  const int ux1 = static_cast<int>(x1), uy1 = static_cast<int>(y1);
  const int ux2 = static_cast<int>(x2), uy2 = static_cast<int>(y2);
  const int px1 = ToPixels(ux1), py1 = ToPixels(uy1), px2 = ToPixels(ux2), py2 = ToPixels(uy2);
  // As wide as the unit the line runs through: parallel pixel lines across its thinner direction.
  const bool steep = std::abs(uy2 - uy1) > std::abs(ux2 - ux1);
  const int across = steep ? ToPixels(std::min(ux1, ux2)) : ToPixels(std::min(uy1, uy2));
  const int width =
      steep ? ToPixels(std::min(ux1, ux2) + 1) - across : ToPixels(std::min(uy1, uy2) + 1) - across;
  for (int k = 0; k < std::max(width, 1); ++k)
    DRAW_Line(mDrawBitmap.get(), px1 + (steep ? k : 0), py1 + (steep ? 0 : k), px2 + (steep ? k : 0),
              py2 + (steep ? 0 : k), Pack(color), static_cast<float>(color->A) / 255.0f, ModeOf(blend),
              antiAlias);
  return true;
}

bool IGraphics::DrawPixelLine(const IColor* color, int x1, int y1, int x2, int y2, const IChannelBlend* blend)
{
  if (!color || !mDrawBitmap) return true;
  DRAW_Line(mDrawBitmap.get(), x1, y1, x2, y2, Pack(color), static_cast<float>(color->A) / 255.0f,
            ModeOf(blend), false);
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
    SetDrawRect(*area);
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
      SetDrawRect(background->GetRECT());
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
        SetDrawRect(dirty->GetRECT());
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

bool IGraphics::DrawPicture(int ticks, int scale, uint32_t* pixels, int width, int height)
{
  if (scale == 0) scale = mScale;
  if (!pixels || !IsEditorScale(scale) || width != ToPixelsAt(mWidth, scale) ||
      height != ToPixelsAt(mHeight, scale) || width <= 0 || height <= 0 || ticks < 0 ||
      ticks > kEditorPictureMaxTicks)
    return false;
  std::unique_lock<std::recursive_mutex> backBuffer = LockBackBuffer();
  PrepDraw();
  // Another size than the editor's is drawn in the same back buffer, which then returns to the
  // editor's size with every control to be redrawn.
  const int editorScale = mScale;
  SetDrawScale(scale);
  // The same passes a window makes: everything once, then per tick what the tick invalidated. The
  // copy is what a window shows: blended images leave alpha below 255 in the back buffer, which the
  // screen ignores, so the picture is opaque.
  DrawControls(IRECT(0, 0, mWidth, mHeight));
  for (int i = 0; i < ticks; ++i)
  {
    const IRECT area = AdvanceTimer();
    if (!area.Empty()) DrawControls(area);
  }
  for (int y = 0; y < height; ++y)
  {
    const DRAW_Pixel* row = mDrawBitmap->Row(y);
    uint32_t* out = pixels + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x)
      out[x] = 0xFF000000u | static_cast<uint32_t>(DRAW_GetR(row[x])) << 16 |
               static_cast<uint32_t>(DRAW_GetG(row[x])) << 8 | static_cast<uint32_t>(DRAW_GetB(row[x]));
  }
  SetDrawScale(editorScale);
  // These passes took the controls' redraw requests: an open window must show the result itself.
  if (IsOpen()) InvalidateRect(IRECT(0, 0, mWidth, mHeight));
  return true;
}

void IGraphics::SetDrawRect(const IRECT& r)
{
  mDrawRect = r;
  mDrawRectPixels = ToPixels(r);
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
