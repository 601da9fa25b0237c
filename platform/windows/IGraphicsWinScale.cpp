// The editor window's size: resizing it with the scale, and the scale the display asks for.

#include "platform/windows/IGraphicsWin.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IEffectBase.h"
#include "platform/windows/WinDpi.h"

#include <windows.h>

void IGraphicsWin::Resize(int w, int h)
{
  IGraphics::Resize(w, h);
  OnScaleChanged();
}

void IGraphicsWin::OnScaleChanged()
{
  if (mDrawBitmap) mDrawBitmap->resize(PixelWidth(), PixelHeight());
  if (!mHWND) return;
  // An open entry box would stand at its old place and size: it commits as a click elsewhere would.
  if (mEntryWnd)
  {
    mEntryState = kEntryCommit;
    StepEntry();
  }
  HWND hWnd = static_cast<HWND>(mHWND);
  RECT client;
  GetClientRect(hWnd, &client);
  const int dw = PixelWidth() - (client.right - client.left),
            dh = PixelHeight() - (client.bottom - client.top);
  // Grow or shrink the child window, and its parents while they are plain child windows.
  for (HWND wnd = hWnd; wnd && (dw != 0 || dh != 0); wnd = GetParent(wnd))
  {
    RECT r;
    GetWindowRect(wnd, &r);
    SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    if (!(GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD)) break;
  }
  ::InvalidateRect(hWnd, nullptr, FALSE);
}

int IGraphicsWin::DisplayScale()
{
  return ScaleFromWindowsDpi(WindowDpi(mParentWnd));
}

void IGraphicsWin::FollowDisplay()
{
  const int scale = StartScale();
  if (scale == ScalePercent()) return;
  // A host that refuses keeps its window; the editor follows the display all the same, as the host's
  // own window did when the system scaled it.
  if (mPlug) mPlug->SizeHostWindow(ToPixelsAt(Width(), scale), ToPixelsAt(Height(), scale));
  UseScale(scale);
}
