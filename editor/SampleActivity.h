#pragma once
// A slot's voice-activity strip: one 8-pixel mark per sounding voice of the slot, placed by the
// voice's playback position within the sample and as opaque as the voice is loud. The editor repaints
// the strip on every timer tick.
//
// Reads the engine's voice table and the slot's frame count without the instance mutex (display
// only): a draw may mix values of two blocks, which only affects one frame of the display.

#include "framework/IControl.h"

#include <cstdint>

// Where an activity strip reads the engine's voice table.
struct VoiceTableRefs
{
  const double* mPos = nullptr;    // per voice: playback position in frames
  const double* mAmp = nullptr;    // per voice: current gain (velocity gain times envelope)
  const int16_t* mSlot = nullptr;  // per voice: slot + 1, or 0 when free
  const int16_t* mCount = nullptr; // voices in use (high-water mark)
  int mCapacity = 0;               // length of the arrays
};

class SampleActivity : public IControl
{
public:
  SampleActivity(IEffectBase* plug, const IRECT& rect, const VoiceTableRefs& voices, const uint32_t* frames,
                 int slot);

  bool Draw(IGraphics* graphics) override;

  // The marks Draw makes now, at most max of them; answers how many. For tests and the snapshot tool.
  int Marks(IRECT* rects, IColor* colors, int max) const;

private:
  VoiceTableRefs mVoices;
  const uint32_t* mFrames;
  short mSlot;
};
