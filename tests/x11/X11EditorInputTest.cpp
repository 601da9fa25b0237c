// Mouse, wheel, keys and the inline text entry of the X11 editor, driven by xdotool as a user would.

#include "X11EditorFixture.h"

namespace x11_test
{
class X11EditorInput : public X11EditorFixture
{
protected:
  void SetUp() override
  {
    X11EditorFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(OpenEditor());
  }
  // Left click on the number field and wait for the entry to open.
  void OpenNumberField()
  {
    ASSERT_TRUE(Pointer(kFieldRect.MW(), kFieldRect.MH(), {"click", "1"}));
    ASSERT_TRUE(WaitFor([&] { return TextEntryOpen(); }));
  }
};

TEST_F(X11EditorInput, DragUpOnTheKnobRaisesItsParameterAndRepaintsIt)
{
  const int automateBefore = gAutomateCalls.load();
  ASSERT_TRUE(Pointer(kKnobRect.MW(), kKnobRect.MH(),
                      {"mousedown", "1", "mousemove", "--window", std::to_string(EditorWindow()),
                       std::to_string(kKnobRect.MW()), std::to_string(kKnobRect.MH() - 30), "mouseup", "1"}));
  // 30 pixels up a 50-pixel knob geared 4: +0.15 of the range.
  ASSERT_TRUE(WaitFor([&] { return mPlug->Gain() > 64.0; }));
  EXPECT_NEAR(mPlug->Gain(), 65.0, 0.51);
  EXPECT_GT(gAutomateCalls.load(), automateBefore);
  const double v = mPlug->Gain() / 100.0;
  EXPECT_TRUE(
      WaitFor([&] { return ScreenPixel(kKnobRect.L + 1, kKnobRect.B - 2) == ColourKnob::ColourFor(v); }));
}

TEST_F(X11EditorInput, WheelNotchesStepTheKnobOnePercentEach)
{
  ASSERT_TRUE(
      Pointer(kKnobRect.MW(), kKnobRect.MH(), {"click", "4", "click", "4", "click", "5", "click", "4"}));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Gain() > 51.9; }));
  EXPECT_NEAR(mPlug->Gain(), 52.0, 1e-9);
}

TEST_F(X11EditorInput, NumberFieldTypesAndCommitsOnEnter)
{
  OpenNumberField();
  ASSERT_TRUE(Type("42.5"));
  ASSERT_TRUE(Key("Return"));
  ASSERT_TRUE(WaitFor([&] { return !TextEntryOpen(); }));
  EXPECT_DOUBLE_EQ(mPlug->Gain(), 42.5);
}

TEST_F(X11EditorInput, EditingKeysMoveTheCaretAndDeleteAroundIt)
{
  OpenNumberField();
  // The field opens with its text selected: typing replaces it.
  ASSERT_TRUE(Type("123"));
  ASSERT_TRUE(Key("Home Delete End BackSpace"));
  ASSERT_TRUE(Type("7"));
  ASSERT_TRUE(Key("Left Left BackSpace Return"));
  // "123" -> Home Delete "23" -> End BackSpace "2" -> "27" -> caret at the start, where BackSpace
  // deletes nothing.
  ASSERT_TRUE(WaitFor([&] { return !TextEntryOpen(); }));
  EXPECT_DOUBLE_EQ(mPlug->Gain(), 27.0);
}

TEST_F(X11EditorInput, EscapeCancelsTheNumberField)
{
  OpenNumberField();
  ASSERT_TRUE(Type("7"));
  ASSERT_TRUE(Key("Escape"));
  ASSERT_TRUE(WaitFor([&] { return !TextEntryOpen(); }));
  EXPECT_DOUBLE_EQ(mPlug->Gain(), 50.0);
}

TEST_F(X11EditorInput, RightClickCancelsTheNumberField)
{
  OpenNumberField();
  ASSERT_TRUE(Type("9"));
  ASSERT_TRUE(Pointer(5, 110, {"click", "3"}));
  ASSERT_TRUE(WaitFor([&] { return !TextEntryOpen(); }));
  EXPECT_DOUBLE_EQ(mPlug->Gain(), 50.0);
}

TEST_F(X11EditorInput, ClickElsewhereCommitsTheNumberField)
{
  OpenNumberField();
  ASSERT_TRUE(Type("12"));
  ASSERT_TRUE(Pointer(5, 110, {"click", "1"}));
  ASSERT_TRUE(WaitFor([&] { return !TextEntryOpen(); }));
  EXPECT_DOUBLE_EQ(mPlug->Gain(), 12.0);
}

TEST_F(X11EditorInput, FreeTextFieldTakesTheTypedText)
{
  ASSERT_TRUE(Pointer(kTextRect.MW(), kTextRect.MH(), {"click", "1"}));
  ASSERT_TRUE(WaitFor([&] { return TextEntryOpen(); }));
  ASSERT_TRUE(Type("pad 2"));
  ASSERT_TRUE(Key("Return"));
  ASSERT_TRUE(WaitFor([&] { return !TextEntryOpen(); }));
  EXPECT_EQ(mPlug->TextFieldText(), "pad 2");
}

TEST_F(X11EditorInput, TwoQuickClicksAreOneDoubleClick)
{
  PrependPath(TempDir(), true); // no browser opener: the page fails quietly into a box
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "--repeat", "3", "--delay", "40", "1"}));
  ASSERT_TRUE(WaitFor(
      [&]
      {
        std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
        return mPlug->mProbe->mDblClicks > 0;
      }));
  SleepMs(100);
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  EXPECT_EQ(mPlug->mProbe->mDblClicks, 1); // the third click starts a new pair
}
} // namespace x11_test
