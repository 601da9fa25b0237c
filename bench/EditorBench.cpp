// Editor redraw through the graphics context: a full 808 x 492 pass over a background bitmap and 100
// small bitmap controls, and the 758 x 4 always-redraw strip of the activity marks.

#include "drawing/DRAW_MemBitmap.h"
#include "framework/IBitmapControl.h"
#include "framework/IEffectVST.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
constexpr int kEditorW = 808;
constexpr int kEditorH = 492;
constexpr int kKnobSide = 30;
constexpr int kNumSmallControls = 100;

VstIntPtr SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
  return 0;
}

class BenchPlug : public IEffectVST
{
public:
  BenchPlug()
      : IEffectVST(IEffectInstanceInfo{&SilentHost}, 0, "0-2", 1, "Bench", "", "Bench", 0x10000, 0x42656e63,
                   0x42656e63, 0, 0, true, true)
  {
  }
};

// Opaque gradient background and a two-frame round mark with transparent corners.
std::unique_ptr<DRAW_MemBitmap> MakeBackground()
{
  auto bmp = std::make_unique<DRAW_MemBitmap>(kEditorW, kEditorH, 4);
  for (int y = 0; y < kEditorH; ++y)
    for (int x = 0; x < kEditorW; ++x)
      bmp->Row(y)[x] = DRAW_MakePixel(x & 255, y & 255, (x + y) & 255, 255);
  return bmp;
}

std::unique_ptr<DRAW_MemBitmap> MakeKnob()
{
  auto bmp = std::make_unique<DRAW_MemBitmap>(kKnobSide, 2 * kKnobSide, 4);
  const int c = kKnobSide / 2;
  for (int y = 0; y < 2 * kKnobSide; ++y)
    for (int x = 0; x < kKnobSide; ++x)
    {
      int dy = y % kKnobSide - c, dx = x - c;
      bool inside = dx * dx + dy * dy <= c * c;
      bmp->Row(y)[x] = DRAW_MakePixel(200, 180, y < kKnobSide ? 40 : 220, inside ? 230 : 0);
    }
  return bmp;
}

struct Editor
{
  Editor()
  {
    graphics = new IGraphicsHeadless(&plug, kEditorW, kEditorH);
    IBitmap bg(background.get(), kEditorW, kEditorH, 1);
    graphics->AddControl(new IBitmapControl(&plug, IRECT(0, 0, kEditorW, kEditorH), -1, &bg,
                                            IChannelBlend(IChannelBlend::kBlendClobber, 1.0f)));
    IBitmap mark(knob.get(), kKnobSide, 2 * kKnobSide, 2);
    for (int i = 0; i < kNumSmallControls; ++i)
    {
      int x = 10 + (i % 20) * 39, y = 90 + (i / 20) * 70;
      auto* control = new IBitmapControl(&plug, x, y, -1, &mark);
      control->SetValueFromPlug((i % 2) ? 1.0 : 0.0);
      graphics->AddControl(control);
    }
    plug.AttachGraphics(graphics);
    graphics->Open(nullptr);
  }
  std::unique_ptr<DRAW_MemBitmap> background = MakeBackground();
  std::unique_ptr<DRAW_MemBitmap> knob = MakeKnob();
  BenchPlug plug;
  IGraphicsHeadless* graphics; // owned by plug
};

void BM_EditorFullRedraw(benchmark::State& state)
{
  Editor editor;
  IRECT all(0, 0, kEditorW, kEditorH);
  for (auto _ : state)
  {
    editor.graphics->Draw(&all);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kEditorW * kEditorH);
}
BENCHMARK(BM_EditorFullRedraw)->Unit(benchmark::kMillisecond);

void BM_EditorActivityStripRedraw(benchmark::State& state)
{
  Editor editor;
  IRECT strip(26, 73, 784, 77);
  for (auto _ : state)
  {
    editor.graphics->Draw(&strip);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * strip.W() * strip.H());
}
BENCHMARK(BM_EditorActivityStripRedraw)->Unit(benchmark::kMicrosecond);
} // namespace
