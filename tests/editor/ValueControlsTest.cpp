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

TEST_F(EditorTest, WheelStepsAKnobByOneHundredthOrOneThousandthWithShift)
{
  auto* knob = dynamic_cast<IKnobRotVal*>(ControlFor(Idx(0, kAttack)));
  const double before = knob->GetValue();
  Wheel(knob->CentreX(), knob->CentreY(), 3);
  EXPECT_NEAR(Param(0, kAttack)->GetNormalized(), before + 0.03, kEps);
  Wheel(knob->CentreX(), knob->CentreY(), -1, true);
  EXPECT_NEAR(Param(0, kAttack)->GetNormalized(), before + 0.029, kEps);
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
