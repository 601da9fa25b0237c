// Mouse and wheel routing through the headless editor with the host's edit notifications, and the knob
// drag gearing.

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

using IGraphicsRouting = GraphicsFixture;

TEST_F(IGraphicsRouting, TopmostVisibleControlIsHitAndHiddenOrGrayedOnesAreSkipped)
{
  auto* below = Add(new ProbeControl(mPlug.get(), IRECT(10, 10, 50, 50)));
  auto* above = Add(new ProbeControl(mPlug.get(), IRECT(20, 20, 40, 40)));
  EXPECT_EQ(mGraphics->ControlAt(30, 30), 1);
  above->Hide(true);
  EXPECT_EQ(mGraphics->ControlAt(30, 30), 0);
  above->Hide(false);
  above->GrayOut(true);
  EXPECT_EQ(mGraphics->ControlAt(30, 30), 0);
  below->GrayOut(true);
  EXPECT_EQ(mGraphics->ControlAt(30, 30), -1);
  // The hit rectangle is inclusive on all four edges.
  below->GrayOut(false);
  EXPECT_EQ(mGraphics->ControlAt(10, 10), 0);
  EXPECT_EQ(mGraphics->ControlAt(50, 50), 0);
  EXPECT_EQ(mGraphics->ControlAt(51, 50), -1);
}

TEST_F(IGraphicsRouting, CapturedControlKeepsDragsOutsideItAndWhileHidden)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20)));
  auto* b = Add(new ProbeControl(mPlug.get(), IRECT(100, 0, 120, 20)));
  mGraphics->OnMouseDown(5, 5, &mLeft);
  EXPECT_EQ(mGraphics->CaptureIdx(), 0);
  mGraphics->OnMouseDrag(110, 10, &mLeft); // over b
  a->Hide(true);
  mGraphics->OnMouseDrag(112, 7, &mLeft);
  ASSERT_EQ(a->mDrags.size(), 2u);
  EXPECT_EQ(a->mDrags[0], std::make_pair(105, 5));
  EXPECT_EQ(a->mDrags[1], std::make_pair(2, -3));
  EXPECT_TRUE(b->mDrags.empty());
  // The mouse-up still goes to the captured control, then the capture ends.
  mGraphics->OnMouseUp(112, 7, &mLeft);
  EXPECT_EQ(a->mUps, 1);
  EXPECT_EQ(b->mUps, 0);
  EXPECT_EQ(mGraphics->CaptureIdx(), -1);
  mGraphics->OnMouseDrag(5, 5, &mLeft);
  EXPECT_EQ(a->mDrags.size(), 2u);
}

TEST_F(IGraphicsRouting, DragWithoutMovementOrCaptureDeliversNothing)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20)));
  mGraphics->OnMouseDown(5, 5, &mLeft);
  mGraphics->OnMouseDrag(5, 5, &mLeft);
  EXPECT_TRUE(a->mDrags.empty());
  mGraphics->OnMouseDrag(5, 6, &mLeft);
  mGraphics->OnMouseDrag(5, 6, &mLeft);
  ASSERT_EQ(a->mDrags.size(), 1u);
  EXPECT_EQ(a->mDrags[0], std::make_pair(0, 1));
  mGraphics->OnMouseUp(5, 6, &mLeft);
  mGraphics->OnMouseDown(150, 50, &mLeft); // on nothing: nothing is captured
  EXPECT_EQ(mGraphics->CaptureIdx(), -1);
  mGraphics->OnMouseDrag(10, 10, &mLeft);
  EXPECT_EQ(a->mDrags.size(), 1u);
}

TEST_F(IGraphicsRouting, MouseDownAndUpOnBoundControlBracketTheHostEdit)
{
  auto* gain = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  auto* free = Add(new ProbeControl(mPlug.get(), IRECT(50, 0, 70, 20)));
  mGraphics->OnMouseDown(5, 5, &mLeft);
  EXPECT_EQ(CountCalls(audioMasterBeginEdit, kGain), 1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit), 0);
  mGraphics->OnMouseUp(5, 5, &mLeft);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
  EXPECT_EQ(gain->mDowns, 1);
  // An unbound control sends nothing to the host.
  mGraphics->OnMouseDown(55, 5, &mLeft);
  mGraphics->OnMouseUp(55, 5, &mLeft);
  EXPECT_EQ(free->mUps, 1);
  EXPECT_EQ(HostCalls().size(), 2u);
}

TEST_F(IGraphicsRouting, DoubleClickAsSingleClickStartsACaptureLikeAMouseDown)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  a->SetDblAsSingleClick(true);
  EXPECT_TRUE(mGraphics->OnMouseDblClick(5, 5, &mLeft));
  EXPECT_EQ(a->mDowns, 1);
  EXPECT_EQ(a->mDblClicks, 0);
  EXPECT_EQ(mGraphics->CaptureIdx(), 0);
  EXPECT_EQ(CountCalls(audioMasterBeginEdit, kGain), 1);
  mGraphics->OnMouseDrag(7, 5, &mLeft);
  ASSERT_EQ(a->mDrags.size(), 1u);
  EXPECT_EQ(a->mDrags[0], std::make_pair(2, 0));
}

TEST_F(IGraphicsRouting, WheelGestureGivesOneBeginAndOneEndHalfASecondOfTicksAfterTheLastStep)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  const int halfSecond = mGraphics->FPS() / 2;
  ASSERT_EQ(halfSecond, 12);
  mGraphics->OnMouseWheel(5, 5, &mLeft, 1);
  mGraphics->Ticks(5);
  mGraphics->OnMouseWheel(5, 5, &mLeft, 2);
  EXPECT_NEAR(a->GetValue(), 0.03, 1e-12);
  EXPECT_EQ(CountCalls(audioMasterBeginEdit, kGain), 1);
  EXPECT_EQ(CountCalls(audioMasterAutomate, kGain), 2);
  // The countdown restarted at the second step.
  mGraphics->Ticks(halfSecond - 1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit), 0);
  mGraphics->Ticks(1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
  mGraphics->Ticks(2 * halfSecond);
  EXPECT_EQ(CountCalls(audioMasterBeginEdit), 1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit), 1);
  ASSERT_FALSE(HostCalls().empty());
  EXPECT_EQ(HostCalls().back().mOpcode, audioMasterEndEdit);
}

TEST_F(IGraphicsRouting, RightClickOnBoundControlOpensValueEntryWithTheDisplayText)
{
  auto* gain = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  auto* free = Add(new ProbeControl(mPlug.get(), IRECT(50, 0, 70, 20)));
  mGraphics->OnMouseDown(5, 5, &mRight);
  ASSERT_EQ(mGraphics->Prompts().size(), 1u);
  EXPECT_EQ(mGraphics->Prompts()[0].mControl, gain);
  EXPECT_EQ(mGraphics->Prompts()[0].mParam, mPlug->GetParam(kGain));
  EXPECT_TRUE(mGraphics->Prompts()[0].mCentre);
  EXPECT_EQ(mGraphics->Prompts()[0].mInitialText, "50.0");
  mGraphics->OnMouseUp(5, 5, &mRight);
  // A left click, an unbound control, or a control with the prompt disabled open nothing.
  mGraphics->OnMouseDown(5, 5, &mLeft);
  mGraphics->OnMouseUp(5, 5, &mLeft);
  mGraphics->OnMouseDown(55, 5, &mRight);
  mGraphics->OnMouseUp(55, 5, &mRight);
  gain->DisablePrompt(true);
  mGraphics->OnMouseDown(5, 5, &mRight);
  EXPECT_EQ(mGraphics->Prompts().size(), 1u);
  EXPECT_EQ(free->mDowns, 1);
}

} // namespace
} // namespace graphics_test

namespace graphics_test
{
namespace
{

using IControlBase = GraphicsFixture;

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

} // namespace
} // namespace graphics_test
