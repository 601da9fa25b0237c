#include "editor/ScaleChooser.h"

#include "editor/EditorConstants.h"
#include "editor/EditorTextStyles.h"
#include "framework/IGraphics.h"

namespace
{
const IColor kScaleTextColor(200, 190, 200, 215);
const IColor kScaleLitTextColor(255, 255, 255, 255);
const IColor kScaleLitColor(255, 66, 110, 170);     // the pan bar's blue
const IColor kScaleChosenColor(255, 120, 150, 200); // the frame of a size waiting for the next opening
const IColor kScaleNoticeColor(255, 240, 180, 90);
const char* const kScaleLabels[kEditorScaleCount] = {"100 %", "150 %", "200 %"};
constexpr const char* kRefusedText = "kept by host";
} // namespace

ScaleChooser::ScaleChooser(IEffectBase* plug, const IRECT& rect)
    : IControl(plug, rect), mStyle(EditorTextStyle(kScaleTextPx, kScaleTextColor, IText::kAlignCenter)),
      mLitStyle(EditorTextStyle(kScaleTextPx, kScaleLitTextColor, IText::kAlignCenter)),
      mNoticeStyle(EditorTextStyle(kScaleTextPx, kScaleNoticeColor, IText::kAlignCenter))
{
}

int ScaleChooser::ScaleAt(int x) const
{
  if (x < mRECT.L || x >= mRECT.R) return 0;
  const int segment = (x - mRECT.L) * kEditorScaleCount / mRECT.W();
  return kEditorScales[segment];
}

bool ScaleChooser::Draw(IGraphics* graphics)
{
  IRECT text(mRECT.L, mRECT.T + kScaleTextTopPx, mRECT.R, mRECT.B);
  if (mRefusalTicks > 0) return graphics->DrawText(&mNoticeStyle, kRefusedText, &text);
  const int w = mRECT.W() / kEditorScaleCount;
  for (int i = 0; i < kEditorScaleCount; ++i)
  {
    const IRECT segment(mRECT.L + i * w, mRECT.T, mRECT.L + (i + 1) * w, mRECT.B);
    const bool lit = graphics->ScalePercent() == kEditorScales[i];
    if (lit) graphics->FillRect(&kScaleLitColor, &segment);
    // A size chosen while the host kept the window: it is the one the editor opens at next time.
    if (!lit && graphics->PreferredScale() == kEditorScales[i])
      graphics->DrawRect(&kScaleChosenColor, &segment);
    IRECT label(segment.L, segment.T + kScaleTextTopPx, segment.R, segment.B);
    graphics->DrawText(lit ? &mLitStyle : &mStyle, kScaleLabels[i], &label);
  }
  return true;
}

void ScaleChooser::OnMouseDown(int x, int, IMouseMod* mod)
{
  if (!mod || !mod->L) return;
  IGraphics* graphics = IGraphics::Of(mPlug);
  const int scale = ScaleAt(x);
  if (!graphics || !scale) return;
  if (!graphics->RequestScale(scale)) mRefusalTicks = kScaleRefusalTicks;
  SetDirty(false);
}

bool ScaleChooser::IsDirty()
{
  if (mRefusalTicks > 0 && --mRefusalTicks == 0) mDirty = true;
  return IControl::IsDirty() || mRefusalTicks > 0;
}
