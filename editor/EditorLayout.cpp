#include "editor/EditorLayout.h"

#include "editor/BarLabel.h"
#include "editor/EditorConstants.h"
#include "editor/EditorTextStyles.h"
#include "editor/IButton.h"
#include "editor/IEmpty.h"
#include "editor/IInputPrm.h"
#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"
#include "editor/IURLOpen.h"
#include "editor/MakeGraphics.h"
#include "editor/MySample.h"
#include "editor/SampleActivity.h"
#include "editor/SampleRange.h"
#include "editor/ScaleChooser.h"
#include "engine/SamplerEngine.h"
#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"
#include "framework/ITextControl.h"

namespace
{
IRECT Rect(const int (&r)[4], int dx = 0)
{
  return IRECT(r[0] + dx, r[1], r[2] + dx, r[3]);
}

// The twelve controls and views of one slot's column, in list order.
void AddColumn(IGraphics* g, IEffectBase* plug, SamplerEngine* engine, int slot, BarLabel* bar,
               const IBitmap& knob, const IText& knobLight, const IText& knobDark, SlotViews* views)
{
  const int x = kColumnPitchPx * slot;
  const int p = kParamsPerSlot * slot;

  VoiceTableRefs voices;
  voices.mPos = engine->mVoicePos;
  voices.mAmp = engine->mVoiceAmp;
  voices.mSlot = engine->mVoiceSlot;
  voices.mCount = &engine->mVoiceCount;
  voices.mCapacity = kNumVoices;
  g->AddControl(new SampleActivity(plug, Rect(kActivityRect, x), voices, &engine->mSampleFrames[slot], slot));

  SlotSampleRefs refs;
  refs.mData = &engine->mSampleData[slot];
  refs.mFrames = &engine->mSampleFrames[slot];
  refs.mChannels = &engine->mSampleChannels[slot];
  refs.mRateRatio = &engine->mRateRatio[slot];
  refs.mEngineSampleRate = &engine->mEngineSampleRate;
  auto* sampleView = new MySample(plug, Rect(kSampleViewRect, x), slot, refs, bar);
  g->AddControl(sampleView);

  auto* rangeView = new SampleRange(plug, Rect(kRangeViewRect, x), slot, sampleView);
  g->AddControl(rangeView);
  views->SetViews(slot, sampleView, rangeView);

  for (int kind : {kActive, kLowNote, kHighNote, kRootNote})
    g->AddControl(new IEmpty(plug, p + kind));

  g->AddControl(new IKnobRotVal(plug, p + kAttack, x + kAttackKnobCentre[0], kAttackKnobCentre[1], knob,
                                knobLight, kKnobTextOffsetLightPx, kKnobAngleRangeDeg, 0, kVertical, false, 0,
                                kKnobGearing, kKnobWeight));
  g->AddControl(new IKnobRotVal(plug, p + kRelease, x + kReleaseKnobCentre[0], kReleaseKnobCentre[1], knob,
                                knobLight, kKnobTextOffsetLightPx, kKnobAngleRangeDeg, 0, kVertical, false, 0,
                                kKnobGearing, kKnobWeight));
  g->AddControl(new IKnobRotVal(plug, p + kVolume, x + kVolumeKnobCentre[0], kVolumeKnobCentre[1], knob,
                                knobDark, kKnobTextOffsetDarkPx, kKnobAngleRangeDeg, 0, kVertical, false, 0,
                                kKnobGearing, kKnobWeight));

  g->AddControl(new IButton(plug, p + kActive, x + kActiveButtonPos[0], kActiveButtonPos[1],
                            g->LoadBitmap(kImgActiveId, kImgActive, 1)));
  g->AddControl(new IInputPrm(plug, Rect(kSemitonesFieldRect, x), p + kSemitonesMultiply, NumberTextStyle(),
                              kSemitonesFormat, kSemitonesTextOffsetPx));
  g->AddControl(new ISlider(plug, p + kPan, Rect(kPanSliderRect, x),
                            g->LoadBitmap(kImgSliderId, kImgSlider, 1), SliderTextStyle(), kPanTrackLengthPx,
                            kPanBarColor, kPanBarThicknessPx, kHorizontal, kPanBarEndMarginPx, true));
  g->AddControl(new IButton(plug, p + kAlternatePan, x + kAlternateButtonPos[0], kAlternateButtonPos[1],
                            g->LoadBitmap(kImgAlternateId, kImgAlternate, 1)));
  g->AddControl(new IButton(plug, p + kReverse, x + kReverseButtonPos[0], kReverseButtonPos[1],
                            g->LoadBitmap(kImgReverseId, kImgReverse, 1)));
  g->AddControl(new IButton(plug, p + kLoop, x + kLoopButtonPos[0], kLoopButtonPos[1],
                            g->LoadBitmap(kImgLoopId, kImgLoop, 1)));
}
} // namespace

std::unique_ptr<SlotViews> BuildEditor(IEffectBase* plug, SamplerEngine* engine)
{
  auto views = std::make_unique<SlotViews>();
  IGraphics* g = MakeGraphics(plug, kEditorWidthPx, kEditorHeightPx, 0);
  if (!g) return views; // no editor on this platform: the engine talks to views that are not there

  g->SetBackground(kImgBackgroundId, kImgBackground);

  char version[MAX_VERSION_STR_LEN] = {};
  plug->GetEffectVersionStr(version);
  IText versionStyle = VersionTextStyle();
  g->AddControl(new ITextControl(plug, Rect(kVersionRect), &versionStyle, version));

  g->AddControl(new IURLOpen(plug, Rect(kProductPageRect)));

  const IText knobLight = KnobLightTextStyle();
  const IText knobDark = KnobDarkTextStyle();
  const IBitmap knob = g->LoadBitmap(kImgKnobId, kImgKnob, 1);
  auto* bar = new BarLabel(plug, Rect(kMessageBarRect));

  for (int s = 0; s < kNumSlots; ++s)
    AddColumn(g, plug, engine, s, bar, knob, knobLight, knobDark, views.get());

  g->AddControl(bar);
  g->AddControl(new ScaleChooser(plug, Rect(kScaleChooserRect)));
  plug->AttachGraphics(g);

  // The keyboard views' hidden note-number fields go at the end of the list. They are added here, not
  // during the first draw pass, so that the list never changes while a pass walks it.
  for (int s = 0; s < kNumSlots; ++s)
  {
    MySample* sampleView = views->SampleView(s);
    sampleView->Initialise(g);
    views->RangeView(s)->Initialise(g);
  }

  g->SetAcceptDrops(true);
  g->SetAlwaysRedrawRect(Rect(kActivityBandRect));
  return views;
}
