#include "platform/windows/WinDpi.h"

#include "framework/EditorScale.h"

#include <windows.h>

namespace
{
constexpr unsigned kDpiAt100 = 96;
// Awareness contexts are handles with fixed values.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);

template <typename Fn> Fn User32Function(const char* name)
{
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}
} // namespace

int ScaleFromWindowsDpi(unsigned dpi)
{
  if (dpi == 0) return 0;
  return NearestEditorScale(static_cast<double>(dpi) / kDpiAt100);
}

unsigned WindowDpi(void* window)
{
  HWND hWnd = static_cast<HWND>(window);
  if (hWnd)
    if (auto forWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow"))
      if (UINT dpi = forWindow(hWnd)) return dpi;
  if (auto forSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem"))
    if (UINT dpi = forSystem()) return dpi;
  if (HDC screen = GetDC(nullptr))
  {
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (dpi > 0) return static_cast<unsigned>(dpi);
  }
  return kDpiAt100;
}

PerMonitorDpiScope::PerMonitorDpiScope()
{
  auto set = User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
  if (!set) return;
  HANDLE previous = set(kPerMonitorAwareV2);
  if (!previous) previous = set(kPerMonitorAware);
  mPrevious = previous;
}

PerMonitorDpiScope::~PerMonitorDpiScope()
{
  if (!mPrevious) return;
  if (auto set = User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext"))
    set(static_cast<HANDLE>(mPrevious));
}
