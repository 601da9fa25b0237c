// The editor window: class registration, Open and Close, the window procedure, painting and the tick.

#include "platform/windows/IGraphicsWin.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IControl.h"
#include "framework/IEffectBase.h"
#include "platform/windows/WinDpi.h"
#include "platform/windows/WinTunables.h"

#include <windows.h>
#include <windowsx.h>

#include <commctrl.h>
#include <shellapi.h>

namespace
{
constexpr char kWindowClassName[] = "KestruneWndClass";
constexpr char kWindowName[] = "Kestrune";
// Sent to a child window after its parent's DPI changed (not in every SDK's headers).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// Open editor windows of the process and the timer period they were opened with (UI thread only).
int sWindowCount = 0;
int sTimerMs = 0;

// The module this code is linked into (the plug-in DLL, or a test program).
HINSTANCE ThisModule()
{
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

LRESULT CALLBACK EditorWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (msg == WM_CREATE)
  {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    graphics = static_cast<IGraphicsWin*>(create->lpCreateParams);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
  }
  if (!graphics) return DefWindowProcA(hWnd, msg, wParam, lParam);
  return graphics->HandleMessage(hWnd, msg, wParam, lParam);
}

// Modifiers of a mouse message: buttons, Shift and Control from its key-state flags, Alt from the
// keyboard state.
IMouseMod MouseMod(WPARAM wParam, bool right = false)
{
  return IMouseMod((wParam & MK_LBUTTON) != 0, right || (wParam & MK_RBUTTON) != 0, (wParam & MK_SHIFT) != 0,
                   (wParam & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

// The key code of a virtual key (space 0, arrows 1-4, digits 6-15, letters 16-41), or -1.
int KeyCode(WPARAM key)
{
  switch (key)
  {
  case VK_SPACE:
    return 0;
  case VK_UP:
    return 1;
  case VK_DOWN:
    return 2;
  case VK_LEFT:
    return 3;
  case VK_RIGHT:
    return 4;
  default:
    break;
  }
  if (key >= '0' && key <= '9') return 6 + static_cast<int>(key - '0');
  if (key >= 'A' && key <= 'Z') return 16 + static_cast<int>(key - 'A');
  if (key >= 'a' && key <= 'z') return 16 + static_cast<int>(key - 'a');
  return -1;
}
} // namespace

IGraphicsWin::IGraphicsWin(IEffectBase* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps), mHInstance(ThisModule())
{
}

IGraphicsWin::~IGraphicsWin()
{
  // The plug-in base deletes its graphics context while it is being destroyed: a pending delayed
  // notification can no longer be sent, so the window closes without it.
  CancelParamChangeTimer();
  Close();
}

int IGraphicsWin::OpenWindowCount()
{
  return sWindowCount;
}

void* IGraphicsWin::Open(void* parent)
{
  HWND parentWnd = static_cast<HWND>(parent);
  if (mHWND)
  {
    // Reopening keeps the window where it was within its parent.
    RECT r;
    GetWindowRect(static_cast<HWND>(mHWND), &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(static_cast<HWND>(mHWND)), reinterpret_cast<POINT*>(&r), 2);
    mKeepX = r.left;
    mKeepY = r.top;
    mKeepPlacement = true;
    Close();
  }
  mParentWnd = parent;
  // The size was chosen before there was a parent (at the system's DPI): the parent's may differ.
  FollowDisplay();
  HINSTANCE instance = static_cast<HINSTANCE>(mHInstance);
  if (sWindowCount++ == 0)
  {
    // A class left registered by a window the host destroyed (a class cannot be unregistered while
    // its last window is being destroyed) is replaced.
    UnregisterClassA(kWindowClassName, instance);
    sTimerMs = 1000 / FPS();
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = EditorWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClassName;
    RegisterClassA(&wc);
  }
  mRegistered = true;
  PrepDraw();
  const int x = mKeepPlacement ? mKeepX : 0, y = mKeepPlacement ? mKeepY : 0;
  HWND hWnd = nullptr;
  {
    PerMonitorDpiScope perMonitor;
    hWnd = CreateWindowA(kWindowClassName, kWindowName, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                         PixelWidth(), PixelHeight(), parentWnd, nullptr, instance, this);
  }
  if (!hWnd)
  {
    mRegistered = false;
    if (--sWindowCount == 0) UnregisterClassA(kWindowClassName, instance);
    return nullptr;
  }
  mHWND = hWnd;
  mPlatformView = hWnd;

  if (TooltipsEnabled())
  {
    INITCOMMONCONTROLSEX icc = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr, instance, nullptr);
    if (tip)
    {
      TOOLINFOA ti = {};
      ti.cbSize = sizeof(ti);
      ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
      ti.hwnd = hWnd;
      ti.uId = reinterpret_cast<UINT_PTR>(hWnd);
      ti.lpszText = const_cast<char*>("");
      SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
      SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidthPx);
      mTooltipWnd = tip;
    }
    else
      EnableTooltips(false);
  }
  return hWnd;
}

void IGraphicsWin::Close()
{
  if (!mHWND && !mRegistered) return;
  HWND hWnd = static_cast<HWND>(mHWND);
  if (mTooltipWnd) DestroyWindow(static_cast<HWND>(mTooltipWnd));
  mTooltipWnd = nullptr;
  if (hWnd)
  {
    // Detached first: the destroy messages then find no graphics context.
    ReleaseEntryWindow();
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    KillTimer(hWnd, kTimerId);
    DestroyWindow(hWnd);
  }
  // With the window gone the class can be unregistered when this was the last one.
  ForgetWindow();
}

void IGraphicsWin::ReleaseEntryWindow()
{
  if (mEntryWnd && mEntryPrevProc)
    SetWindowLongPtrA(static_cast<HWND>(mEntryWnd), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mEntryPrevProc));
  mEntryPrevProc = nullptr;
}

void IGraphicsWin::ForgetWindow()
{
  if (mTooltipWnd) DestroyWindow(static_cast<HWND>(mTooltipWnd));
  mTooltipWnd = nullptr;
  mTooltipIdx = -1;
  if (mParamChangeTicks > 0 && mPlug) mPlug->EndDelayedInformHostOfParamChange();
  CancelParamChangeTimer();
  // The entry window is a child of the editor window and goes with it.
  mEntryWnd = nullptr;
  mEntryPrevProc = nullptr;
  mEntryState = kEntryIdle;
  mEditControl = nullptr;
  mEditParam = nullptr;
  if (mEntryFont) DeleteObject(static_cast<HGDIOBJ>(mEntryFont));
  mEntryFont = nullptr;
  mHWND = nullptr;
  mPlatformView = nullptr;
  ClearMouse();
  DropPostedMessages();
  if (mRegistered)
  {
    mRegistered = false;
    if (--sWindowCount == 0) UnregisterClassA(kWindowClassName, static_cast<HINSTANCE>(mHInstance));
  }
}

bool IGraphicsWin::PaintScreen(IRECT* area)
{
  if (!mHWND || !mDrawBitmap || !area) return false;
  HDC src = static_cast<HDC>(mDrawBitmap->getDC());
  if (!src) return false;
  HWND hWnd = static_cast<HWND>(mHWND);
  HDC dest = mPaintDC ? static_cast<HDC>(mPaintDC) : GetDC(hWnd);
  if (!dest) return false;
  const IRECT p = ToPixels(*area);
  const BOOL ok = BitBlt(dest, p.L, p.T, p.W(), p.H(), src, p.L, p.T, SRCCOPY);
  if (!mPaintDC) ReleaseDC(hWnd, dest);
  return ok != FALSE;
}

void IGraphicsWin::InvalidateRect(const IRECT& r)
{
  if (!mHWND) return;
  const IRECT p = ToPixels(r);
  RECT rect = {p.L, p.T, p.R, p.B};
  ::InvalidateRect(static_cast<HWND>(mHWND), &rect, FALSE);
}

void IGraphicsWin::Tick()
{
  StepEntry();
  OnTimerTick();
  // Last: a message box runs its own message loop, which delivers the next ticks meanwhile.
  ShowPostedMessages();
}

void IGraphicsWin::MouseDown(void* hWnd, int x, int y, IMouseMod* mod)
{
  ShowTooltip(false);
  SetCapture(static_cast<HWND>(hWnd));
  OnMouseDown(x, y, mod);
}

void IGraphicsWin::ShowTooltip(bool show)
{
  if (!mTooltipWnd || !mHWND) return;
  HWND tip = static_cast<HWND>(mTooltipWnd);
  TOOLINFOA ti = {};
  ti.cbSize = sizeof(ti);
  ti.hwnd = static_cast<HWND>(mHWND);
  ti.uId = reinterpret_cast<UINT_PTR>(mHWND);
  IControl* control = GetControl(mTooltipIdx);
  const char* text = control ? control->GetTooltip() : nullptr;
  if (!show || !text)
  {
    SendMessageA(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    return;
  }
  mTooltipText = text;
  ti.lpszText = mTooltipText.data();
  SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  POINT p;
  GetCursorPos(&p);
  SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(p.x + kTooltipOffsetPx, p.y + kTooltipOffsetPx));
  SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

intptr_t IGraphicsWin::HandleMessage(void* window, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
  HWND hWnd = static_cast<HWND>(window);
  // Client positions of mouse messages, in layout units.
  const int x = ToUnits(GET_X_LPARAM(lParam)), y = ToUnits(GET_Y_LPARAM(lParam));
  switch (msg)
  {
  case WM_CREATE:
    SetTimer(hWnd, kTimerId, static_cast<UINT>(sTimerMs), nullptr);
    if (AcceptsDrops()) DragAcceptFiles(hWnd, TRUE);
    return 0;
  case WM_PAINT:
  {
    RECT r;
    const bool any = GetUpdateRect(hWnd, &r, FALSE) != FALSE;
    PAINTSTRUCT ps;
    mPaintDC = BeginPaint(hWnd, &ps);
    if (any)
    {
      IRECT area(ToUnits(r.left), ToUnits(r.top), ToUnits(r.right - 1) + 1, ToUnits(r.bottom - 1) + 1);
      Draw(&area);
    }
    EndPaint(hWnd, &ps);
    mPaintDC = nullptr;
    return 0;
  }
  case WM_TIMER:
    if (wParam == kTimerId)
    {
      Tick();
      return 0;
    }
    break;
  case WM_LBUTTONDOWN:
  {
    if (mEntryWnd) mEntryState = kEntryCommit; // a click elsewhere commits on the next tick
    IMouseMod mod = MouseMod(wParam);
    MouseDown(hWnd, x, y, &mod);
    return 0;
  }
  case WM_RBUTTONDOWN:
  {
    if (mEntryWnd)
    {
      mEntryState = kEntryCancel;
      if (!mEditParam) ApplyPromptText(mEditControl, nullptr, "");
      return 0;
    }
    IMouseMod mod = MouseMod(wParam, true);
    MouseDown(hWnd, x, y, &mod);
    return 0;
  }
  case WM_LBUTTONDBLCLK:
  {
    IMouseMod mod = MouseMod(wParam);
    if (OnMouseDblClick(x, y, &mod)) SetCapture(hWnd);
    return 0;
  }
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  {
    ReleaseCapture();
    IMouseMod mod = MouseMod(wParam, msg == WM_RBUTTONUP);
    OnMouseUp(x, y, &mod);
    return 0;
  }
  case WM_MOUSEMOVE:
  {
    IMouseMod mod = MouseMod(wParam);
    if (wParam & (MK_LBUTTON | MK_RBUTTON))
    {
      if (GetCapture() == hWnd) OnMouseDrag(x, y, &mod);
    }
    else if (OnMouseOver(x, y, &mod) && TooltipsEnabled())
    {
      const int over = ControlAt(x, y);
      if (over != mTooltipIdx)
      {
        ShowTooltip(false);
        mTooltipIdx = over;
      }
      TRACKMOUSEEVENT tme = {sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, hWnd, HOVER_DEFAULT};
      TrackMouseEvent(&tme);
    }
    return 0;
  }
  case WM_MOUSEHOVER:
    mTooltipIdx = ControlAt(x, y);
    ShowTooltip(true);
    return 0;
  case WM_MOUSELEAVE:
    ShowTooltip(false);
    OnMouseOut();
    return 0;
  case WM_MOUSEWHEEL:
  {
    RECT r;
    GetWindowRect(hWnd, &r);
    IMouseMod mod = MouseMod(GET_KEYSTATE_WPARAM(wParam));
    const int d = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    // A wheel message carries screen pixels; less than a notch moves nothing.
    if (d != 0)
      OnMouseWheel(ToUnits(GET_X_LPARAM(lParam) - r.left), ToUnits(GET_Y_LPARAM(lParam) - r.top), &mod, d);

    return 0;
  }
  case WM_DROPFILES:
  {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    char path[MAX_PATH] = {};
    POINT p = {};
    if (DragQueryFileA(drop, 0, path, MAX_PATH) > 0 && DragQueryPoint(drop, &p))
      OnDrop(ToUnits(p.x), ToUnits(p.y), path);
    DragFinish(drop);
    return 0;
  }
  case WM_KEYDOWN:
  {
    const int key = KeyCode(wParam);
    if (key < 0) break;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hWnd, &p);
    OnKeyPress(ToUnits(p.x), ToUnits(p.y), key);
    return 0;
  }
  case WM_COMMAND:
    // A choice in the drop-down list commits it.
    if (mEntryWnd && reinterpret_cast<HWND>(lParam) == static_cast<HWND>(mEntryWnd) &&
        HIWORD(wParam) == CBN_SELCHANGE)
      mEntryState = kEntryCommit;
    return 0;
  case kDpiChangedAfterParent:
    FollowDisplay();
    return 0;
  case WM_MOUSEACTIVATE:
    return MA_ACTIVATE;
  case WM_CLOSE:
    Close();
    return 0;
  case WM_DESTROY:
    // The host destroyed its window (and ours with it) without closing the editor. The entry window,
    // a child of ours, is destroyed after this message.
    ReleaseEntryWindow();
    KillTimer(hWnd, kTimerId);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    ForgetWindow();
    return 0;
  default:
    break;
  }
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}
