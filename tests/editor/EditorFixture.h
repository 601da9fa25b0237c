#pragma once
// Fixture of the editor tests: one sampler instance built in-process (its constructor builds the
// editor), opened by a recording host, with helpers to load analysable samples into slots the way the
// loading flow does, to play notes and to drive the window-less graphics context.

#include "drawing/DRAW_Pixel.h"
#include "editor/BarLabel.h"
#include "editor/MySample.h"
#include "editor/SampleRange.h"
#include "engine/Kestrune.h"
#include "framework/IControl.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace editortest
{
class EditorTest : public ::testing::Test
{
protected:
  static constexpr double kRate = 48000.0;

  void SetUp() override;
  void TearDown() override;

  AEffect* Fx() { return mPlug->GetAEffect(); }
  IGraphicsHeadless* Gui() const { return mGui; }
  SamplerEngine& Engine() { return mPlug->Engine(); }
  MySample* SampleView(int slot) const { return mPlug->Views()->SampleView(slot); }
  SampleRange* RangeView(int slot) const { return mPlug->Views()->RangeView(slot); }
  BarLabel* MessageBar() const;
  IParam* Param(int slot, ESlotParam kind) const { return mPlug->GetParam(slot * kParamsPerSlot + kind); }

  // The visible control bound to a parameter (not the zero-size IEmpty), or null.
  IControl* ControlFor(int paramIdx) const;

  // Installs a sample into the slot under the instance mutex, as the loading flow does: planar data
  // from fn(channel, frame), the file's rate, the view's duration and name, and marks the view changed.
  void LoadSample(int slot, uint32_t frames, int channels, const std::function<double(int, uint32_t)>& fn,
                  double fileRate = kRate, const char* name = "tone.wav");
  // Empties the slot as removing its sample does.
  void ClearSlot(int slot);

  void NoteOn(int note, int velocity = 100);
  void NoteOff(int note);
  // Renders one block of n frames (voices advance).
  void Render(int n);

  // A pixel of the back buffer.
  DRAW_Pixel PixelAt(int x, int y) const;
  std::vector<DRAW_Pixel> Pixels(const IRECT& r) const;

  // Mouse gestures at editor pixels.
  void Click(int x, int y, bool right = false, bool shift = false);
  void Drag(int x0, int y0, int x1, int y1, bool shift = false);
  void DoubleClick(int x, int y);
  void Wheel(int x, int y, int d, bool shift = false);

  std::unique_ptr<CLS_KESTRUNE> mPlug;
  IGraphicsHeadless* mGui = nullptr;
};
} // namespace editortest
