#include "editor/EditorFixture.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IGraphics.h"

#include <mutex>

namespace editortest
{

namespace
{
// The host: a version, and nothing else (no time information, so the transport never stops).
VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  return opcode == audioMasterVersion ? 2400 : 0;
}

// A render clock that never moves: however slow a test is, the render never sees a pause.
CLS_KESTRUNE::Clock::time_point FrozenClock()
{
  return CLS_KESTRUNE::Clock::time_point();
}
} // namespace

void EditorTest::SetUp()
{
  IEffectInstanceInfo info;
  info.mHostCallback = &QuietHost;
  mPlug = std::make_unique<CLS_KESTRUNE>(info);
  mPlug->SetRenderClock(&FrozenClock);
  AEffect* fx = Fx();
  fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
  fx->dispatcher(fx, effSetBlockSize, 0, 512, nullptr, 0.0f);
  fx->dispatcher(fx, effOpen, 0, 0, nullptr, 0.0f);
  fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);
  mGui = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(mPlug.get()));
  ASSERT_NE(mGui, nullptr);
  ASSERT_NE(mGui->Open(nullptr), nullptr);
  Render(16); // the first block starts the engine
  mGui->Ticks(1);
}

void EditorTest::TearDown()
{
  if (mGui) mGui->Close();
  mPlug.reset();
}

BarLabel* EditorTest::MessageBar() const
{
  return SampleView(0)->MessageBar();
}

IControl* EditorTest::ControlFor(int paramIdx) const
{
  for (int i = 0; i < mGui->NControls(); ++i)
  {
    IControl* c = mGui->GetControl(i);
    if (c->ParamIdx() == paramIdx && !c->GetRECT().Empty()) return c;
  }
  return nullptr;
}

void EditorTest::LoadSample(int slot, uint32_t frames, int channels,
                            const std::function<double(int, uint32_t)>& fn, double fileRate, const char* name)
{
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  SamplerEngine& e = Engine();
  e.StopSlotVoices(slot);
  const size_t planes = channels >= 2 ? 2 : 1;
  auto data = std::make_unique<double[]>(frames == 0 ? 1 : planes * frames);
  for (size_t c = 0; c < planes && frames != 0; ++c)
    for (uint32_t i = 0; i < frames; ++i)
      data[c * frames + i] = fn(static_cast<int>(c), i);
  e.mSampleData[slot] = std::move(data);
  e.mSampleFrames[slot] = frames;
  e.mSampleChannels[slot] = static_cast<int16_t>(channels);
  e.mSampleFileRate[slot] = fileRate;
  e.mRateRatio[slot] = fileRate / e.mEngineSampleRate;
  MySample* view = SampleView(slot);
  view->SetDuration(frames / fileRate);
  view->SetDisplayName(name);
  view->SetChanged();
}

void EditorTest::ClearSlot(int slot)
{
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  SamplerEngine& e = Engine();
  e.StopSlotVoices(slot);
  e.mSampleFrames[slot] = 0;
  e.mSampleData[slot] = std::make_unique<double[]>(1);
  SampleView(slot)->SetDisplayName("...");
  SampleView(slot)->SetChanged();
}

void EditorTest::NoteOn(int note, int velocity)
{
  IMidiMsg msg(0, 0x90, note, velocity);
  mPlug->ProcessMidiMsg(&msg);
}

void EditorTest::NoteOff(int note)
{
  IMidiMsg msg(0, 0x80, note, 0);
  mPlug->ProcessMidiMsg(&msg);
}

void EditorTest::Render(int n)
{
  std::vector<float> left(static_cast<size_t>(n)), right(static_cast<size_t>(n));
  float* outs[2] = {left.data(), right.data()};
  AEffect* fx = Fx();
  fx->processReplacing(fx, nullptr, outs, n);
}

DRAW_Pixel EditorTest::PixelAt(int x, int y) const
{
  return mGui->GetDrawBitmap()->Row(y)[x];
}

std::vector<DRAW_Pixel> EditorTest::Pixels(const IRECT& r) const
{
  std::vector<DRAW_Pixel> pixels;
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x)
      pixels.push_back(PixelAt(x, y));
  return pixels;
}

void EditorTest::Click(int x, int y, bool right, bool shift)
{
  IMouseMod mod(!right, right, shift);
  mGui->OnMouseDown(x, y, &mod);
  mGui->OnMouseUp(x, y, &mod);
}

void EditorTest::Drag(int x0, int y0, int x1, int y1, bool shift)
{
  IMouseMod mod(true, false, shift);
  mGui->OnMouseDown(x0, y0, &mod);
  mGui->OnMouseDrag(x1, y1, &mod);
  mGui->OnMouseUp(x1, y1, &mod);
}

void EditorTest::DoubleClick(int x, int y)
{
  IMouseMod mod(true);
  mGui->OnMouseDblClick(x, y, &mod);
  mGui->OnMouseUp(x, y, &mod);
}

void EditorTest::Wheel(int x, int y, int d, bool shift)
{
  IMouseMod mod(false, false, shift);
  mGui->OnMouseWheel(x, y, &mod, d);
}
} // namespace editortest
