// The macOS graphics context: Open and Close, painting, invalidation, resizing, cursors, tooltips and
// the prompts, which the view carries out.

#include "platform/mac/IGraphicsMac.h"

#import "platform/mac/KestruneView.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IControl.h"
#include "framework/IEffectBase.h"

namespace
{
CLS_Kestrune* ViewOf(void* view)
{
  return static_cast<CLS_Kestrune*>(view);
}
} // namespace

IGraphicsMac::IGraphicsMac(IEffectBase* plug, int width, int height, int fps) : IGraphics(plug, width, height, fps)
{
  KestruneLoadApplicationKit();
  mBacking = KestruneBackingScale(nil);
}

IGraphicsMac::~IGraphicsMac()
{
  // The plug-in base deletes its graphics context while it is being destroyed: a pending delayed
  // notification can no longer be sent, so the view closes without it.
  CancelParamChangeTimer();
  Close();
}

void* IGraphicsMac::Open(void* parent)
{
  Close();
  PrepDraw();
  CLS_Kestrune* view = [[CLS_Kestrune alloc] initWithIGraphics:this];
  if (!view) return nullptr;
  mView = view;
  mPlatformView = view;
  if (parent) [static_cast<NSView*>(parent) addSubview:view];
  RefreshTooltips();
  return view;
}

void IGraphicsMac::Close()
{
  CloseView(true);
}

void IGraphicsMac::ViewRemoved()
{
  CloseView(false);
}

void IGraphicsMac::CloseView(bool removeFromSuperview)
{
  CLS_Kestrune* view = ViewOf(mView);
  if (!view) return;
  [view removeAllToolTips];
  if (mParamChangeTicks > 0 && mPlug) mPlug->EndDelayedInformHostOfParamChange();
  CancelParamChangeTimer();
  [view killTimer];
  mView = nullptr;
  mPlatformView = nullptr;
  ClearMouse();
  DropPostedMessages();
  [view detachGraphics];
  if (removeFromSuperview) [view removeFromSuperview];
  // Let go after the current event: this may run inside one of the view's own methods.
  [view autorelease];
}

bool IGraphicsMac::TextEntryOpen() const
{
  return mView && [ViewOf(mView) isEditing];
}

bool IGraphicsMac::PaintScreen(IRECT*)
{
  if (!mView || !mDrawBitmap) return false;
  CGContextRef screen = [[NSGraphicsContext currentContext] CGContext];
  CGContextRef back = static_cast<CGContextRef>(mDrawBitmap->getDC());
  if (!screen || !back) return false;
  CGImageRef image = CGBitmapContextCreateImage(back);
  if (!image) return false;
  // The whole back buffer every time; AppKit clips to the area being displayed. Its pixels cover
  // pixels / backing points: one device pixel each, so nothing is resampled.
  const CGRect where = {{0, 0},
                        {static_cast<CGFloat>(mDrawBitmap->getWidth() / mBacking),
                         static_cast<CGFloat>(mDrawBitmap->getHeight() / mBacking)}};
  CGContextDrawImage(screen, where, image);
  CGImageRelease(image);
  return true;
}

void IGraphicsMac::InvalidateRect(const IRECT& r)
{
  if (!mView) return;
  [ViewOf(mView) setNeedsDisplayInRect:KestruneViewRect(ViewScale().ToView(r))];
}

void IGraphicsMac::Resize(int w, int h)
{
  IGraphics::Resize(w, h);
  OnScaleChanged();
}

int IGraphicsMac::DisplayScale()
{
  return NearestEditorScale(KestruneBackingScale(ViewOf(mView)));
}

int IGraphicsMac::ToWindowSize(int pixels) const
{
  return ViewScale().Points(pixels);
}

void IGraphicsMac::EditorRectQueried()
{
  if (!mView) mBacking = KestruneBackingScale(nil);
  IGraphics::EditorRectQueried();
}

void IGraphicsMac::OnScaleChanged()
{
  if (mDrawBitmap) mDrawBitmap->resize(PixelWidth(), PixelHeight());
  if (mPlug) mPlug->ResizeGraphics(0, 0);
  CLS_Kestrune* view = ViewOf(mView);
  if (!view) return;
  // An open entry would stand at its old place and size.
  [view endUserInput];
  [view setFrameSize:NSMakeSize(WindowWidth(), WindowHeight())];
  RefreshTooltips();
  [view setNeedsDisplay:YES];
}

void IGraphicsMac::FollowBackingScale()
{
  CLS_Kestrune* view = ViewOf(mView);
  if (!view || ![view window]) return;
  const double backing = KestruneBackingScale(view);
  // AppKit also reports other changes of the backing store (its colour space): nothing to follow.
  if (backing == mBacking) return;
  const int scale = StartScale();
  const int oldWidth = WindowWidth(), oldHeight = WindowHeight();
  mBacking = backing;
  if (scale != ScalePercent())
    UseScale(scale); // the host's rectangle and the view follow (OnScaleChanged)
  else
    OnScaleChanged();
  if (mPlug && (WindowWidth() != oldWidth || WindowHeight() != oldHeight))
    mPlug->SizeHostWindow(WindowWidth(), WindowHeight());
}

void IGraphicsMac::PromptUserInput(IControl* control, IParam* param, bool centre)
{
  if (mView) [ViewOf(mView) promptUserInput:control param:param center:centre ? YES : NO];
}

void IGraphicsMac::PromptUserInput(IEditableTextControl* control)
{
  if (mView) [ViewOf(mView) promptUserInput:control];
}

void IGraphicsMac::RefreshTooltips()
{
  CLS_Kestrune* view = ViewOf(mView);
  if (!view) return;
  [view removeAllToolTips];
  if (!TooltipsEnabled()) return;
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = GetControl(i);
    const IRECT& r = control->GetTargetRECT();
    if (control->GetTooltip() && !control->IsHidden() && !r.Empty() && r.W() > 0 && r.H() > 0)
      [view registerToolTip:i rect:&r];
  }
}

void IGraphicsMac::SetCursor(int cursorId)
{
  NSCursor* cursor = nil;
  switch (cursorId)
  {
  case kCursorSizeWE:
    cursor = [NSCursor resizeLeftRightCursor];
    break;
  case kCursorSizeNS:
    cursor = [NSCursor resizeUpDownCursor];
    break;
  case kCursorArrow:
    cursor = [NSCursor arrowCursor];
    break;
  case kCursorHand:
    cursor = [NSCursor openHandCursor];
    break;
  case kCursorUpArrow:
    cursor = [NSCursor resizeUpCursor];
    break;
  case kCursorIBeam:
    cursor = [NSCursor IBeamCursor];
    break;
  default:
    return; // unknown ids set nothing
  }
  if (cursorId == mCursorId) return;
  mCursorId = cursorId;
  [cursor set];
}
