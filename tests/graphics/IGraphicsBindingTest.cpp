// Parameter binding both ways: host automation and restored values shown on the controls, gestures and
// typed values reaching the parameters and the host, and the editor opcodes of the binding.

#include "GraphicsTestPlug.h"

#include "framework/IEditableTextControl.h"
#include "framework/IParam.h"

namespace graphics_test
{
namespace
{

using IGraphicsBinding = GraphicsFixture;

TEST(IGraphicsAttach, AttachingShowsEveryParameterOnItsControlsAsTheirDefault)
{
  TestPlug plug;
  auto* graphics = new IGraphicsHeadless(&plug, 100, 100);
  auto* gain = new ProbeControl(&plug, IRECT(0, 0, 10, 10), kGain);
  auto* pan = new ProbeControl(&plug, IRECT(0, 20, 10, 30), kPan);
  auto* free = new ProbeControl(&plug, IRECT(0, 40, 10, 50));
  graphics->AddControl(gain);
  graphics->AddControl(pan);
  graphics->AddControl(free);
  plug.AttachGraphics(graphics);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(gain->GetDefaultValue(), 0.5);
  EXPECT_DOUBLE_EQ(pan->GetDefaultValue(), 0.5);
  EXPECT_DOUBLE_EQ(free->GetDefaultValue(), -1.0);
  // Attaching prepares the back buffer at the editor's size, and the binding reports the editor.
  ASSERT_NE(graphics->GetDrawBitmap(), nullptr);
  EXPECT_EQ(plug.GetAEffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
}

TEST_F(IGraphicsBinding, HostAutomationIsShownOnTheBoundControlsOnly)
{
  auto* a = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kGain));
  auto* b = Add(new ProbeControl(mPlug.get(), IRECT(20, 0, 30, 10), kGain));
  auto* other = Add(new ProbeControl(mPlug.get(), IRECT(40, 0, 50, 10), kPan));
  DrawAll();
  AEffect* effect = mPlug->GetAEffect();
  effect->setParameter(effect, kGain, 0.25f);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.25);
  EXPECT_TRUE(a->IsDirty());
  EXPECT_FALSE(other->IsDirty());
  EXPECT_DOUBLE_EQ(mPlug->GetParam(kGain)->Value(), 25.0);
  // Shown, not pushed back: the host hears nothing of its own automation.
  EXPECT_TRUE(HostCalls().empty());
  effect->setParameter(effect, 99, 0.5f); // outside the list: ignored
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.25);
}

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

TEST_F(IGraphicsBinding, ControlGestureSetsTheParameterInformsTheHostAndAppliesIt)
{
  auto* gain = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kGain));
  mPlug->mChanged.clear();
  gain->OnMouseWheel(0, 0, nullptr, 10);
  EXPECT_NEAR(mPlug->GetParam(kGain)->Value(), 10.0, 1e-9);
  ASSERT_EQ(CountCalls(audioMasterAutomate, kGain), 1);
  EXPECT_NEAR(HostCalls()[0].mOpt, 0.1f, 1e-6);
  ASSERT_EQ(mPlug->mChanged.size(), 1u);
  EXPECT_EQ(mPlug->mChanged[0], kGain);
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

TEST_F(IGraphicsBinding, FreeTextEntrySetsAnEditableFieldAndBroadcastsTheNumberToUnboundControls)
{
  IText style;
  auto* field = Add(new IEditableTextControl(mPlug.get(), IRECT(0, 0, 40, 10), &style, "12"));
  auto* free = Add(new ProbeControl(mPlug.get(), IRECT(50, 0, 60, 10)));
  auto* bound = Add(new ProbeControl(mPlug.get(), IRECT(70, 0, 80, 10), kGain));
  bound->SetValueFromPlug(0.5);
  mGraphics->QueuePromptAnswer("64 and more");
  mGraphics->OnMouseDown(5, 5, &mLeft);
  ASSERT_EQ(mGraphics->Prompts().size(), 1u);
  EXPECT_EQ(mGraphics->Prompts()[0].mParam, nullptr);
  EXPECT_EQ(mGraphics->Prompts()[0].mInitialText, "12");
  EXPECT_EQ(field->GetText(), "64 and more");
  EXPECT_DOUBLE_EQ(free->GetValue(), 1.0); // 64 stored, then clamped into 0..1
  EXPECT_DOUBLE_EQ(field->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(bound->GetValue(), 0.5);
  // A read-only field keeps its text.
  field->SetEditable(false);
  mGraphics->ApplyPromptText(field, nullptr, "7");
  EXPECT_EQ(field->GetText(), "64 and more");
}

TEST_F(IGraphicsBinding, CancelledEntryAppliesNothing)
{
  auto* gain = Add(new ProbeControl(mPlug.get(), IRECT(0, 0, 10, 10), kGain));
  gain->SetValueFromPlug(0.5);
  gain->PromptUserInput();
  ASSERT_EQ(mGraphics->Prompts().size(), 1u);
  EXPECT_FALSE(mGraphics->Prompts()[0].mAnswered);
  EXPECT_TRUE(gain->IsInputPending());
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.5);
  EXPECT_TRUE(HostCalls().empty());
  gain->CancelUserInput();
  EXPECT_FALSE(gain->IsInputPending());
}

} // namespace
} // namespace graphics_test
