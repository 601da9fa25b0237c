// Text entry over a control: an EDIT box or a drop-down COMBOBOX, its subclassing procedure and the
// state machine the timer steps.

#include "platform/windows/IGraphicsWin.h"

#include "framework/IControl.h"
#include "framework/IEditableTextControl.h"
#include "framework/IParam.h"
#include "platform/windows/WinTunables.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace
{
LRESULT CALLBACK EntryWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  // The entry is a child of the editor window, whose user data is the graphics context.
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(hWnd), GWLP_USERDATA));
  if (!graphics) return DefWindowProcA(hWnd, msg, wParam, lParam);
  return graphics->HandleEntryMessage(hWnd, msg, wParam, lParam);
}

HFONT MakeFont(const char* face, int height, bool bold, bool italic)
{
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}
} // namespace

bool IGraphicsWin::OpenEntry(const char* className, unsigned long style, const char* text, int x, int y,
                             int w, int h, IControl* control, IParam* param, void* font)
{
  // Placed in layout units, made in the window's pixels.
  const int px = ToPixels(x), py = ToPixels(y);
  HWND entry = CreateWindowA(className, "", WS_CHILD | WS_VISIBLE | style, px, py, ToPixels(x + w) - px,
                             ToPixels(y + h) - py, static_cast<HWND>(mHWND), nullptr,
                             static_cast<HINSTANCE>(mHInstance), nullptr);
  if (!entry)
  {
    if (font) DeleteObject(static_cast<HGDIOBJ>(font));
    return false;
  }
  if (mEntryFont) DeleteObject(static_cast<HGDIOBJ>(mEntryFont));
  mEntryFont = font;
  if (font) SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  mEntryWnd = entry;
  mEditControl = control;
  mEditParam = param;
  mEntryState = kEntryIdle;
  if (std::strcmp(className, "EDIT") == 0)
  {
    SetWindowTextA(entry, text);
    SendMessageA(entry, EM_SETSEL, 0, -1);
  }
  mEntryPrevProc = reinterpret_cast<void*>(
      SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EntryWndProc)));
  SetFocus(entry);
  return true;
}

void IGraphicsWin::PromptUserInput(IControl* control, IParam* param, bool centre)
{
  if (!control || !param || mEntryWnd || !mHWND) return;
  char current[MAX_PARAM_NAME_LEN] = {};
  param->GetDisplayForHost(current, sizeof(current));
  const IRECT& r = control->GetRECT();
  const int cx = (r.L + r.R) / 2, cy = (r.T + r.B) / 2;
  const int n = param->GetNDisplayTexts();
  const bool list = n > 0 && (param->Type() == IParam::kTypeBool || param->Type() == IParam::kTypeEnum);
  HFONT font = MakeFont(kEntryFontFace, ToPixels(kEntryFontHeightPx), false, false);
  if (list)
  {
    int width = kListMinWidthPx;
    for (int i = 0; i < n; ++i)
    {
      const char* item = param->GetDisplayText(i);
      const int len = item ? static_cast<int>(std::strlen(item)) : 0;
      width = std::max(width, kListCharWidthPx * len + kListMarginPx);
    }
    const int height = kListItemHeightPx * (n + 1); // the closed box and the drop-down list
    const int x = centre ? cx - width / 2 : r.L, y = cy;
    const int w = centre ? width : r.W(), h = centre ? height : r.H();
    if (!OpenEntry("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, current, x, y, w, h, control, param, font))
      return;
    HWND box = static_cast<HWND>(mEntryWnd);
    for (int i = 0; i < n; ++i)
    {
      const char* item = param->GetDisplayText(i);
      SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item ? item : ""));
      if (item && std::strcmp(item, current) == 0) SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
    return;
  }
  if (centre)
  {
    char widest[MAX_PARAM_NAME_LEN] = {};
    param->GetDisplayForHost(param->GetMax(), false, widest, sizeof(widest));
    const int width = std::max(kEntryMinWidthPx,
                               kEntryCharWidthPx * static_cast<int>(std::strlen(widest)) + kEntryMarginPx);
    OpenEntry("EDIT", ES_CENTER | ES_AUTOHSCROLL, current, cx - width / 2, cy - kEntryHeightPx / 2, width,
              kEntryHeightPx, control, param, font);
  }
  else
    OpenEntry("EDIT", ES_LEFT | ES_AUTOHSCROLL, current, r.L, r.T, r.W(), r.H(), control, param, font);
}

void IGraphicsWin::PromptUserInput(IEditableTextControl* control)
{
  if (!control || mEntryWnd || !mHWND) return;
  const IText* style = control->GetStyle();
  unsigned long editStyle = ES_AUTOHSCROLL;
  switch (style->mAlign)
  {
  case IText::kAlignNear:
    editStyle |= ES_LEFT;
    break;
  case IText::kAlignFar:
    editStyle |= ES_RIGHT;
    break;
  default:
    editStyle |= ES_CENTER;
    break;
  }
  if (!control->IsEditable()) editStyle |= ES_READONLY;
  if (control->IsSecret()) editStyle |= ES_PASSWORD;
  HFONT font = MakeFont(style->mFont, ToPixels(style->mSize), style->mStyle == IText::kStyleBold,
                        style->mStyle == IText::kStyleItalic);
  const IRECT& r = control->GetRECT();
  OpenEntry("EDIT", editStyle, control->GetText().c_str(), r.L, r.T, r.W(), r.H(), control, nullptr, font);
}

intptr_t IGraphicsWin::HandleEntryMessage(void* window, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
  HWND hWnd = static_cast<HWND>(window);
  auto previous = reinterpret_cast<WNDPROC>(mEntryPrevProc);
  if (hWnd != static_cast<HWND>(mEntryWnd) || !previous) return DefWindowProcA(hWnd, msg, wParam, lParam);
  switch (msg)
  {
  case WM_KEYDOWN:
    if (wParam == VK_RETURN)
    {
      mEntryState = kEntryCommit;
      const int len = GetWindowTextLengthA(hWnd);
      SendMessageA(hWnd, EM_SETSEL, static_cast<WPARAM>(len), len);
      return 0;
    }
    break;
  case WM_CHAR:
    if (wParam == '\r') return 0; // no beep for the Enter already handled
    break;
  case WM_GETDLGCODE:
    // Enter belongs to the entry, not to the host's dialog navigation.
    if (lParam && reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) return DLGC_WANTALLKEYS;
    return CallWindowProcA(previous, hWnd, msg, wParam, lParam) | DLGC_WANTALLKEYS;
  case WM_SETFOCUS:
    mEntryState = kEntryEditing;
    break;
  case WM_KILLFOCUS:
    // The entry stays open until a click or Enter.
    if (mEntryState == kEntryEditing) mEntryState = kEntryIdle;
    break;
  default:
    break;
  }
  return CallWindowProcA(previous, hWnd, msg, wParam, lParam);
}

void IGraphicsWin::StepEntry()
{
  if (!mEntryWnd) return;
  HWND entry = static_cast<HWND>(mEntryWnd);
  if (mEntryState == kEntryCommit)
  {
    char text[kEntryMaxTextChars + 1] = {};
    GetWindowTextA(entry, text, kEntryMaxTextChars + 1);
    ApplyPromptText(mEditControl, mEditParam, text);
  }
  if (mEntryState != kEntryCommit && mEntryState != kEntryCancel) return;
  if (mEditControl) mEditControl->CancelUserInput();
  SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mEntryPrevProc));
  mEntryWnd = nullptr;
  mEntryPrevProc = nullptr;
  mEntryState = kEntryIdle;
  mEditControl = nullptr;
  mEditParam = nullptr;
  DestroyWindow(entry);
  if (mEntryFont) DeleteObject(static_cast<HGDIOBJ>(mEntryFont));
  mEntryFont = nullptr;
  if (mHWND) SetFocus(static_cast<HWND>(mHWND));
}
