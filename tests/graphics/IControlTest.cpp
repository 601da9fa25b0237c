// The control base's value, dirty and visibility behaviour, and the stock controls.

#include "GraphicsTestPlug.h"

#include "framework/IBitmapControl.h"
#include "framework/IEditableTextControl.h"
#include "framework/IKnobControl.h"
#include "framework/IParam.h"
#include "framework/ITextControl.h"

namespace graphics_test
{
namespace
{

using IControlBase = GraphicsFixture;

TEST_F(IControlBase, SetDirtyClampsAndPushesOnlyWhenAskedAndBound)
{
  auto* gain = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kGain));
  gain->SetClamp(0.2, 0.6);
  gain->SetValueFromUserInput(0.9);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.6);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(kGain)->Value(), 60.0);
  HostCalls().clear();
  gain->SetDirty(false);
  EXPECT_TRUE(HostCalls().empty());
}

TEST_F(IControlBase, HidingRedrawsTwiceAndGrayingDrawsAtAQuarterWeight)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10)));
  a->SetClean();
  a->Hide(true);
  a->SetClean();
  EXPECT_TRUE(a->IsDirty());
  a->GrayOut(true);
  EXPECT_FLOAT_EQ(a->GetBlend().mWeight, 0.25f);
  a->GrayOut(false);
  EXPECT_FLOAT_EQ(a->GetBlend().mWeight, 1.0f);
}

using IKnobControlDrag = GraphicsFixture;

TEST_F(IKnobControlDrag, VerticalKnobRisesAQuarterPercentPerPixelUpAndTenTimesLessWithShift)
{
  auto* knob = Add(new IKnobControl(mPlug.get(), IRECT(0, 0, 20, 100), kGain, kVertical, 4.0));
  knob->SetValueFromPlug(0.5);
  mGraphics->OnMouseDown(10, 50, &mLeft);
  mGraphics->OnMouseDrag(10, 49, &mLeft);
  EXPECT_NEAR(knob->GetValue(), 0.5025, 1e-12);
  mGraphics->OnMouseDrag(10, 48, &mShiftLeft);
  EXPECT_NEAR(knob->GetValue(), 0.50275, 1e-12);
  IMouseMod controlLeft(true, false, false, true);
  mGraphics->OnMouseDrag(10, 50, &controlLeft);
  EXPECT_NEAR(knob->GetValue(), 0.50225, 1e-12);
  mGraphics->OnMouseUp(10, 50, &mLeft);
  EXPECT_NEAR(mPlug->GetParam(kGain)->Value(), 50.225, 1e-9);
  EXPECT_EQ(CountCalls(audioMasterAutomate, kGain), 3);
  EXPECT_EQ(CountCalls(audioMasterBeginEdit, kGain), 1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
}

TEST_F(IKnobControlDrag, FourExtentsOfDragSweepTheWholeRangeVerticallyOrHorizontallyAndTheValueStaysInside)
{
  auto* knob = Add(new IKnobControl(mPlug.get(), IRECT(0, 0, 20, 10), kGain));
  mGraphics->OnMouseDown(5, 5, &mLeft);
  mGraphics->OnMouseDrag(5, -35, &mLeft);
  EXPECT_NEAR(knob->GetValue(), 1.0, 1e-12);
  mGraphics->OnMouseDrag(5, -100, &mLeft);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  mGraphics->OnMouseDrag(5, 100, &mLeft);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  mGraphics->OnMouseUp(5, 100, &mLeft);

  auto* across = Add(new IKnobControl(mPlug.get(), IRECT(100, 0, 150, 10), kPan, kHorizontal, 2.0));
  across->SetValueFromPlug(0.0);
  mGraphics->OnMouseDown(105, 5, &mLeft);
  mGraphics->OnMouseDrag(115, 0, &mLeft); // horizontal: rises to the right, vertical movement does nothing
  EXPECT_NEAR(across->GetValue(), 0.1, 1e-12);
}

TEST_F(IKnobControlDrag, KnobWithoutExtentIgnoresDrags)
{
  auto* knob = Add(new IKnobControl(mPlug.get(), IRECT(5, 5, 5, 5), kGain));
  knob->SetValueFromPlug(0.5);
  knob->OnMouseDrag(5, 4, 0, -1, &mLeft);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
}

TEST(IEditableTextControl, HiddenTextShowsOneAsteriskPerCharacterUpToTheLimit)
{
  IText style;
  IEditableTextControl field(nullptr, IRECT(0, 0, 10, 10), &style, "abcde", true, true);
  EXPECT_EQ(field.ShownText(), "*****");
  field.SetText("");
  EXPECT_EQ(field.ShownText(), "");
  field.SetText(std::string(300, 'x').c_str());
  EXPECT_EQ(field.ShownText(), std::string(IEditableTextControl::kMaxHiddenChars, '*'));
  field.SetSecret(false);
  EXPECT_EQ(field.ShownText().size(), 300u);
}

using IEditableTextPrompt = GraphicsFixture;

TEST_F(IEditableTextPrompt, ClickOpensTheTextEntryUnlessThePromptIsDisabled)
{
  IText style;
  auto* field = Add(new IEditableTextControl(mPlug.get(), IRECT(0, 0, 40, 10), &style, "abc"));
  mGraphics->OnMouseDown(5, 5, &mLeft);
  mGraphics->OnMouseUp(5, 5, &mLeft);
  ASSERT_EQ(mGraphics->Prompts().size(), 1u);
  EXPECT_EQ(mGraphics->Prompts()[0].mControl, field);
  field->DisablePrompt(true);
  mGraphics->OnMouseDown(5, 5, &mLeft);
  EXPECT_EQ(mGraphics->Prompts().size(), 1u);
}

} // namespace
} // namespace graphics_test
