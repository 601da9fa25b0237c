// Drawing layer: a full editor redraw, the activity-strip redraw, and copy-blit throughput against
// memcpy of the same bytes.

#include "drawing/DRAW_CachedFont.h"
#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"
#include "drawing/DRAW_SysBitmap.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

constexpr int kEditorWidth = 808;
constexpr int kEditorHeight = 492;

void FillGradient(DRAW_IBitmap& bmp, bool roundAlpha)
{
  const int w = bmp.getWidth(), h = bmp.getHeight();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      int a = 255;
      if (roundAlpha)
      {
        const double dx = x - w / 2.0 + 0.5, dy = y - h / 2.0 + 0.5;
        const double r = std::sqrt(dx * dx + dy * dy), edge = w / 2.0;
        a = r >= edge ? 0 : r > edge - 2 ? static_cast<int>((edge - r) * 127) : 255;
      }
      bmp.Row(y)[x] = DRAW_MakePixel((x * 5) & 255, (y * 3) & 255, (x + y) & 255, a);
    }
}

// The editor's back buffer, its background and the images its controls use.
struct Scene
{
  DRAW_SysBitmap back{kEditorWidth, kEditorHeight};
  DRAW_MemBitmap background{kEditorWidth, kEditorHeight};
  DRAW_MemBitmap knob{40, 40};
  DRAW_MemBitmap button{28, 18};
  std::unique_ptr<DRAW_CachedFont> font;

  Scene()
  {
    FillGradient(background, false);
    FillGradient(knob, true);
    FillGradient(button, true);
    font = std::make_unique<DRAW_CachedFont>();
    font->SetFromHFont(DRAW_PlatformFont::Create("Arial", 12, false, false, true), kDrawCachedFontFlags);
    font->SetTextColor(DRAW_MakePixel(230, 230, 230, 255));
  }

  // 100 controls: 30 image blits, 10 turned knobs, 20 fills, 20 lines and 20 texts.
  void DrawControls()
  {
    for (int i = 0; i < 30; ++i)
      DRAW_Blit(&back, &button, 10 + (i % 10) * 78, 40 + (i / 10) * 140, 0, 0, 28, 18, 1.0f,
                kDrawModeSourceAlpha);
    for (int i = 0; i < 10; ++i)
      DRAW_RotatedBlit(&back, &knob, 20 + i * 78, 300, 40, 40, 0, 0, 40, 40, 0.3 * i, true, 1.0f,
                       kDrawModeSourceAlpha | kDrawModeBilinear, 0, 0);
    for (int i = 0; i < 20; ++i)
      DRAW_FillRect(&back, 5 + (i % 10) * 80, 360 + (i / 10) * 20, 60, 12, DRAW_MakePixel(20, 40, 200, 160),
                    1.0f, kDrawModeSourceAlpha);
    for (int i = 0; i < 20; ++i)
      DRAW_Line(&back, 5 + (i % 10) * 80, 410 + (i / 10) * 20, 65 + (i % 10) * 80, 418 + (i / 10) * 20,
                DRAW_MakePixel(255, 200, 0, 255), 1.0f, kDrawModeSourceAlpha, i % 2 == 0);
    for (int i = 0; i < 20; ++i)
    {
      DRAW_Rect r{5 + (i % 10) * 80, 450 + (i / 10) * 16, 80 + (i % 10) * 80, 466 + (i / 10) * 16};
      font->DrawText(&back, "Vol -12.5 dB", -1, &r, kDrawTextNoClip | kDrawTextCenter);
    }
  }
};

void BM_FullRedraw(benchmark::State& state)
{
  Scene scene;
  for (auto _ : state)
  {
    DRAW_Blit(&scene.back, &scene.background, 0, 0, 0, 0, kEditorWidth, kEditorHeight, 1.0f,
              kDrawCombineCopy);
    scene.DrawControls();
    benchmark::DoNotOptimize(scene.back.getBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

// The voice-activity strip: 4 x 758 pixels of background and the position marks of a few voices.
void BM_StripRedraw(benchmark::State& state)
{
  Scene scene;
  for (auto _ : state)
  {
    DRAW_Blit(&scene.back, &scene.background, 25, 120, 25, 120, 758, 4, 1.0f, kDrawCombineCopy);
    for (int v = 0; v < 8; ++v)
      DRAW_FillRect(&scene.back, 25 + v * 90, 120, 2, 4, DRAW_MakePixel(255, 255, 255, 200), 1.0f,
                    kDrawModeSourceAlpha);
    benchmark::DoNotOptimize(scene.back.getBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StripRedraw)->Unit(benchmark::kMicrosecond);

void BM_CopyBlitFullBuffer(benchmark::State& state)
{
  Scene scene;
  for (auto _ : state)
  {
    DRAW_Blit(&scene.back, &scene.background, 0, 0, 0, 0, kEditorWidth, kEditorHeight, 1.0f,
              kDrawCombineCopy);
    benchmark::DoNotOptimize(scene.back.getBits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kEditorWidth) * kEditorHeight * 4);
}
BENCHMARK(BM_CopyBlitFullBuffer)->Unit(benchmark::kMicrosecond);

void BM_MemcpyFullBuffer(benchmark::State& state)
{
  const size_t bytes = size_t(kEditorWidth) * kEditorHeight * 4;
  std::vector<char> src(bytes, 1), dst(bytes, 0);
  for (auto _ : state)
  {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(bytes));
}
BENCHMARK(BM_MemcpyFullBuffer)->Unit(benchmark::kMicrosecond);

// For reference: the blend every control image uses, over the whole buffer.
void BM_SourceAlphaBlitFullBuffer(benchmark::State& state)
{
  Scene scene;
  for (auto _ : state)
  {
    DRAW_Blit(&scene.back, &scene.background, 0, 0, 0, 0, kEditorWidth, kEditorHeight, 0.8f,
              kDrawModeSourceAlpha);
    benchmark::DoNotOptimize(scene.back.getBits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kEditorWidth) * kEditorHeight * 4);
}
BENCHMARK(BM_SourceAlphaBlitFullBuffer)->Unit(benchmark::kMicrosecond);

} // namespace
