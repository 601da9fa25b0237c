#include "GraphicsTestPlug.h"

#include "drawing/DRAW_SysBitmap.h"

namespace graphics_test
{

std::vector<HostCall>& HostCalls()
{
  static std::vector<HostCall> calls;
  return calls;
}

VstIntPtr RecordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt)
{
  if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit)
    HostCalls().push_back({opcode, index, opt});
  return 0;
}

int CountCalls(int opcode, int index)
{
  int n = 0;
  for (const HostCall& c : HostCalls())
    if (c.mOpcode == opcode && (index < 0 || c.mIndex == index)) ++n;
  return n;
}

TestPlug::TestPlug()
    : IEffectVST(IEffectInstanceInfo{&RecordingHost}, kNumTestParams, "0-2", 1, "Graphics Test", "", "Tester",
                 0x10000, 0x47667854, 0x54657374, 0, 0, true, true)
{
  GetParam(kGain)->InitDouble("Gain", 50.0, 0.0, 100.0, 0.1, "%");
  GetParam(kSwitch)->InitBool("Switch", false);
  GetParam(kPan)->InitInt("Pan", 0, -50, 50);
  GetParam(kPan)->SetNegateDisplay(true);
}

void TestPlug::OnParamChange(int paramIdx)
{
  mChanged.push_back(paramIdx);
}

ProbeControl::ProbeControl(IEffectBase* plug, const IRECT& r, int paramIdx, IColor color)
    : IControl(plug, r, paramIdx), mColor(color)
{
}

bool ProbeControl::Draw(IGraphics* graphics)
{
  ++mDraws;
  return graphics->FillRect(&mColor, &mRECT);
}

void ProbeControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  ++mDowns;
  IControl::OnMouseDown(x, y, mod);
}
void ProbeControl::OnMouseUp(int, int, IMouseMod*)
{
  ++mUps;
}
void ProbeControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod*)
{
  mDrags.emplace_back(dX, dY);
}
void ProbeControl::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  ++mDblClicks;
  IControl::OnMouseDblClick(x, y, mod);
}
void ProbeControl::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  ++mWheels;
  IControl::OnMouseWheel(x, y, mod, d);
}
void GraphicsFixture::SetUp()
{
  mPlug = std::make_unique<TestPlug>();
  mGraphics = new IGraphicsHeadless(mPlug.get(), kW, kH);
  mPlug->AttachGraphics(mGraphics);
  mGraphics->Open(nullptr);
  HostCalls().clear();
}

void GraphicsFixture::TearDown()
{
  mPlug.reset();
  HostCalls().clear();
}

IColor GraphicsFixture::PixelAt(int x, int y) const
{
  DRAW_Pixel p = mGraphics->GetDrawBitmap()->Row(y)[x];
  return IColor(DRAW_GetA(p), DRAW_GetR(p), DRAW_GetG(p), DRAW_GetB(p));
}

void GraphicsFixture::DrawAll()
{
  IRECT all(0, 0, kW, kH);
  mGraphics->Draw(&all);
}

} // namespace graphics_test
