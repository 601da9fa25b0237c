// The built module's editor at 200 % in a Linux host's window: the size it opens at (the desktop's
// Xft.dpi, KESTRUNE_SCALE), and the user's gestures at twice the pixels doing what they do at 100 %.

#include "ScratchFolder.h"
#include "X11EditorFixture.h"

#include "framework/VstDefs.h"
#include "plugin/ModuleFixture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <string>

namespace x11_test
{
namespace
{
// What the host answers to audioMasterSizeWindow, and the last size asked for (w << 16 | h).
std::atomic<bool> gHostResizes{false};
std::atomic<long> gAskedSize{0};

VstIntPtr ScaledHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float)
{
  if (opcode == audioMasterVersion) return 2400;
  if (opcode == audioMasterSizeWindow)
  {
    gAskedSize = static_cast<long>(index) << 16 | static_cast<long>(value);
    return gHostResizes ? 1 : 0;
  }
  return 0;
}

// Sets (or with an empty text removes) the X server's resource string, as a desktop's settings do.
void SetXResources(const std::string& text)
{
  ::Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  Atom property = XInternAtom(display, "RESOURCE_MANAGER", False);
  if (text.empty())
    XDeleteProperty(display, DefaultRootWindow(display), property);
  else
    XChangeProperty(display, DefaultRootWindow(display), property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.c_str()), static_cast<int>(text.size()));
  XCloseDisplay(display);
}

void WindowSize(unsigned long window, int* w, int* h)
{
  *w = *h = 0;
  ::Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes))
  {
    *w = attributes.width;
    *h = attributes.height;
  }
  XCloseDisplay(display);
}
} // namespace

class X11ScaledEditor : public X11ServerFixture
{
protected:
  X11ScaledEditor()
  {
    mTopW = 2 * kW;
    mTopH = 2 * kH;
  }
  void TearDown() override
  {
    CloseModule();
    gHostResizes = false;
    gAskedSize = 0;
    unsetenv("KESTRUNE_SCALE");
    SetXResources("");
    X11ServerFixture::TearDown();
  }

  // A new instance, set up and opened in the host's window as a host does (effEditGetRect first).
  void OpenModule()
  {
    ASSERT_TRUE(plugintest::PluginModule::Get().Loaded()) << plugintest::PluginModule::Get().Error();
    mEffect = plugintest::PluginModule::Get().mVSTPluginMain(&ScaledHost);
    ASSERT_NE(mEffect, nullptr);
    mEffect->dispatcher(mEffect, effOpen, 0, 0, nullptr, 0.0f);
    mEffect->dispatcher(mEffect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    mEffect->dispatcher(mEffect, effSetBlockSize, 0, 512, nullptr, 0.0f);
    mEffect->dispatcher(mEffect, effMainsChanged, 0, 1, nullptr, 0.0f);
    ERect* rect = nullptr;
    mEffect->dispatcher(mEffect, effEditGetRect, 0, 0, &rect, 0.0f);
    ASSERT_NE(rect, nullptr);
    mRectW = rect->right - rect->left;
    mRectH = rect->bottom - rect->top;
    ASSERT_EQ(mEffect->dispatcher(mEffect, effEditOpen, 0, 0,
                                  reinterpret_cast<void*>(static_cast<uintptr_t>(mTop)), 0.0f),
              1);
    mEditor = mHost->FirstChild(mTop);
    ASSERT_NE(mEditor, 0u);
  }
  void CloseModule()
  {
    if (!mEffect) return;
    mEffect->dispatcher(mEffect, effEditClose, 0, 0, nullptr, 0.0f);
    mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
    mEffect = nullptr;
  }
  std::string Display(int idx)
  {
    char text[kVstMaxParamStrLen * 4] = {};
    mEffect->dispatcher(mEffect, effGetParamDisplay, idx, 0, text, 0.0f);
    return text;
  }
  std::vector<std::string> DragTo(int x, int y)
  {
    return {"mousedown",       "1",       "mousemove", "--window", std::to_string(mEditor), std::to_string(x),
            std::to_string(y), "mouseup", "1"};
  }

  // A knob drag, a text entry and a range drag of slot 0 at editor units times factor; the
  // parameters they set, by index, as the host reads them.
  std::map<int, std::string> Gestures(int factor)
  {
    std::map<int, std::string> after;
    const int f = factor;
    // Attack knob, dragged 30 units up.
    if (!PointerIn(mEditor, 69 * f, 309 * f, DragTo(69 * f, 279 * f))) return after;
    // The keyboard view's high end, dragged from its handle to the middle of the strip.
    if (!PointerIn(mEditor, 172 * f, 215 * f, DragTo(120 * f, 215 * f))) return after;
    // The semitones field: a click opens the entry, Enter commits what was typed.
    if (!PointerIn(mEditor, 75 * f, 385 * f, {"click", "1"})) return after;
    if (!WaitFor([&] { return mHost->FocusWindow() > 1 && mHost->FocusWindow() != mTop; })) return after;
    if (!Type("2.5") || !Key("Return")) return after;
    WaitFor([&] { return Display(4) == "2.5"; });
    for (int idx : {2, 4, 5})
      after[idx] = Display(idx);
    return after;
  }

  AEffect* mEffect = nullptr;
  unsigned long mEditor = 0;
  int mRectW = 0, mRectH = 0;
};

TEST_F(X11ScaledEditor, KnobDragTextEntryAndRangeDragAt200PercentDoWhatTheyDoAt100Percent)
{
  std::map<int, std::string> before, at100, at200;
  setenv("KESTRUNE_SCALE", "1", 1);
  OpenModule();
  ASSERT_FALSE(HasFatalFailure());
  for (int idx : {2, 4, 5})
    before[idx] = Display(idx);
  at100 = Gestures(1);
  CloseModule();

  setenv("KESTRUNE_SCALE", "2", 1);
  OpenModule();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(mRectW, 2 * kW);
  at200 = Gestures(2);
  ASSERT_EQ(at100.size(), 3u) << "the gestures at 100 % did not complete";
  for (int idx : {2, 4, 5})
    EXPECT_NE(at100[idx], before[idx]) << "parameter " << idx << " did not change at 100 %";
  EXPECT_EQ(at200, at100);
}

TEST_F(X11ScaledEditor, DesktopAt192DpiOpensTheEditorAt1616x984UnlessKestruneScaleSaysOtherwise)
{
  SetXResources("Xft.antialias:\t1\nXft.dpi:\t192\n");
  OpenModule();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(mRectW, 1616);
  EXPECT_EQ(mRectH, 984);
  int w = 0, h = 0;
  WindowSize(mEditor, &w, &h);
  EXPECT_EQ(w, 1616);
  EXPECT_EQ(h, 984);
  // The editor's far corner shows the message bar's light band, drawn at the full size.
  EXPECT_TRUE(WaitFor(
      [&]
      {
        const std::vector<uint32_t> corner = mHost->ReadPixels(mEditor, 1600, 975, 1, 1);
        return corner.size() == 1 &&
               (corner[0] >> 16 & 0xFF) + (corner[0] >> 8 & 0xFF) + (corner[0] & 0xFF) > 3u * 180u;
      }));
  CloseModule();

  setenv("KESTRUNE_SCALE", "1.5", 1);
  OpenModule();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(mRectW, 1212);
  EXPECT_EQ(mRectH, 738);
  WindowSize(mEditor, &w, &h);
  EXPECT_EQ(w, 1212);
}

// The size control in the open editor: the host that resizes its window gets the new size asked for, the
// editor's own window follows at once and is drawn to its far corner; a host that refuses keeps the
// editor as it was. The choice goes to a settings folder of the test's own.
TEST_F(X11ScaledEditor, SizeControlResizesTheOpenEditorWhenTheHostAgreesAndKeepsItWhenTheHostRefuses)
{
  ScratchFolder config("kestrune-scale-config-");
  ASSERT_FALSE(config.Path().empty());
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string keptConfig = oldConfig ? oldConfig : "";
  setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  // The control's segments (100, 150, 200 %) in editor units, under the tagline.
  const int segmentY = 44, at100X = 684, at200X = 764;
  auto size = [&](int* w, int* h) { WindowSize(mEditor, w, h); };
  auto drawnToCorner = [&](int w, int h)
  {
    return WaitFor(
        [&]
        {
          const std::vector<uint32_t> corner = mHost->ReadPixels(mEditor, w - 16, h - 9, 1, 1);
          return corner.size() == 1 &&
                 (corner[0] >> 16 & 0xFF) + (corner[0] >> 8 & 0xFF) + (corner[0] & 0xFF) > 3u * 180u;
        });
  };

  gHostResizes = true;
  setenv("KESTRUNE_SCALE", "1", 1);
  OpenModule();
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(PointerIn(mEditor, at200X, segmentY, {"click", "1"}));
  int w = 0, h = 0;
  EXPECT_TRUE(WaitFor(
      [&]
      {
        size(&w, &h);
        return w == 1616 && h == 984;
      }))
      << w << "x" << h;
  EXPECT_EQ(gAskedSize.load(), 1616L << 16 | 984L);
  ERect* rect = nullptr;
  mEffect->dispatcher(mEffect, effEditGetRect, 0, 0, &rect, 0.0f);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 1616);
  EXPECT_EQ(rect->bottom - rect->top, 984);
  EXPECT_TRUE(drawnToCorner(1616, 984));
  // Back to 100 %, clicked where the control is at twice the size.
  ASSERT_TRUE(PointerIn(mEditor, 2 * at100X, 2 * segmentY, {"click", "1"}));
  EXPECT_TRUE(WaitFor(
      [&]
      {
        size(&w, &h);
        return w == kW && h == kH;
      }))
      << w << "x" << h;
  EXPECT_EQ(gAskedSize.load(), static_cast<long>(kW) << 16 | kH);
  EXPECT_TRUE(drawnToCorner(kW, kH));

  gHostResizes = false;
  gAskedSize = 0;
  ASSERT_TRUE(PointerIn(mEditor, at200X, segmentY, {"click", "1"}));
  EXPECT_TRUE(WaitFor([&] { return gAskedSize.load() != 0; }));
  EXPECT_EQ(gAskedSize.load(), 1616L << 16 | 984L);
  SleepMs(300);
  size(&w, &h);
  EXPECT_EQ(w, kW);
  EXPECT_EQ(h, kH);
  mEffect->dispatcher(mEffect, effEditGetRect, 0, 0, &rect, 0.0f);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kW);
  CloseModule();

  if (oldConfig)
    setenv("XDG_CONFIG_HOME", keptConfig.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}
} // namespace x11_test
