#ifdef _WIN32
#include "tools/kestrune-host/EditWindowWin32.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace khost
{

namespace
{
constexpr char kHostWindowClass[] = "KestruneHostWindow";
// The top-level window: a caption and a close button, no resizing (the editor has one size).
constexpr DWORD kHostWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Where the window opens on the screen: away from the origin, as a DAW's plug-in windows are, so that
// screen and window coordinates differ.
constexpr int kHostWindowX = 48;
constexpr int kHostWindowY = 36;

LRESULT CALLBACK HostWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* layer = reinterpret_cast<EditWindowWin32*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE)
  {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  else if (msg == WM_CLOSE && layer)
  {
    // The loop ends; the editor is closed before the window goes.
    layer->OnCloseRequest();
    return 0;
  }
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

bool IsPress(UINT msg)
{
  switch (msg)
  {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDBLCLK:
    return true;
  default:
    return false;
  }
}

// Declares the process per-monitor DPI aware, as current hosts are, so that the system neither stretches
// the editor nor hides the display's density from it. Looked up at run time: older systems lack it.
void BecomeDpiAware()
{
  using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto set = user32 ? reinterpret_cast<SetProcessDpiAwarenessContextFn>(
                          reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                    : nullptr;
  const HANDLE perMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
  if (set) set(perMonitorAwareV2);
}

unsigned long long HandleNumber(const void* handle)
{
  return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle));
}
} // namespace

std::unique_ptr<EditWindow> EditWindow::Make(std::string*)
{
  return std::make_unique<EditWindowWin32>();
}

EditWindowWin32::EditWindowWin32() : mInstance(GetModuleHandleA(nullptr))
{
  BecomeDpiAware();
  WNDCLASSA wc = {};
  if (!GetClassInfoA(static_cast<HINSTANCE>(mInstance), kHostWindowClass, &wc))
  {
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = static_cast<HINSTANCE>(mInstance);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    // No background brush: the editor covers the whole client area.
    wc.lpszClassName = kHostWindowClass;
    RegisterClassA(&wc);
  }
}

EditWindowWin32::~EditWindowWin32()
{
  Destroy();
}

void* EditWindowWin32::Create(int w, int h, const std::string& title)
{
  if (!mWindow)
  {
    RECT r = {0, 0, w, h};
    AdjustWindowRect(&r, kHostWindowStyle, FALSE);
    HWND window = CreateWindowA(kHostWindowClass, title.c_str(), kHostWindowStyle, kHostWindowX, kHostWindowY,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                static_cast<HINSTANCE>(mInstance), this);
    if (!window) return nullptr;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    mWindow = window;
    mW = w;
    mH = h;
    mTitle = title;
    mCloseRequested = false;
  }
  return mWindow;
}

std::string EditWindowWin32::Describe()
{
  HWND window = static_cast<HWND>(mWindow);
  HWND editor = window ? GetWindow(window, GW_CHILD) : nullptr;
  // Where the client area (the editor) sits in the whole window, frame and caption included.
  POINT client = {0, 0};
  RECT whole = {};
  if (window)
  {
    ClientToScreen(window, &client);
    GetWindowRect(window, &whole);
  }
  // The editor window's own size when there is one (it may differ from the size it asked for).
  int w = mW, h = mH;
  RECT editorRect = {};
  if (editor && GetClientRect(editor, &editorRect))
  {
    w = editorRect.right - editorRect.left;
    h = editorRect.bottom - editorRect.top;
  }
  char line[512];
  std::snprintf(line, sizeof(line),
                "editor window 0x%llx in 0x%llx (%dx%d) at %ld,%ld of the window titled \"%s\"",
                HandleNumber(editor), HandleNumber(window), w, h, client.x - whole.left, client.y - whole.top,
                mTitle.c_str());
  return line;
}

bool EditWindowWin32::Pump(const std::function<void()>& afterEach)
{
  MSG msg;
  bool quit = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
  {
    if (msg.message == WM_QUIT)
    {
      quit = true;
      break;
    }
    HWND window = static_cast<HWND>(mWindow);
    const bool ours = window && msg.hwnd && (msg.hwnd == window || IsChild(window, msg.hwnd));
    if (ours && IsPress(msg.message))
    {
      ++mCounts.inputs;
      mCounts.inputTick = mCounts.ticks;
    }
    // The editor's timer: a timer message to a window inside ours.
    const bool tick = ours && msg.message == WM_TIMER && msg.hwnd != window;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (tick) ++mCounts.ticks;
    afterEach();
  }
  afterEach();
  return !quit && !mCloseRequested;
}

void EditWindowWin32::Wait(int ms)
{
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms), QS_ALLINPUT);
}

void EditWindowWin32::Destroy()
{
  if (mWindow) DestroyWindow(static_cast<HWND>(mWindow));
  mWindow = nullptr;
}

bool EditWindowWin32::GetCounts(Counts* counts) const
{
  *counts = mCounts;
  return true;
}
} // namespace khost
#endif
