// Parameter binding both ways through the headless editor (values shown on the controls, typed values
// reaching the parameters and the host), the font cache and the text style record.

#include "GraphicsTestPlug.h"
#include "drawing/DRAW_CachedFont.h"
#include "framework/IEditableTextControl.h"
#include "framework/IParam.h"
#include "framework/IStructs.h"

#include <string>

namespace graphics_test
{
namespace
{

using IGraphicsBinding = GraphicsFixture;

TEST_F(IGraphicsBinding, ValuesFromThePlugInAreNormalisedReachOneControlAndRedrawOnlyWhenChanged)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kGain));
  auto* b = Add(new ProbeControl(mPlug.get(), IRECT(20, 0, 30, 10), kGain));
  auto* pan = Add(new ProbeControl(mPlug.get(), IRECT(40, 0, 50, 10), kPan));
  a->SetValueFromPlug(0.4);
  DrawAll();
  a->SetValueFromPlug(0.4);
  EXPECT_FALSE(a->IsDirty());
  a->SetValueFromPlug(0.6);
  EXPECT_TRUE(a->IsDirty());
  mGraphics->ShowParamValue(kPan, 25.0, false); // real units are normalised first
  EXPECT_DOUBLE_EQ(pan->GetValue(), 0.75);
  mGraphics->ShowParamValue(kPan, 0.1, true);
  EXPECT_DOUBLE_EQ(pan->GetValue(), 0.1);
  mGraphics->SetControlFromPlug(1, 0.7); // by control index: only that control
  mGraphics->SetControlFromPlug(5, 0.9);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.6);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.7);
  EXPECT_TRUE(HostCalls().empty());
}

TEST_F(IGraphicsBinding, TypedDisplayTextMapsToItsValueInsideAnEditBracket)
{
  auto* sw = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kSwitch));
  mGraphics->QueuePromptAnswer("on");
  mGraphics->OnMouseDown(5, 5, &mRight);
  mGraphics->OnMouseUp(5, 5, &mRight);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(kSwitch)->Value(), 1.0);
  // Mouse-down bracket, then the entry's own bracket around the automation, then the mouse-up.
  ASSERT_EQ(HostCalls().size(), 5u);
  EXPECT_EQ(HostCalls()[0].mOpcode, audioMasterBeginEdit);
  EXPECT_EQ(HostCalls()[1].mOpcode, audioMasterBeginEdit);
  EXPECT_EQ(HostCalls()[2].mOpcode, audioMasterAutomate);
  EXPECT_EQ(HostCalls()[3].mOpcode, audioMasterEndEdit);
  EXPECT_EQ(HostCalls()[4].mOpcode, audioMasterEndEdit);
  // A text that names no display text is read as a number: "On" is not "on".
  mGraphics->ApplyPromptText(sw, mPlug->GetParam(kSwitch), "On");
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
}

TEST_F(IGraphicsBinding, TypedNumbersAreReadInTheParametersUnitsAndNegatedWhenShownNegated)
{
  auto* gain = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kGain));
  auto* pan = Add(new ProbeControl(mPlug.get(), IRECT(20, 0, 30, 10), kPan));
  mGraphics->ApplyPromptText(gain, mPlug->GetParam(kGain), " 25.5 %");
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.255);
  // Pan shows its value negated, so typing 20 means -20: normalised (-20 + 50) / 100.
  mGraphics->ApplyPromptText(pan, mPlug->GetParam(kPan), "20");
  EXPECT_DOUBLE_EQ(pan->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(kPan)->Value(), -20.0);
  // Nothing numeric reads as 0; beyond the range clamps.
  mGraphics->ApplyPromptText(gain, mPlug->GetParam(kGain), "abc");
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0);
  mGraphics->ApplyPromptText(gain, mPlug->GetParam(kGain), "1e3");
  EXPECT_DOUBLE_EQ(gain->GetValue(), 1.0);
  mGraphics->ApplyPromptText(gain, mPlug->GetParam(kGain), "nan");
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0);
  // For a control bound to no parameter the value is stored, and nobody is informed.
  auto* free = Add(new ProbeControl(mPlug.get(), IRECT(40, 0, 50, 10)));
  HostCalls().clear();
  mGraphics->ApplyPromptText(free, mPlug->GetParam(kGain), "50");
  EXPECT_DOUBLE_EQ(free->GetValue(), 0.5);
  EXPECT_TRUE(HostCalls().empty());
}

} // namespace
} // namespace graphics_test

namespace graphics_test
{
namespace
{

using IGraphicsText = GraphicsFixture;

TEST_F(IGraphicsText, FontIsSharedByStylesThatDifferOnlyInColourAlignmentAndQuality)
{
  IText a(13, IColor(255, 0, 0, 0), "Arial", IText::kStyleNormal, IText::kAlignNear);
  IText b(13, IColor(128, 255, 0, 0), "Arial", IText::kStyleNormal, IText::kAlignFar, 0,
          IText::kQualityNonAntiAliased);
  DRAW_CachedFont* font = mGraphics->FindFont(&a);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(mGraphics->FindFont(&b), font);
  IText bigger = a;
  bigger.mSize = 14;
  IText bold = a;
  bold.mStyle = IText::kStyleBold;
  IText turned = a;
  turned.mOrientation = 90;
  EXPECT_NE(mGraphics->FindFont(&bigger), font);
  EXPECT_NE(mGraphics->FindFont(&bold), font);
  EXPECT_NE(mGraphics->FindFont(&turned), font);
}

TEST(IText, FontNameThatDoesNotFitIsRefused)
{
  IText text;
  EXPECT_STREQ(text.mFont, "Arial");
  std::string longName(IText::kMaxFontNameBytes, 'x');
  EXPECT_FALSE(text.SetFont(longName.c_str()));
  EXPECT_STREQ(text.mFont, "Arial");
  std::string fits(IText::kMaxFontNameBytes - 1, 'y');
  EXPECT_TRUE(text.SetFont(fits.c_str()));
  EXPECT_EQ(std::string(text.mFont), fits);
}

} // namespace
} // namespace graphics_test
