// Platform services of the editor window: file dialogs, web pages, message boxes, the clipboard,
// cursors, module paths, image resources and the colour dialog.

#include "platform/windows/IGraphicsWin.h"

#include "drawing/DRAW_PNG.h"
#include "framework/IStructs.h"
#include "platform/windows/WinTunables.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <sstream>

namespace
{
constexpr char kChooseFileTitle[] = "Select audio sample";

// Smallest resource that can hold a PNG signature and anything after it.
constexpr DWORD kMinPngResourceBytes = 8;

// The folder part of a module's file name, up to and including the last backslash.
std::string ModuleFolder(HMODULE module)
{
  char name[kPathChars] = {};
  const DWORD len = GetModuleFileNameA(module, name, kPathChars);
  if (len == 0 || len >= static_cast<DWORD>(kPathChars)) return std::string();
  std::string path(name, len);
  const size_t sep = path.rfind('\\');
  return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

// The colour dialog's hook names the dialog.
UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
{
  if (msg == WM_INITDIALOG)
  {
    const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    if (choose && choose->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(choose->lCustData));
  }
  return 0;
}
} // namespace

void IGraphicsWin::GetHostPath(std::string* path)
{
  if (path) *path = ModuleFolder(nullptr);
}

void IGraphicsWin::GetPluginPath(std::string* path)
{
  if (path) *path = ModuleFolder(static_cast<HMODULE>(mHInstance));
}

void IGraphicsWin::ChooseFile(std::string* result, int action, std::string* dir, const char* extensions)
{
  if (!result) return;
  result->clear();
  if (!mHWND) return;

  // "wav ogg sfz" -> "*.wav;*.ogg;*.sfz", used as both description and pattern.
  std::string pattern, first;
  std::istringstream words(extensions ? extensions : "");
  for (std::string ext; words >> ext;)
  {
    if (first.empty()) first = ext;
    if (!pattern.empty()) pattern += ';';
    pattern += "*." + ext;
  }
  std::string filter;
  if (!pattern.empty())
  {
    filter = pattern;
    filter.push_back('\0');
    filter += pattern;
    filter.push_back('\0');
    filter.push_back('\0');
  }
  std::string start;
  if (dir && !dir->empty())
    start = *dir;
  else
    GetPluginPath(&start);

  char file[kPathChars] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = static_cast<HWND>(mHWND);
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = kPathChars;
  ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  ofn.lpstrTitle = kChooseFileTitle;
  ofn.lpstrDefExt = first.empty() ? nullptr : first.c_str();
  BOOL chosen;
  if (action == kFileSave)
  {
    ofn.Flags = OFN_OVERWRITEPROMPT;
    chosen = GetSaveFileNameA(&ofn);
  }
  else
  {
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&ofn);
  }
  if (chosen) *result = file;
}

bool IGraphicsWin::OpenWebPage(const char* url, const char* title, const char* confirm, const char* errorText)
{
  if (!url) return false;
  if (confirm && *confirm && ShowMessageBox(confirm, title, kMessageBoxTypeYesNo) != kMessageBoxYes)
    return false;
  const auto answer = reinterpret_cast<INT_PTR>(
      ShellExecuteA(static_cast<HWND>(mHWND), "open", url, nullptr, nullptr, SW_SHOWNORMAL));
  if (answer > 32) return true;
  if (errorText && *errorText) ShowMessageBox(errorText, title, kMessageBoxTypeOK);
  return false;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type)
{
  // A modal box belongs to the thread of the window it is owned by. Asked for on another thread (which
  // would wait for the user, and tie its input to the window's thread), an OK box goes to the window's
  // timer instead and a question is answered No.
  if (mHWND && GetWindowThreadProcessId(static_cast<HWND>(mHWND), nullptr) != GetCurrentThreadId())
  {
    if (type == kMessageBoxTypeYesNo) return kMessageBoxNo;
    PostMessageBox(text, caption);
    return kMessageBoxOK;
  }
  const UINT style = type == kMessageBoxTypeYesNo ? MB_YESNO : MB_OK;
  switch (MessageBoxA(static_cast<HWND>(mHWND), text ? text : "", caption ? caption : "", style))
  {
  case IDOK:
    return kMessageBoxOK;
  case IDYES:
    return kMessageBoxYes;
  case IDNO:
    return kMessageBoxNo;
  default:
    return kMessageBoxCancel;
  }
}

bool IGraphicsWin::SetClipboardText(const char* text)
{
  if (!text) text = "";
  if (!OpenClipboard(static_cast<HWND>(mHWND))) return false;
  EmptyClipboard();
  const size_t bytes = std::strlen(text) + 1;
  bool handed = false;
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes))
  {
    if (void* p = GlobalLock(block))
    {
      std::memcpy(p, text, bytes);
      GlobalUnlock(block);
      // Handed over, the block belongs to the clipboard; it is freed only when the hand-over fails.
      handed = SetClipboardData(CF_TEXT, block) != nullptr;
    }
    if (!handed) GlobalFree(block);
  }
  CloseClipboard();
  return handed;
}

void IGraphicsWin::SetCursor(int cursorId)
{
  switch (cursorId)
  {
  case kCursorArrow:
  case kCursorIBeam:
  case kCursorUpArrow:
  case kCursorSizeWE:
  case kCursorSizeNS:
  case kCursorHand:
    ::SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(cursorId)));
    break;
  default:
    break; // unknown ids set nothing
  }
}

DRAW_IBitmap* IGraphicsWin::LoadPlatformBitmap(int id, const char* /*name*/, int scale)
{
  if (!IsEditorScale(scale)) return nullptr;
  HMODULE module = static_cast<HMODULE>(mHInstance);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(ScaledImageId(id, scale)), "PNG");
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (size < kMinPngResourceBytes) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;
  return DRAW_LoadPNGFromMemory(data, size, nullptr);
}

bool IGraphicsWin::PromptForColor(IColor* color, const char* title)
{
  if (!color || !mHWND) return false;
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = static_cast<HWND>(mHWND);
  cc.rgbResult = RGB(color->R, color->G, color->B);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
  cc.lpfnHook = ColorDialogHook;
  cc.lCustData = reinterpret_cast<LPARAM>(title);
  if (!ChooseColorA(&cc)) return false;
  color->R = GetRValue(cc.rgbResult);
  color->G = GetGValue(cc.rgbResult);
  color->B = GetBValue(cc.rgbResult);
  return true;
}
