#pragma once
// A small plug-in and probe control for the graphics tests: the plug-in is a real VST binding whose
// host callback records the edit notifications, with a headless editor attached and open.

#include "framework/IControl.h"
#include "framework/IEffectVST.h"
#include "framework/IGraphics.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace graphics_test
{

// One host callback call the tests look at.
struct HostCall
{
  int mOpcode;
  int mIndex;
  float mOpt;
};

// The host callback's record (the callback is a plain function, so the record is global).
std::vector<HostCall>& HostCalls();
VstIntPtr RecordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                        float opt);
// How many recorded calls have opcode (and index, when index >= 0).
int CountCalls(int opcode, int index = -1);

enum TestParam
{
  kGain = 0,   // double 0..100, step 0.1, "%"
  kSwitch = 1, // bool, "off"/"on"
  kPan = 2,    // int -50..50 shown negated
  kNumTestParams
};

class TestPlug : public IEffectVST
{
public:
  TestPlug();
  void OnParamChange(int paramIdx) override;
  std::vector<int> mChanged; // parameters applied, in order
};

// A control that records what reaches it and draws its rectangle in one colour.
class ProbeControl : public IControl
{
public:
  ProbeControl(IEffectBase* plug, const IRECT& r, int paramIdx = -1, IColor color = IColor(255, 200, 0, 0));
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  void MarkRedraw() { mRedraw = true; }

  IColor mColor;
  int mDowns = 0, mUps = 0, mDblClicks = 0, mWheels = 0, mDraws = 0;
  std::vector<std::pair<int, int>> mDrags; // (dX, dY)
};

// The plug-in with its headless editor attached and open, the host record emptied.
class GraphicsFixture : public ::testing::Test
{
protected:
  static constexpr int kW = 200;
  static constexpr int kH = 100;

  void SetUp() override;
  void TearDown() override;
  // Adds a control to the editor and answers it.
  template <class C> C* Add(C* control)
  {
    mGraphics->AddControl(control);
    return control;
  }
  // The back buffer's pixel at (x, y) as an IColor.
  IColor PixelAt(int x, int y) const;
  // Draws everything once so that every control is clean.
  void DrawAll();

  std::unique_ptr<TestPlug> mPlug;
  IGraphicsHeadless* mGraphics = nullptr; // owned by the plug-in
  IMouseMod mLeft{true};
  IMouseMod mRight{false, true};
  IMouseMod mShiftLeft{true, false, true};
};

} // namespace graphics_test
