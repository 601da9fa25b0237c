// The sampler's own editor in the built module, as a Linux host shows it: inside the host's window,
// the same pixels as the window-less editor, and every kind of control working under the mouse.

#include "X11EditorFixture.h"
#include "XdndTestSource.h"

#include "drawing/DRAW_SysBitmap.h"
#include "engine/Kestrune.h"
#include "framework/EditorPicture.h"
#include "framework/VSTEntry.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "platform/linux/ChildProcess.h"
#include "platform/linux/X11Tunables.h"
#include "plugin/TestHost.h"
#include "samplefiles/WavTestFiles.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace x11_test
{
namespace
{
constexpr unsigned long kPointerRootFocus = 1; // the focus value "whatever window is under the pointer"

std::atomic<int> gModuleAutomations{0};

// A host callback that is safe from any thread (the editor's own thread informs the host too).
VstIntPtr ModuleHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  if (opcode == audioMasterAutomate) gModuleAutomations.fetch_add(1);
  if (opcode == audioMasterVersion) return 2400;
  return 0;
}

// A short 16-bit mono WAV of a rising ramp.
void WriteWav(const std::string& path)
{
  std::vector<int16_t> ramp(4410);
  for (size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = static_cast<int16_t>(i * 7 - 15000);
  wavtest::WriteBytes(path, wavtest::MonoPcm16File(ramp, 44100));
}

void SetUpLikeAHost(AEffect* effect)
{
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, 512, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

// The window-less editor of an in-process instance in the same state, drawn whole.
std::vector<uint32_t> WindowlessEditor()
{
  AEffect* effect = VSTCreateInstance(&ModuleHost, &MakePlug);
  std::vector<uint32_t> pixels;
  if (!effect) return pixels;
  SetUpLikeAHost(effect);
  auto* g = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(static_cast<IEffectVST*>(effect->object)));
  if (g)
  {
    g->Open(nullptr);
    IRECT all(0, 0, kW, kH);
    g->Draw(&all);
    DRAW_SysBitmap* b = g->GetDrawBitmap();
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        pixels.push_back(b->getBits()[y * b->getRowSpan() + x] & 0xffffffu);
  }
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  return pixels;
}
} // namespace

class X11ModuleEditor : public X11ServerFixture
{
protected:
  X11ModuleEditor()
  {
    mTopW = kW;
    mTopH = kH;
  }
  void SetUp() override
  {
    X11ServerFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(plugintest::PluginModule::Get().Loaded()) << plugintest::PluginModule::Get().Error();
    mEffect = plugintest::PluginModule::Get().mVSTPluginMain(&ModuleHost);
    ASSERT_NE(mEffect, nullptr);
    SetUpLikeAHost(mEffect);
    ASSERT_EQ(mEffect->dispatcher(mEffect, effEditOpen, 0, 0,
                                  reinterpret_cast<void*>(static_cast<uintptr_t>(mTop)), 0.0f),
              1);
    mEditor = mHost->FirstChild(mTop);
    ASSERT_NE(mEditor, 0u) << "the editor made no window in the host's";
  }
  void TearDown() override
  {
    if (mEffect)
    {
      mEffect->dispatcher(mEffect, effEditClose, 0, 0, nullptr, 0.0f);
      mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
    }
    X11ServerFixture::TearDown();
  }
  std::string Display(int idx)
  {
    char text[kVstMaxParamStrLen * 4] = {};
    mEffect->dispatcher(mEffect, effGetParamDisplay, idx, 0, text, 0.0f);
    return text;
  }

  // Whether the instance's saved state names path (the slot's sample path is saved with it).
  bool StateHolds(const std::string& path)
  {
    void* data = nullptr;
    VstIntPtr size = mEffect->dispatcher(mEffect, effGetChunk, 0, 0, &data, 0.0f);
    if (size <= 0 || !data) return false;
    std::string bytes(static_cast<const char*>(data), static_cast<size_t>(size));
    return bytes.find(path) != std::string::npos;
  }

  // Pixels of the editor's window that differ from expected (kW x kH words, R G B), once the window
  // has had time to show it; -1 when the window could not be read.
  int ScreenDifferences(const std::vector<uint32_t>& expected)
  {
    int differences = -1;
    WaitFor(
        [&]
        {
          std::vector<uint32_t> screen = mHost->ReadPixels(mEditor, 0, 0, kW, kH);
          if (screen.size() != expected.size()) return false;
          differences = 0;
          for (size_t i = 0; i < screen.size(); ++i)
            differences += screen[i] != expected[i];
          return differences == 0;
        });
    return differences;
  }

  AEffect* mEffect = nullptr;
  unsigned long mEditor = 0;
};

TEST_F(X11ModuleEditor, FirstFrameEqualsTheWindowlessEditorPixelForPixel)
{
  std::vector<uint32_t> expected = WindowlessEditor();
  ASSERT_EQ(expected.size(), static_cast<size_t>(kW) * kH);
  EXPECT_EQ(ScreenDifferences(expected), 0);
}

TEST_F(X11ModuleEditor, PictureCallWhileOpenAnswersWhatTheWindowShows)
{
  // A changed value first, so the picture is not merely the first frame.
  mEffect->setParameter(mEffect, 0, 0.9f);
  EditorPictureRequest request;
  std::vector<uint32_t> picture(static_cast<size_t>(kW) * kH);
  request.width = kW;
  request.height = kH;
  request.ticks = 2;
  request.pixels = picture.data();
  ASSERT_EQ(mEffect->dispatcher(mEffect, effVendorSpecific, kVendorEditorPictureIndex,
                                kVendorEditorPictureValue, &request, 0.0f),
            kVendorEditorPictureDrawn);
  for (uint32_t& pixel : picture)
    pixel &= 0xffffffu; // the screen's words carry no alpha
  EXPECT_EQ(ScreenDifferences(picture), 0);
}

TEST_F(X11ModuleEditor, EveryKindOfControlChangesItsParameterUnderTheMouse)
{
  struct Gesture
  {
    const char* mWhat;
    int mParam; // slot 0
    int mX, mY;
    std::vector<std::string> mActions;
  };
  const std::string w = std::to_string(mEditor);
  auto dragTo = [&](int x, int y) -> std::vector<std::string>
  {
    return {"mousedown",       "1",       "mousemove", "--window", w, std::to_string(x),
            std::to_string(y), "mouseup", "1"};
  };
  const std::vector<Gesture> gestures = {
      {"attack knob", 5, 69, 309, dragTo(69, 279)},    {"release knob", 6, 131, 309, dragTo(131, 279)},
      {"volume knob", 9, 130, 388, dragTo(130, 358)},  {"pan slider", 7, 98, 424, dragTo(125, 424)},
      {"on/off switch", 0, 60, 342, {"click", "1"}},   {"alternate switch", 8, 97, 438, {"click", "1"}},
      {"reverse switch", 10, 52, 446, {"click", "1"}}, {"loop switch", 11, 112, 446, {"click", "1"}},
  };
  for (const Gesture& g : gestures)
  {
    const float before = mEffect->getParameter(mEffect, g.mParam);
    ASSERT_TRUE(PointerIn(mEditor, g.mX, g.mY, g.mActions)) << g.mWhat;
    EXPECT_TRUE(WaitFor([&] { return mEffect->getParameter(mEffect, g.mParam) != before; }, 2000)) << g.mWhat;
  }
  EXPECT_GT(gModuleAutomations.load(), 0);

  // The semitones field: a click opens the entry, Enter commits what was typed.
  ASSERT_TRUE(PointerIn(mEditor, 75, 385, {"click", "1"}));
  // The entry field takes the keyboard when it opens.
  ASSERT_TRUE(
      WaitFor([&] { return mHost->FocusWindow() > kPointerRootFocus && mHost->FocusWindow() != mTop; }));
  ASSERT_TRUE(Type("2.5"));
  ASSERT_TRUE(Key("Return"));
  EXPECT_TRUE(WaitFor([&] { return Display(4) == "2.5"; })) << Display(4);
}
} // namespace x11_test

namespace x11_test
{
TEST_F(X11ModuleEditor, WavDroppedFromAnotherClientLoadsAndARightClickCopiesItsPath)
{
  const std::string wav = TempDir() + "/dropped ramp.wav";
  WriteWav(wav);
  std::string uri = "file://";
  for (char c : wav)
    uri += c == ' ' ? std::string("%20") : std::string(1, c);
  XdndResult r = DragAndDrop(mEditor, kSampleViewX, kSampleViewY, uri + "\r\n", false);
  EXPECT_TRUE(r.mFinishedOk);
  ASSERT_TRUE(WaitFor([&] { return StateHolds(wav); }));

  ASSERT_TRUE(PointerIn(mEditor, kSampleViewX, kSampleViewY, {"click", "3"}));
  std::string text;
  EXPECT_TRUE(WaitFor(
      [&] {
        return RunTool({"xclip", "-o", "-selection", "clipboard"}, &text) == 0 && text == wav;
      }))
      << text;
}

TEST_F(X11ModuleEditor, InstrumentWithAMissingSampleShowsItsBoxWhileTheRenderGoesOnAndOkClosesIt)
{
  const std::string good = TempDir() + "/good.wav";
  WriteWav(good);
  const std::string sfz = TempDir() + "/kit.sfz";
  std::ofstream(sfz) << "<region>\nsample=gone.wav\n<region>\nsample=good.wav\n";
  XdndResult r = DragAndDrop(mEditor, kSampleViewX, kSampleViewY, "file://" + sfz + "\r\n", false);
  EXPECT_TRUE(r.mFinishedOk);
  ASSERT_TRUE(WaitFor([&] { return StateHolds(good); }));
  // The loader posted the warning; the editor's own thread makes the box.
  std::string box;
  ASSERT_TRUE(WaitFor(
      [&]
      {
        return RunTool({"xdotool", "search", "--name", "^Wrong Sample in SFZ file$"}, &box) == 0 &&
               !box.empty();
      }));
  box = box.substr(0, box.find('\n'));
  // The box is open and the instance is free: a block renders.
  std::vector<float> left(64), right(64);
  float* outs[2] = {left.data(), right.data()};
  mEffect->processReplacing(mEffect, nullptr, outs, 64);
  // OK sits centred at the bottom of the box.
  std::string geometry;
  ASSERT_EQ(RunTool({"xdotool", "getwindowgeometry", "--shell", box}, &geometry), 0);
  const size_t height = geometry.find("HEIGHT=");
  ASSERT_NE(height, std::string::npos) << geometry;
  const int okY =
      std::stoi(geometry.substr(height + 7)) - kMessageBoxMarginPx - kMessageBoxButtonHeightPx / 2;
  ASSERT_TRUE(PointerIn(std::stoul(box), kMessageBoxWidthPx / 2, okY, {"click", "1"}));
  EXPECT_TRUE(WaitFor(
      [&] {
        return RunTool({"xdotool", "search", "--name", "^Wrong Sample in SFZ file$"}) != 0;
      }));
}

TEST_F(X11ModuleEditor, FileChosenInTheDialogLoadsIntoTheClickedSlot)
{
  const std::string wav = TempDir() + "/chosen.wav";
  WriteWav(wav);
  WriteScript(TempDir() + "/zenity", "echo '" + wav + "'");
  PrependPath(TempDir());
  ASSERT_TRUE(PointerIn(mEditor, kSampleViewX, kSampleViewY, {"click", "1"}));
  EXPECT_TRUE(WaitFor([&] { return StateHolds(wav); }));
}
} // namespace x11_test

namespace x11_test
{
TEST_F(X11ModuleEditor, WithoutAFileDialogTheMessageBarSaysHowToLoadAFile)
{
  PrependPath(TempDir(), true); // neither zenity nor kdialog
  const std::vector<uint32_t> before = mHost->ReadPixels(mEditor, 10, 476, 790, 16);
  const int windows = mHost->TopLevelCount();
  ASSERT_TRUE(PointerIn(mEditor, kSampleViewX, kSampleViewY, {"click", "1"}));
  EXPECT_TRUE(WaitFor([&] { return mHost->ReadPixels(mEditor, 10, 476, 790, 16) != before; }));
  // The hint is in the bar, not in a message box of its own.
  SleepMs(50);
  EXPECT_EQ(mHost->TopLevelCount(), windows);
}
} // namespace x11_test

namespace x11_test
{
// The real dialog programs: cancelled with a real Escape key, a second click opens them again.
class X11RealFileDialog : public X11ModuleEditor, public ::testing::WithParamInterface<const char*>
{
protected:
  // The dialog's window, once it shows (0 when it does not within the time).
  unsigned long DialogWindow(int timeoutMs)
  {
    unsigned long window = 0;
    WaitFor(
        [&]
        {
          std::string out;
          if (RunTool({"xdotool", "search", "--name", "Select audio sample"}, &out) != 0) return false;
          window = std::stoul(out);
          return window != 0;
        },
        timeoutMs);
    return window;
  }
  bool DialogGone()
  {
    return WaitFor(
        [&] {
          return RunTool({"xdotool", "search", "--name", "Select audio sample"}) != 0;
        },
        10000);
  }
  void Cancel(unsigned long dialog)
  {
    const std::string id = std::to_string(dialog);
    RunTool({"xdotool", "windowfocus", "--sync", id});
    RunTool({"xdotool", "key", "Escape"});
  }
};

TEST_P(X11RealFileDialog, CancelledDialogOpensAgainOnTheNextClickAndLoadsNothing)
{
  const std::string program = GetParam();
  if (ChildProcess::FindInPath(program.c_str()).empty()) GTEST_SKIP() << program << " is not installed";
  // Only this program: the other one must not answer in its place.
  const std::string bin = TempDir() + "/bin";
  RunTool({"mkdir", "-p", bin});
  RunTool({"ln", "-sf", ChildProcess::FindInPath(program.c_str()), bin + "/" + program});
  RunTool({"ln", "-sf", ChildProcess::FindInPath("sh"), bin + "/sh"});
  PrependPath(bin, true);

  for (int round = 0; round < 2; ++round)
  {
    ASSERT_TRUE(PointerIn(mEditor, kSampleViewX, kSampleViewY, {"click", "1"}));
    const unsigned long dialog = DialogWindow(20000);
    std::string processes;
    if (dialog == 0) RunTool({"ps", "-eo", "pid,ppid,stat,etime,args"}, &processes);
    ASSERT_NE(dialog, 0u) << "round " << round << ": the dialog did not open\n" << processes;
    SleepMs(2000); // late enough for everything the dialog starts around itself
    Cancel(dialog);
    ASSERT_TRUE(DialogGone()) << "round " << round;
  }
  EXPECT_FALSE(StateHolds(".wav"));
}

INSTANTIATE_TEST_SUITE_P(Programs, X11RealFileDialog, ::testing::Values("zenity", "kdialog"));
} // namespace x11_test
