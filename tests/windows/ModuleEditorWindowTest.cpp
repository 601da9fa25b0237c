// The editor of Kestrune_x64.dll, opened by effEditOpen in a host window (under Wine on the build
// machine), against the window-less editor of an in-process instance in the same state. Built into
// the Windows test program only.
#ifdef _WIN32

#include "drawing/DRAW_SysBitmap.h"
#include "editor/EditorFixture.h"
#include "plugin/TestHost.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
constexpr int kEditorW = 808;
constexpr int kEditorH = 492;
// A pixel differs when a channel differs by more than this (text edges may be smoothed differently).
constexpr int kChannelTolerance = 8;

class ModuleEditorWindow : public editortest::EditorTest
{
};

TEST_F(ModuleEditorWindow, TheDllsWindowShowsWhatTheWindowlessEditorDrawsAndCloses)
{
  ASSERT_TRUE(plugintest::PluginModule::Get().Loaded()) << plugintest::PluginModule::Get().Error();
  plugintest::TestHost host;
  plugintest::PluginInstance dll;
  ASSERT_NE(dll.Effect(), nullptr);
  dll.Open();
  HWND parent = CreateWindowA("STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, kEditorW, kEditorH, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  ASSERT_NE(dll.Dispatch(effEditOpen, 0, 0, parent), 0);
  HWND child = FindWindowExA(parent, nullptr, "KestruneWndClass", "Kestrune");
  ASSERT_NE(child, nullptr);
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, kEditorW);
  EXPECT_EQ(client.bottom, kEditorH);
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

  // The window's pixels, copied into a top-down 32-bit section.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kEditorW;
  info.bmiHeader.biHeight = -kEditorH;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC windowDC = GetDC(child);
  HDC copyDC = CreateCompatibleDC(windowDC);
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(copyDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(copy, nullptr);
  HGDIOBJ old = SelectObject(copyDC, copy);
  BitBlt(copyDC, 0, 0, kEditorW, kEditorH, windowDC, 0, 0, SRCCOPY);

  IRECT all(0, 0, kEditorW, kEditorH);
  mGui->Draw(&all);
  const DRAW_SysBitmap* expected = mGui->GetDrawBitmap();
  int differing = 0;
  for (int y = 0; y < kEditorH; ++y)
    for (int x = 0; x < kEditorW; ++x)
    {
      const DRAW_Pixel shown = static_cast<const DRAW_Pixel*>(bits)[y * kEditorW + x];
      const DRAW_Pixel drawn = expected->Row(y)[x];
      if (std::abs(DRAW_GetR(shown) - DRAW_GetR(drawn)) > kChannelTolerance ||
          std::abs(DRAW_GetG(shown) - DRAW_GetG(drawn)) > kChannelTolerance ||
          std::abs(DRAW_GetB(shown) - DRAW_GetB(drawn)) > kChannelTolerance)
        ++differing;
    }
  SelectObject(copyDC, old);
  DeleteObject(copy);
  DeleteDC(copyDC);
  ReleaseDC(child, windowDC);
  EXPECT_LT(differing, kEditorW * kEditorH / 100) << "pixels that differ from the window-less editor";

  dll.Dispatch(effEditClose);
  EXPECT_EQ(FindWindowExA(parent, nullptr, "KestruneWndClass", nullptr), nullptr);
  DestroyWindow(parent);
}
} // namespace
#endif
