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
