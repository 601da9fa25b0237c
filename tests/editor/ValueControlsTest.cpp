// Gestures on the value controls reach the parameters and the engine; host automation moves them.

#include "editor/EditorFixture.h"

#include "editor/IButton.h"
#include "editor/IInputPrm.h"
#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"
#include "framework/IGraphics.h"

#include <cmath>

namespace editortest
{
namespace
{
constexpr double kEps = 1e-9;
int Idx(int slot, ESlotParam kind)
{
  return slot * kParamsPerSlot + kind;
}
} // namespace

TEST_F(EditorTest, DraggingEachKnobUpRaisesItsParameterAndTheEngineFollows)
{
  for (int s = 0; s < kNumSlots; ++s)
  {
    for (ESlotParam kind : {kAttack, kRelease, kVolume})
    {
      auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(s, kind)));
      ASSERT_NE(knob, nullptr);
      const double before = knob->GetValue();
      // 56 px high, gearing 4: 20 px up is 20 / 224 of the range.
      Drag(knob->CentreX(), knob->CentreY(), knob->CentreX(), knob->CentreY() - 20);
      EXPECT_NEAR(knob->GetValue(), before + 20.0 / 224.0, kEps) << s << " " << kind;
      // The parameter holds that value (volume in whole decibels).
      IParam expected = *Param(s, kind);
      expected.SetNormalized(knob->GetValue());
      EXPECT_DOUBLE_EQ(Param(s, kind)->Value(), expected.Value());
    }
    const double seconds = Param(s, kAttack)->Value();
    EXPECT_EQ(mPlug->AppliedInt(Idx(s, kAttack)), static_cast<int>(seconds * 100 + 0.5));
    EXPECT_FLOAT_EQ(Engine().mVolumeGain[s],
                    static_cast<float>(std::exp(mPlug->AppliedInt(Idx(s, kVolume)) * 0.11512925464970228)));
  }
}

TEST_F(EditorTest, KnobDragWithShiftIsTenTimesFinerAndDownwardsLowers)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(2, kRelease)));
  ASSERT_NE(knob, nullptr);
  const double before = knob->GetValue();
  Drag(knob->CentreX(), knob->CentreY(), knob->CentreX(), knob->CentreY() - 20, true);
  EXPECT_NEAR(knob->GetValue(), before + 20.0 / 2240.0, kEps);
  Drag(knob->CentreX(), knob->CentreY(), knob->CentreX(), knob->CentreY() + 40);
  EXPECT_NEAR(knob->GetValue(), before + 20.0 / 2240.0 - 40.0 / 224.0, kEps);
}

TEST_F(EditorTest, KnobGestureIsBracketedForTheHostWhichHearsTheValue)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(1, kAttack)));
  Drag(knob->CentreX(), knob->CentreY(), knob->CentreX(), knob->CentreY() - 10);
  ASSERT_FALSE(mHost.mAutomates.empty());
  EXPECT_EQ(mHost.mAutomates.back().mIdx, Idx(1, kAttack));
  EXPECT_FLOAT_EQ(mHost.mAutomates.back().mValue, static_cast<float>(knob->GetValue()));
  EXPECT_EQ(mHost.mBeginEdits, std::vector<int>{Idx(1, kAttack)});
  EXPECT_EQ(mHost.mEndEdits, std::vector<int>{Idx(1, kAttack)});
}

TEST_F(EditorTest, WheelStepsAKnobByOneHundredthOrOneThousandthWithShift)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(0, kAttack)));
  const double before = knob->GetValue();
  Wheel(knob->CentreX(), knob->CentreY(), 3);
  EXPECT_NEAR(Param(0, kAttack)->GetNormalized(), before + 0.03, kEps);
  Wheel(knob->CentreX(), knob->CentreY(), -1, true);
  EXPECT_NEAR(Param(0, kAttack)->GetNormalized(), before + 0.029, kEps);
  // The gesture's end reaches the host half a second of ticks later.
  EXPECT_TRUE(mHost.mEndEdits.empty());
  Gui()->Ticks(13);
  EXPECT_EQ(mHost.mEndEdits, std::vector<int>{Idx(0, kAttack)});
}

TEST_F(EditorTest, DoubleClickRestoresTheDefaultOfKnobAndSlider)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(3, kAttack)));
  const double attackDefault = Param(3, kAttack)->GetNormalized(0.8);
  Drag(knob->CentreX(), knob->CentreY(), knob->CentreX(), knob->CentreY() - 30);
  ASSERT_GT(std::fabs(Param(3, kAttack)->GetNormalized() - attackDefault), 0.1);
  DoubleClick(knob->CentreX(), knob->CentreY());
  EXPECT_NEAR(Param(3, kAttack)->Value(), 0.8, 1e-9);
  EXPECT_EQ(mPlug->AppliedInt(Idx(3, kAttack)), 80);

  auto* slider = dynamic_cast<ISlider*>(ControlFor(Idx(3, kPan)));
  Click(slider->HandleRect().L + 10, 424);
  ASSERT_NE(Param(3, kPan)->Value(), 0.0);
  DoubleClick(slider->HandleRect().L + 10, 424);
  EXPECT_EQ(Param(3, kPan)->Value(), 0.0);
}

TEST_F(EditorTest, RightClickOnAKnobOpensValueEntryAndTheTypedValueIsApplied)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(4, kRelease)));
  Gui()->QueuePromptAnswer("2.5");
  Click(knob->CentreX(), knob->CentreY(), true);
  ASSERT_EQ(Gui()->Prompts().size(), 1u);
  EXPECT_EQ(Gui()->Prompts()[0].mControl, knob);
  EXPECT_EQ(Gui()->Prompts()[0].mParam, Param(4, kRelease));
  EXPECT_TRUE(Gui()->Prompts()[0].mCentre);
  EXPECT_NEAR(Param(4, kRelease)->Value(), 2.5, 1e-9);
  EXPECT_EQ(mPlug->AppliedInt(Idx(4, kRelease)), 250);
}

TEST_F(EditorTest, KnobDrawsItsValueTextWithoutUnitAndTurnsWithTheValue)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(0, kAttack)));
  EXPECT_EQ(knob->TextRect(), IRECT(69 - 28, 309 + 28 - 22 - 15, 69 + 28, 309 + 28 - 22));
  auto* volume = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(0, kVolume)));
  EXPECT_EQ(volume->TextRect(), IRECT(130 - 28, 388 + 28 - 24 - 15, 130 + 28, 388 + 28 - 24));
  const double kPi = 3.14159265358979323846;
  Fx()->setParameter(Fx(), Idx(0, kAttack), 0.0f);
  EXPECT_NEAR(knob->Angle(), -150.0 * kPi / 180.0, 1e-12);
  Fx()->setParameter(Fx(), Idx(0, kAttack), 1.0f);
  EXPECT_NEAR(knob->Angle(), 150.0 * kPi / 180.0, 1e-12);
  Fx()->setParameter(Fx(), Idx(0, kAttack), 0.5f);
  EXPECT_NEAR(knob->Angle(), 0.0, 1e-12);
}

TEST_F(EditorTest, SliderClickPutsTheHandleCentreUnderThePointer)
{
  for (int s = 0; s < kNumSlots; ++s)
  {
    auto* slider = dynamic_cast<ISlider*>(ControlFor(Idx(s, kPan)));
    ASSERT_NE(slider, nullptr);
    const int x = 152 * s;
    EXPECT_EQ(slider->HandleRect(), IRECT(x + 54, 416, x + 142, 432));
    EXPECT_EQ(slider->Travel(), 77);
    // Handle 12 px wide: its centre at the left end of travel is x + 60, at the right end x + 137.
    Click(x + 60, 424);
    EXPECT_NEAR(Param(s, kPan)->Value(), -100.0, 1e-9);
    Click(x + 137, 424);
    EXPECT_NEAR(Param(s, kPan)->Value(), 100.0, 1e-9);
    Click(x + 99, 424);
    EXPECT_NEAR(slider->GetValue(), 39.0 / 77.0, kEps);
    EXPECT_EQ(mPlug->AppliedInt(Idx(s, kPan)), static_cast<int>(std::lround(Param(s, kPan)->Value())));
  }
}

TEST_F(EditorTest, SliderDragFollowsInsideTheTrackAndIgnoresTheRest)
{
  auto* slider = dynamic_cast<ISlider*>(ControlFor(Idx(1, kPan)));
  const int x = 152;
  IMouseMod mod(true);
  Gui()->OnMouseDown(x + 99, 424, &mod);
  Gui()->OnMouseDrag(x + 80, 424, &mod);
  EXPECT_NEAR(slider->GetValue(), 20.0 / 77.0, kEps);
  // Outside the track rectangle (below it, and beyond its right end): ignored.
  Gui()->OnMouseDrag(x + 70, 440, &mod);
  Gui()->OnMouseDrag(x + 143, 424, &mod);
  EXPECT_NEAR(slider->GetValue(), 20.0 / 77.0, kEps);
  Gui()->OnMouseUp(x + 143, 424, &mod);
  // -100 + 200 * 20 / 77 = -48.05, in whole percent.
  EXPECT_EQ(Param(1, kPan)->Value(), -48.0);
  EXPECT_EQ(mPlug->AppliedInt(Idx(1, kPan)), -48);
}

TEST_F(EditorTest, SliderBarRunsFromTheTrackCentreToTheHandle)
{
  auto* slider = dynamic_cast<ISlider*>(ControlFor(Idx(0, kPan)));
  IRECT bar;
  Fx()->setParameter(Fx(), Idx(0, kPan), 0.5f);
  ASSERT_TRUE(slider->BarRect(&bar));
  EXPECT_EQ(bar.W(), 0);
  Fx()->setParameter(Fx(), Idx(0, kPan), 0.0f);
  ASSERT_TRUE(slider->BarRect(&bar));
  // From the handle centre at the left end (54 + 6) to the centre of the travel (54 + 38.5 + 6).
  EXPECT_EQ(bar, IRECT(60, 423, 99, 425));
  Fx()->setParameter(Fx(), Idx(0, kPan), 1.0f);
  ASSERT_TRUE(slider->BarRect(&bar));
  EXPECT_EQ(bar, IRECT(99, 423, 137, 425));
  EXPECT_EQ(slider->HandleDrawRect(), IRECT(54 + 77, 416, 54 + 77 + 12, 432));
}

TEST_F(EditorTest, RightClickOnTheSliderOpensValueEntry)
{
  Gui()->QueuePromptAnswer("-40");
  Click(152 * 2 + 99, 424, true);
  ASSERT_EQ(Gui()->Prompts().size(), 1u);
  EXPECT_EQ(Gui()->Prompts()[0].mParam, Param(2, kPan));
  EXPECT_NEAR(Param(2, kPan)->Value(), -40.0, 1e-9);
  EXPECT_FLOAT_EQ(Engine().mPanLeft[2], 1.2f);
  EXPECT_FLOAT_EQ(Engine().mPanRight[2], 0.6f);
}

TEST_F(EditorTest, EachButtonTogglesItsSwitchAndTheEngineFollows)
{
  struct Case
  {
    ESlotParam mKind;
    int mX, mY;
  };
  const Case cases[] = {{kActive, 56 + 13, 339 + 8},
                        {kAlternatePan, 92 + 6, 433 + 6},
                        {kReverse, 46 + 22, 441 + 10},
                        {kLoop, 106 + 22, 441 + 10}};
  for (int s = 0; s < kNumSlots; ++s)
  {
    for (const Case& c : cases)
    {
      const bool before = Param(s, c.mKind)->Value() > 0.5;
      Click(152 * s + c.mX, c.mY);
      EXPECT_EQ(Param(s, c.mKind)->Value() > 0.5, !before) << s << " " << c.mKind;
      EXPECT_EQ(mPlug->AppliedInt(Idx(s, c.mKind)), before ? 0 : 1);
      Click(152 * s + c.mX, c.mY);
      EXPECT_EQ(Param(s, c.mKind)->Value() > 0.5, before);
    }
    Click(152 * s + 56 + 13, 339 + 8);
    EXPECT_FALSE(Engine().mActive[s]);
    Click(152 * s + 106 + 22, 441 + 10);
    EXPECT_FALSE(Engine().mLoop[s]);
  }
}

TEST_F(EditorTest, RightClickOnAButtonOnlyRedraws)
{
  const double before = Param(0, kLoop)->Value();
  Click(106 + 22, 441 + 10, true);
  EXPECT_EQ(Param(0, kLoop)->Value(), before);
  EXPECT_TRUE(Gui()->Prompts().empty());
}

TEST_F(EditorTest, ReverseButtonReversesTheLoadedSampleAndTheWaveformFollows)
{
  LoadSample(1, 300, 1, [](int, uint32_t i) { return i < 150 ? 0.9 : 0.1; });
  Gui()->Ticks(1);
  const int early = SampleView(1)->Picture().LineTop(2, 0);
  const int late = SampleView(1)->Picture().LineTop(146, 0);
  EXPECT_LT(early, late); // loud start, quiet end
  Click(152 + 46 + 22, 441 + 10);
  ASSERT_TRUE(Engine().mReverse[1]);
  EXPECT_DOUBLE_EQ(Engine().mSampleData[1][0], 0.1);
  Gui()->Ticks(1);
  EXPECT_EQ(SampleView(1)->Picture().LineTop(2, 0), late);
  EXPECT_EQ(SampleView(1)->Picture().LineTop(146, 0), early);
}

TEST_F(EditorTest, SemitonesFieldTakesATypedValueThroughItsPrompt)
{
  auto* field = dynamic_cast<IInputPrm*>(ControlFor(Idx(2, kSemitonesMultiply)));
  ASSERT_NE(field, nullptr);
  char text[32];
  field->FormatValue(text, sizeof(text));
  EXPECT_STREQ(text, "1.0");
  Gui()->QueuePromptAnswer("2.5");
  Click(152 * 2 + 70, 385);
  ASSERT_EQ(Gui()->Prompts().size(), 1u);
  EXPECT_EQ(Gui()->Prompts()[0].mControl, field);
  EXPECT_FALSE(Gui()->Prompts()[0].mCentre);
  EXPECT_NEAR(Param(2, kSemitonesMultiply)->Value(), 2.5, 1e-9);
  EXPECT_FLOAT_EQ(Engine().mSemitoneMul[2], 25.0f * 0.1f);
  field->FormatValue(text, sizeof(text));
  EXPECT_STREQ(text, "2.5");
  // A right click opens the entry too.
  Click(152 * 2 + 70, 385, true);
  EXPECT_EQ(Gui()->Prompts().size(), 2u);
}

TEST_F(EditorTest, HostAutomationMovesTheBoundControls)
{
  Fx()->setParameter(Fx(), Idx(3, kVolume), 0.25f);
  EXPECT_NEAR(ControlFor(Idx(3, kVolume))->GetValue(), 0.25, 1e-7);
  Fx()->setParameter(Fx(), Idx(3, kPan), 0.75f);
  EXPECT_NEAR(ControlFor(Idx(3, kPan))->GetValue(), 0.75, 1e-7);
  Fx()->setParameter(Fx(), Idx(3, kReverse), 1.0f);
  EXPECT_EQ(ControlFor(Idx(3, kReverse))->GetValue(), 1.0);
  Fx()->setParameter(Fx(), Idx(3, kLowNote), 1.0f);
  Gui()->Ticks(1);
  EXPECT_EQ(RangeView(3)->Low(), 115);
  // The moved controls are redrawn on the next tick.
  EXPECT_TRUE(Gui()->LastPaintedArea().Intersects(ControlFor(Idx(3, kVolume))->GetRECT()));
}
} // namespace editortest
