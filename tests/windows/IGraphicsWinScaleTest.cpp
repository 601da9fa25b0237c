// The Win32 editor window at 200 %: the window's pixels, the positions controls get, the painted
// picture, the entry box and a change of size while open. Built into the Windows test program only.
#ifdef _WIN32

#include "ScratchFolder.h"
#include "framework/EditorScale.h"
#include "graphics/GraphicsTestPlug.h"
#include "platform/windows/IGraphicsWin.h"
#include "platform/windows/WinDpi.h"
#include "platform/windows/WinTunables.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

namespace
{
using graphics_test::ProbeControl;
using graphics_test::TestPlug;

constexpr int kProbeW = 200;
constexpr int kProbeH = 100;

TEST(WinDpi, DensitiesGiveTheNearestOfTheThreeSizes)
{
  EXPECT_EQ(ScaleFromWindowsDpi(96), kScale100);
  EXPECT_EQ(ScaleFromWindowsDpi(72), kScale100);
  EXPECT_EQ(ScaleFromWindowsDpi(119), kScale100);
  EXPECT_EQ(ScaleFromWindowsDpi(144), kScale150);
  EXPECT_EQ(ScaleFromWindowsDpi(167), kScale150);
  EXPECT_EQ(ScaleFromWindowsDpi(192), kScale200);
  EXPECT_EQ(ScaleFromWindowsDpi(288), kScale200);
  EXPECT_EQ(ScaleFromWindowsDpi(0), 0);
}

TEST(WinDpi, EveryWindowAndTheSystemHaveADensity)
{
  HWND window = CreateWindowA("STATIC", "dpi", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_GT(WindowDpi(window), 0u);
  EXPECT_GT(WindowDpi(nullptr), 0u);
  DestroyWindow(window);
  {
    // The scope restores what it changed; a second one nests.
    PerMonitorDpiScope outer;
    PerMonitorDpiScope inner;
  }
  EXPECT_GT(WindowDpi(nullptr), 0u);
}

class WinScaledWindowTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    // KESTRUNE_SCALE comes before the display's density, which is 100 % in the test prefix.
    SetTestEnvironment("KESTRUNE_SCALE", "2");
    mParent = CreateWindowA("STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 2 * kProbeW, 2 * kProbeH, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(mParent, nullptr);
    mPlug = std::make_unique<TestPlug>();
    mGraphics = new IGraphicsWin(mPlug.get(), kProbeW, kProbeH);
    mPlug->AttachGraphics(mGraphics);
    mProbe = new ProbeControl(mPlug.get(), IRECT(10, 10, 60, 60), graphics_test::kGain);
    mGraphics->AddControl(mProbe);
    mOther = new ProbeControl(mPlug.get(), IRECT(100, 10, 150, 60), graphics_test::kSwitch,
                              IColor(255, 0, 0, 200));
    mGraphics->AddControl(mOther);
    ASSERT_TRUE(mGraphics->OpenWindow(mParent));
    mWnd = static_cast<HWND>(mGraphics->GetWindowHandle());
  }
  void TearDown() override
  {
    SetTestEnvironment("KESTRUNE_SCALE", nullptr);
    mPlug.reset();
    if (mParent) DestroyWindow(mParent);
  }

  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return SendMessageA(mWnd, msg, wParam, lParam); }
  SIZE ClientSize(HWND wnd) const
  {
    RECT r = {};
    GetClientRect(wnd, &r);
    return {r.right - r.left, r.bottom - r.top};
  }

  HWND mParent = nullptr;
  HWND mWnd = nullptr;
  std::unique_ptr<TestPlug> mPlug;
  IGraphicsWin* mGraphics = nullptr; // owned by the plug-in
  ProbeControl* mProbe = nullptr;
  ProbeControl* mOther = nullptr;
};

TEST_F(WinScaledWindowTest, TheWindowHasTwiceThePixelsWhileTheLayoutStaysInUnits)
{
  EXPECT_EQ(mGraphics->ScalePercent(), kScale200);
  const SIZE size = ClientSize(mWnd);
  EXPECT_EQ(size.cx, 2 * kProbeW);
  EXPECT_EQ(size.cy, 2 * kProbeH);
  EXPECT_EQ(mGraphics->Width(), kProbeW) << "the layout stays in units";
  EXPECT_EQ(mGraphics->PixelWidth(), 2 * kProbeW);
}

TEST_F(WinScaledWindowTest, PointerPositionsReachTheControlsInUnits)
{
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 40));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
  EXPECT_EQ(mProbe->mDowns, 1);
  ASSERT_EQ(mProbe->mDrags.size(), 1u);
  EXPECT_EQ(mProbe->mDrags[0], std::make_pair(0, -10)) << "20 pixels are 10 units";
  // Units 100 to 150 are pixels 200 to 300: a click at pixel 130 is on neither probe.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(130, 60));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(130, 60));
  EXPECT_EQ(mProbe->mDowns, 1);
  EXPECT_EQ(mOther->mDowns, 0);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 60));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(240, 60));
  EXPECT_EQ(mOther->mDowns, 1);

  // The wheel's screen position is taken relative to the window, then divided.
  POINT p = {240, 60};
  ClientToScreen(mWnd, &p);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(mOther->mWheels, 1);
  EXPECT_EQ(mProbe->mWheels, 0);
}

TEST_F(WinScaledWindowTest, PaintingCoversEachControlsPixels)
{
  RedrawWindow(mWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(mWnd);
  const COLORREF probeFar = GetPixel(dc, 115, 115);
  const COLORREF otherFar = GetPixel(dc, 295, 115);
  const COLORREF between = GetPixel(dc, 150, 60);
  ReleaseDC(mWnd, dc);
  EXPECT_EQ(probeFar, RGB(200, 0, 0));
  EXPECT_EQ(otherFar, RGB(0, 0, 200));
  EXPECT_NE(between, RGB(200, 0, 0));
  EXPECT_NE(between, RGB(0, 0, 200));
}

TEST_F(WinScaledWindowTest, TheEntryBoxCoversTheControlsPixels)
{
  mGraphics->PromptUserInput(mProbe, mPlug->GetParam(graphics_test::kGain), false);
  HWND entry = static_cast<HWND>(mGraphics->GetEntryWindow());
  ASSERT_NE(entry, nullptr);
  RECT r;
  GetWindowRect(entry, &r);
  MapWindowPoints(HWND_DESKTOP, mWnd, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 120);
  EXPECT_EQ(r.bottom, 120);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(entry, WM_GETFONT, 0, 0));
  LOGFONTA face = {};
  ASSERT_NE(font, nullptr);
  ASSERT_NE(GetObjectA(font, sizeof(face), &face), 0);
  EXPECT_EQ(face.lfHeight, 2 * kEntryFontHeightPx);
}

TEST_F(WinScaledWindowTest, AChangeOfSizeWhileOpenResizesTheWindowAndCommitsAnOpenEntry)
{
  mGraphics->PromptUserInput(mProbe, mPlug->GetParam(graphics_test::kGain), false);
  HWND entry = static_cast<HWND>(mGraphics->GetEntryWindow());
  ASSERT_NE(entry, nullptr);
  SetWindowTextA(entry, "30");
  mGraphics->UseScale(kScale150);
  EXPECT_EQ(mGraphics->GetEntryWindow(), nullptr);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(graphics_test::kGain)->Value(), 30.0);
  SIZE size = ClientSize(mWnd);
  EXPECT_EQ(size.cx, 300);
  EXPECT_EQ(size.cy, 150);
  mGraphics->UseScale(kScale100);
  size = ClientSize(mWnd);
  EXPECT_EQ(size.cx, kProbeW);
  EXPECT_EQ(size.cy, kProbeH);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 30));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(120, 30));
  EXPECT_EQ(mOther->mDowns, 1) << "at 100 % pixels are units again";
}
TEST_F(WinScaledWindowTest, ADensityChangeOfTheParentChoosesTheSizeAgain)
{
  // WM_DPICHANGED_AFTERPARENT: the size is chosen again in the usual order, here by the variable.
  constexpr UINT kDpiChangedAfterParent = 0x02E3;
  SetTestEnvironment("KESTRUNE_SCALE", "1.5");
  Send(kDpiChangedAfterParent, 0, 0);
  EXPECT_EQ(mGraphics->ScalePercent(), kScale150);
  const SIZE size = ClientSize(mWnd);
  EXPECT_EQ(size.cx, 300);
  EXPECT_EQ(size.cy, 150);
}
} // namespace

#endif
