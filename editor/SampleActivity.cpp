#include "editor/SampleActivity.h"

#include "editor/EditorConstants.h"
#include "framework/IGraphics.h"
#include "framework/Rounding.h"

#include <algorithm>

namespace
{
constexpr int kMaxMarks = 64;
constexpr int kAlphaBase = 30;
constexpr int kAlphaSpan = 225;
constexpr int kColourStep = 85;
constexpr int kColourRise = 50;
constexpr int kColourRiseSmall = 35;

} // namespace

SampleActivity::SampleActivity(IEffectBase* plug, const IRECT& rect, const VoiceTableRefs& voices,
                               const uint32_t* frames, int slot)
    : IControl(plug, rect), mVoices(voices), mFrames(frames), mSlot(static_cast<short>(slot))
{
}

int SampleActivity::Marks(IRECT* rects, IColor* colors, int max) const
{
  if (!mVoices.mPos || !mVoices.mAmp || !mVoices.mSlot || !mVoices.mCount || !mFrames) return 0;
  const uint32_t frames = *mFrames;
  if (frames == 0) return 0; // the position would divide by zero
  const int count = std::min<int>(*mVoices.mCount, mVoices.mCapacity);
  // Components run outside 0..255 on purpose: the colour packing keeps their low 8 bits.
  int r = 50, g = 175, b = 255;
  int n = 0;
  for (int v = 0; v < count && n < max; ++v)
  {
    if (mVoices.mSlot[v] != mSlot + 1) continue;
    // The gain includes the slot's volume, up to +24 dB: the mark is simply opaque above 1.
    const double gain = std::clamp(mVoices.mAmp[v], 0.0, 1.0);
    const int a = RoundHalfAway(gain * kAlphaSpan) + kAlphaBase;
    const double pos = std::clamp(mVoices.mPos[v], 0.0, static_cast<double>(frames));
    const int x = mRECT.L + RoundHalfAway((mRECT.R - kActivityMarkWidthPx - mRECT.L) * pos / frames);
    rects[n] = IRECT(x, mRECT.T, x + kActivityMarkWidthPx, mRECT.B);
    colors[n] = IColor(a, r & 0xFF, g & 0xFF, b & 0xFF);
    ++n;
    if (v < 3)
    {
      g -= kColourStep;
      r += kColourRise;
    }
    else if (v < 6)
    {
      b -= kColourStep;
      g += kColourRise;
      r += kColourRiseSmall;
    }
    else if (v < 9)
    {
      r -= kColourStep;
      b += kColourRise;
      g += kColourRiseSmall;
    }
    else if (v < 12)
    {
      g -= kColourStep;
      r += kColourRise;
      b += kColourRiseSmall;
    }
    else
    {
      r -= kColourStep;
    }
  }
  return n;
}

bool SampleActivity::Draw(IGraphics* graphics)
{
  IRECT rects[kMaxMarks];
  IColor colors[kMaxMarks];
  const int n = Marks(rects, colors, kMaxMarks);
  for (int i = 0; i < n; ++i)
    graphics->FillRect(&colors[i], &rects[i]);
  return true;
}
