// The Win32 editor window, driven with window messages in a real window (under Wine on the build
// machine). Built into the Windows test program only.
#ifdef _WIN32

#include "platform/windows/IGraphicsWin.h"
#include "drawing/DRAW_IBitmap.h"
#include "framework/IEditableTextControl.h"
#include "graphics/GraphicsTestPlug.h"
#include "platform/windows/WinTunables.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace
{
using graphics_test::ProbeControl;
using graphics_test::TestPlug;

// A probe that also keeps the path dropped on it.
class DropProbe : public ProbeControl
{
public:
  using ProbeControl::ProbeControl;
  void OnDrop(int, int, const char* path) override { mDropped = path; }
  std::string mDropped;
};

constexpr int kW = 200;
constexpr int kH = 100;

class WinWindowTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mParent = CreateWindowA("STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(mParent, nullptr);
    mPlug = std::make_unique<TestPlug>();
    mGraphics = new IGraphicsWin(mPlug.get(), kW, kH);
    mPlug->AttachGraphics(mGraphics);
    mProbe = new DropProbe(mPlug.get(), IRECT(10, 10, 60, 60), graphics_test::kGain);
    mGraphics->AddControl(mProbe);
    mOther = new ProbeControl(mPlug.get(), IRECT(100, 10, 150, 60), graphics_test::kSwitch,
                              IColor(255, 0, 0, 200));
    mGraphics->AddControl(mOther);
    ASSERT_NE(mGraphics->Open(mParent), nullptr);
    mWnd = static_cast<HWND>(mGraphics->GetWindowHandle());
  }
  void TearDown() override
  {
    mPlug.reset();
    if (mParent) DestroyWindow(mParent);
  }

  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return SendMessageA(mWnd, msg, wParam, lParam); }
  void Tick() { Send(WM_TIMER, kTimerId, 0); }
  HWND Entry() const { return static_cast<HWND>(mGraphics->GetEntryWindow()); }
  std::string EntryClass() const
  {
    char name[64] = {};
    GetClassNameA(Entry(), name, sizeof(name));
    return name;
  }
  double Gain() const { return mPlug->GetParam(graphics_test::kGain)->Value(); }

  HWND mParent = nullptr;
  HWND mWnd = nullptr;
  std::unique_ptr<TestPlug> mPlug;
  IGraphicsWin* mGraphics = nullptr; // owned by the plug-in
  DropProbe* mProbe = nullptr;
  ProbeControl* mOther = nullptr;
};

TEST_F(WinWindowTest, EnterInANumberFieldCommitsOnTheNextTick)
{
  mGraphics->PromptUserInput(mProbe, mPlug->GetParam(graphics_test::kGain), true);
  ASSERT_NE(Entry(), nullptr);
  EXPECT_EQ(EntryClass(), "Edit");
  char shown[64] = {};
  GetWindowTextA(Entry(), shown, sizeof(shown));
  EXPECT_STREQ(shown, "50.0");
  SetWindowTextA(Entry(), "75");
  SendMessageA(Entry(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(mGraphics->GetEntryState(), IGraphicsWin::kEntryCommit);
  EXPECT_DOUBLE_EQ(Gain(), 50.0) << "nothing is applied before the tick";
  Tick();
  EXPECT_DOUBLE_EQ(Gain(), 75.0);
  EXPECT_EQ(Entry(), nullptr);
  EXPECT_EQ(mGraphics->GetEntryState(), IGraphicsWin::kEntryIdle);
}

TEST_F(WinWindowTest, ClickingElsewhereCommitsTheEntryAndARightClickCancelsIt)
{
  mGraphics->PromptUserInput(mProbe, mPlug->GetParam(graphics_test::kGain), true);
  SetWindowTextA(Entry(), "20");
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(180, 90));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(180, 90));
  Tick();
  EXPECT_DOUBLE_EQ(Gain(), 20.0);
  EXPECT_EQ(Entry(), nullptr);

  mGraphics->PromptUserInput(mProbe, mPlug->GetParam(graphics_test::kGain), true);
  SetWindowTextA(Entry(), "30");
  Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
  EXPECT_EQ(mProbe->mDowns, 0) << "the right click only cancels";
  Tick();
  EXPECT_DOUBLE_EQ(Gain(), 20.0);
  EXPECT_EQ(Entry(), nullptr);
}

TEST_F(WinWindowTest, AFreeTextEntryIsEmptiedAtOnceByARightClick)
{
  IText style;
  auto* field = new IEditableTextControl(mPlug.get(), IRECT(10, 70, 190, 90), &style, "typed before");
  mGraphics->AddControl(field);
  mGraphics->PromptUserInput(field);
  ASSERT_NE(Entry(), nullptr);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(field->GetText(), "");
  Tick();
  EXPECT_EQ(Entry(), nullptr);
}

TEST_F(WinWindowTest, ABoolParameterIsChosenFromADropDownList)
{
  mGraphics->PromptUserInput(mOther, mPlug->GetParam(graphics_test::kSwitch), true);
  ASSERT_NE(Entry(), nullptr);
  EXPECT_EQ(EntryClass(), "ComboBox");
  EXPECT_EQ(SendMessageA(Entry(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(Entry(), CB_GETCURSEL, 0, 0), 0) << "the current value's text is selected";
  RECT r;
  GetWindowRect(Entry(), &r);
  EXPECT_EQ(r.right - r.left, 48) << "max(24, 8 x 3 + 24) for \"off\"/\"on\"";
  SendMessageA(Entry(), CB_SETCURSEL, 1, 0);
  Send(WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Entry()));
  Tick();
  EXPECT_DOUBLE_EQ(mPlug->GetParam(graphics_test::kSwitch)->Value(), 1.0);
  EXPECT_EQ(Entry(), nullptr);
}

TEST_F(WinWindowTest, AWheelMovementBelowOneNotchDoesNothing)
{
  POINT p = {30, 30};
  ClientToScreen(mWnd, &p);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(mProbe->mWheels, 0);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(mProbe->mWheels, 1);
}

TEST_F(WinWindowTest, ButtonsDragAndDoubleClickReachTheControlUnderThePointer)
{
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
  EXPECT_EQ(GetCapture(), mWnd);
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 20));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(30, 20));
  EXPECT_EQ(mProbe->mDowns, 1);
  ASSERT_EQ(mProbe->mDrags.size(), 1u);
  EXPECT_EQ(mProbe->mDrags[0], std::make_pair(0, -10));
  EXPECT_EQ(mProbe->mUps, 1);
  EXPECT_EQ(mOther->mDowns, 0);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(120, 30));
  EXPECT_EQ(mOther->mDblClicks + mOther->mDowns, 1);
}

TEST_F(WinWindowTest, DroppingSeveralFilesDeliversOnlyTheFirst)
{
  const char files[] = "C:\\samples\\first.wav\0C:\\samples\\second.wav\0";
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof(files) + 1);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = {20, 40};
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files, sizeof(files));
  GlobalUnlock(block);
  Send(WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
  EXPECT_EQ(mProbe->mDropped, "C:\\samples\\first.wav");
}

TEST_F(WinWindowTest, TwoEditorsShareOneWindowClassUntilTheLastCloses)
{
  WNDCLASSA wc;
  HINSTANCE instance = static_cast<HINSTANCE>(mGraphics->GetHInstance());
  TestPlug second;
  auto* other = new IGraphicsWin(&second, kW, kH);
  second.AttachGraphics(other);
  ASSERT_NE(other->Open(mParent), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  mGraphics->Close();
  EXPECT_FALSE(mGraphics->IsOpen());
  EXPECT_TRUE(GetClassInfoA(instance, "KestruneWndClass", &wc));
  other->Close();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(GetClassInfoA(instance, "KestruneWndClass", &wc));
}

TEST_F(WinWindowTest, TheHostDestroyingItsWindowClosesTheEditor)
{
  DestroyWindow(mParent);
  mParent = nullptr;
  EXPECT_FALSE(mGraphics->IsOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  mParent = CreateWindowA("STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr, nullptr,
                          nullptr);
  ASSERT_NE(mGraphics->Open(mParent), nullptr) << "it opens again in a new host window";
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  mGraphics->Close();
}

// The edit boxes the editor opens, seen through a class of the test program's own named "Edit" (found
// before the system's for windows of this module) whose procedure counts the messages that end a box
// and hands everything to the system's edit procedure.
int gEntryEnds = 0;
WNDPROC gSystemEditProc = nullptr;
LRESULT CALLBACK CountingEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCDESTROY) ++gEntryEnds;
  return CallWindowProcA(gSystemEditProc, hWnd, msg, wParam, lParam);
}

TEST_F(WinWindowTest, AnEntryOpenWhenTheEditorGoesEndsThroughItsOwnProcedure)
{
  WNDCLASSA wc = {};
  ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &wc));
  gSystemEditProc = wc.lpfnWndProc;
  wc.lpfnWndProc = CountingEditProc;
  wc.hInstance = static_cast<HINSTANCE>(mGraphics->GetHInstance());
  wc.lpszClassName = "Edit";
  ASSERT_NE(RegisterClassA(&wc), 0);
  // Closed by the host, then destroyed with the host's window: each time the box's own procedure ends
  // it (and frees what it holds), not the editor's entry procedure.
  for (bool hostDestroys : {false, true})
  {
    gEntryEnds = 0;
    mGraphics->PromptUserInput(mProbe, mPlug->GetParam(graphics_test::kGain), true);
    ASSERT_NE(Entry(), nullptr);
    ASSERT_EQ(reinterpret_cast<WNDPROC>(GetClassLongPtrA(Entry(), GCLP_WNDPROC)), &CountingEditProc);
    ASSERT_EQ(gEntryEnds, 0);
    if (hostDestroys)
    {
      DestroyWindow(mParent);
      mParent = nullptr;
    }
    else
    {
      mGraphics->Close();
      ASSERT_NE(mGraphics->Open(mParent), nullptr);
    }
    EXPECT_EQ(gEntryEnds, 1) << (hostDestroys ? "host destroys its window" : "editor closed");
    EXPECT_EQ(Entry(), nullptr);
  }
  UnregisterClassA("Edit", wc.hInstance);
}

TEST_F(WinWindowTest, ReopeningKeepsThePlacementWithinTheParent)
{
  SetWindowPos(mWnd, nullptr, 5, 7, kW, kH, SWP_NOZORDER);
  ASSERT_NE(mGraphics->Open(mParent), nullptr);
  RECT r;
  GetWindowRect(static_cast<HWND>(mGraphics->GetWindowHandle()), &r);
  MapWindowPoints(HWND_DESKTOP, mParent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
}

TEST_F(WinWindowTest, PaintingCopiesTheBackBufferToTheWindow)
{
  RedrawWindow(mWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(mWnd);
  const COLORREF inside = GetPixel(dc, 30, 30);
  const COLORREF other = GetPixel(dc, 120, 30);
  ReleaseDC(mWnd, dc);
  EXPECT_EQ(inside, RGB(200, 0, 0));
  EXPECT_EQ(other, RGB(0, 0, 200));
  EXPECT_GE(mProbe->mDraws, 1);
}

TEST_F(WinWindowTest, TheClipboardGetsThePlainText)
{
  ASSERT_TRUE(mGraphics->SetClipboardText("C:\\samples\\kick.wav"));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  EXPECT_STREQ(text ? text : "", "C:\\samples\\kick.wav");
  if (text) GlobalUnlock(data);
  CloseClipboard();
}

TEST_F(WinWindowTest, TheModulesPngResourcesHoldTheEditorImagesAtEachSize)
{
  const struct
  {
    int scale, width, height;
  } sizes[] = {{100, 808, 492}, {150, 1212, 738}, {200, 1616, 984}};
  for (const auto& size : sizes)
  {
    std::unique_ptr<DRAW_IBitmap> bg(mGraphics->LoadPlatformBitmap(100, "bg.png", size.scale));
    ASSERT_NE(bg, nullptr) << size.scale;
    EXPECT_EQ(bg->getWidth(), size.width);
    EXPECT_EQ(bg->getHeight(), size.height);
    EXPECT_EQ(DRAW_GetA(bg->Row(0)[0]), 255);
  }
  // The knob at 200 %: twice the pixels each way.
  std::unique_ptr<DRAW_IBitmap> knob100(mGraphics->LoadPlatformBitmap(101, "knob.png", 100));
  std::unique_ptr<DRAW_IBitmap> knob200(mGraphics->LoadPlatformBitmap(101, "knob.png", 200));
  ASSERT_NE(knob100, nullptr);
  ASSERT_NE(knob200, nullptr);
  EXPECT_EQ(knob200->getWidth(), 2 * knob100->getWidth());
  EXPECT_EQ(knob200->getHeight(), 2 * knob100->getHeight());
  EXPECT_EQ(mGraphics->LoadPlatformBitmap(99, "none.png", 100), nullptr);
  EXPECT_EQ(mGraphics->LoadPlatformBitmap(100, "bg.png", 125), nullptr) << "no rendering at 125 %";
}

TEST_F(WinWindowTest, ThePluginPathIsTheModulesFolderWithItsBackslash)
{
  std::string path;
  mGraphics->GetPluginPath(&path);
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH); // the test program is the module here
  std::string expected(module);
  expected.erase(expected.rfind('\\') + 1);
  EXPECT_EQ(path, expected);
}

TEST_F(WinWindowTest, NoFileIsChosenWithoutAnOpenWindow)
{
  mGraphics->Close();
  std::string result = "stale";
  mGraphics->ChooseFile(&result, IGraphics::kFileOpen, nullptr, "wav ogg sfz");
  EXPECT_EQ(result, "");
}

} // namespace
#endif
