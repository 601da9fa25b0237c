// Mouse, wheel, key and drop routing through the headless editor, with the host's edit notifications.

#include "GraphicsTestPlug.h"

#include "framework/IParam.h"

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

TEST_F(IGraphicsRouting, DoubleClickResetsAControlToTheValueFirstShownOnIt)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  a->SetValueFromPlug(0.3);
  a->SetValueFromPlug(0.8);
  EXPECT_DOUBLE_EQ(a->GetDefaultValue(), 0.3);
  EXPECT_FALSE(mGraphics->OnMouseDblClick(5, 5, &mLeft));
  EXPECT_EQ(a->mDblClicks, 1);
  EXPECT_EQ(mGraphics->CaptureIdx(), -1);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(kGain)->Value(), 30.0);
  EXPECT_EQ(CountCalls(audioMasterAutomate, kGain), 1);
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

TEST(IGraphicsSlowTimer, WheelGestureOnATimerSlowerThanTwoTicksASecondEndsAtTheNextTick)
{
  HostCalls().clear();
  TestPlug plug;
  auto* graphics = new IGraphicsHeadless(&plug, 50, 50, 1);
  graphics->AddControl(new ProbeControl(&plug, IRECT(0, 0, 20, 20), kGain));
  plug.AttachGraphics(graphics);
  IMouseMod none;
  graphics->OnMouseWheel(5, 5, &none, 1);
  EXPECT_EQ(graphics->ParamChangeTicksLeft(), 1);
  graphics->TickAndPaint();
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
  HostCalls().clear();
}

TEST_F(IGraphicsRouting, WheelOnAnotherParameterClosesThePendingGestureAtOnce)
{
  Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  Add(new ProbeControl(mPlug.get(), IRECT(50, 0, 70, 20), kPan));
  mGraphics->OnMouseWheel(5, 5, &mLeft, 1);
  mGraphics->OnMouseWheel(55, 5, &mLeft, 1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
  EXPECT_EQ(CountCalls(audioMasterBeginEdit, kPan), 1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kPan), 0);
  mGraphics->Ticks(mGraphics->FPS() / 2);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kPan), 1);
}

TEST_F(IGraphicsRouting, WheelStepsAreTenTimesFinerWithShiftAndUnboundWheelInformsNobody)
{
  auto* bound = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  auto* free = Add(new ProbeControl(mPlug.get(), IRECT(50, 0, 70, 20)));
  mGraphics->OnMouseWheel(5, 5, &mShiftLeft, 3);
  EXPECT_NEAR(bound->GetValue(), 0.003, 1e-12);
  HostCalls().clear();
  EXPECT_TRUE(mGraphics->OnMouseWheel(55, 5, &mLeft, -1));
  EXPECT_EQ(free->mWheels, 1);
  EXPECT_DOUBLE_EQ(free->GetValue(), 0.0); // clamped at the bottom
  EXPECT_FALSE(mGraphics->OnMouseWheel(150, 80, &mLeft, 1));
  EXPECT_TRUE(HostCalls().empty());
}

TEST_F(IGraphicsRouting, ClosingTheEditorEndsThePendingWheelGesture)
{
  Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  mGraphics->OnMouseWheel(5, 5, &mLeft, 1);
  mGraphics->Close();
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
  EXPECT_EQ(mGraphics->ParamChangeTicksLeft(), 0);
}

TEST_F(IGraphicsRouting, DropGoesToTheControlUnderThePointAndEndsItsEdit)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  mGraphics->OnMouseDown(5, 5, &mLeft);
  mGraphics->OnDrop(6, 6, "/tmp/x.wav");
  EXPECT_EQ(a->mDropped, "/tmp/x.wav");
  EXPECT_EQ(mGraphics->CaptureIdx(), -1);
  EXPECT_EQ(CountCalls(audioMasterEndEdit, kGain), 1);
}

TEST_F(IGraphicsRouting, MouseOverIsDeliveredOnlyWhenEnabledAndTheLeftControlHearsOfIt)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20)));
  auto* b = Add(new ProbeControl(mPlug.get(), IRECT(50, 0, 70, 20)));
  EXPECT_FALSE(mGraphics->OnMouseOver(5, 5, nullptr));
  EXPECT_EQ(a->mOvers, 0);
  mGraphics->HandleMouseOver(true);
  EXPECT_TRUE(mGraphics->OnMouseOver(5, 5, nullptr));
  EXPECT_TRUE(mGraphics->OnMouseOver(6, 5, nullptr));
  EXPECT_EQ(a->mOvers, 2);
  EXPECT_EQ(a->mOuts, 0);
  mGraphics->OnMouseOver(55, 5, nullptr);
  EXPECT_EQ(a->mOuts, 1);
  EXPECT_EQ(b->mOvers, 1);
  mGraphics->OnMouseOver(150, 50, nullptr);
  EXPECT_EQ(b->mOuts, 1);
}

TEST_F(IGraphicsRouting, KeysGoToTheControlUnderThePoint)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20)));
  EXPECT_TRUE(mGraphics->OnKeyPress(5, 5, 'a'));
  EXPECT_FALSE(mGraphics->OnKeyPress(50, 50, 'a'));
  EXPECT_EQ(a->mKeys, 1);
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

TEST_F(IGraphicsRouting, HostWheelExtensionReachesTheControlUnderTheLastPointerPosition)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 20, 20), kGain));
  AEffect* effect = mPlug->GetAEffect();
  // No pointer position yet: nothing under it.
  EXPECT_EQ(effect->dispatcher(effect, effVendorSpecific, kVendorMouseWheelIndex, kVendorMouseWheelValue,
                               nullptr, 1.0f),
            0);
  mGraphics->HandleMouseOver(true);
  mGraphics->OnMouseOver(5, 5, nullptr);
  EXPECT_EQ(effect->dispatcher(effect, effVendorSpecific, kVendorMouseWheelIndex, kVendorMouseWheelValue,
                               nullptr, 2.0f),
            1);
  EXPECT_NEAR(a->GetValue(), 0.02, 1e-12);
}

} // namespace
} // namespace graphics_test
