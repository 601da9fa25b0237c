// The editor's layout (every control where it belongs, bound to the right parameter, in list order),
// the voice-activity strips and the message bar's tick rule.

#include "editor/EditorConstants.h"
#include "editor/EditorFixture.h"
#include "editor/IButton.h"
#include "editor/IEmpty.h"
#include "editor/IInputPrm.h"
#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"
#include "editor/IURLOpen.h"
#include "editor/NoteNumberField.h"
#include "editor/SampleActivity.h"
#include "editor/ScaleChooser.h"
#include "framework/IBitmapControl.h"
#include "framework/IGraphics.h"
#include "framework/ITextControl.h"

#include <typeinfo>

namespace editortest
{
namespace
{
struct Expected
{
  const std::type_info& mType;
  IRECT mRect;
  int mParam;
};

std::vector<Expected> ColumnControls(int s)
{
  const int x = 152 * s, p = 12 * s;
  return {
      {typeid(SampleActivity), IRECT(x + 26, 73, x + 176, 77), -1},
      {typeid(MySample), IRECT(x + 26, 78, x + 176, 198), -1},
      {typeid(SampleRange), IRECT(x + 25, 201, x + 175, 256), -1},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 0},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 1},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 2},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 3},
      // Knobs: 56 x 56 about their centres, the text inside the knob (negative offsets).
      {typeid(IKnobRotVal), IRECT(x + 69 - 28, 309 - 28, x + 69 + 28, 309 + 28), p + 5},
      {typeid(IKnobRotVal), IRECT(x + 131 - 28, 309 - 28, x + 131 + 28, 309 + 28), p + 6},
      {typeid(IKnobRotVal), IRECT(x + 130 - 28, 388 - 28, x + 130 + 28, 388 + 28), p + 9},
      {typeid(IButton), IRECT(x + 56, 339, x + 56 + 26, 339 + 16), p + 0},
      {typeid(IInputPrm), IRECT(x + 61, 377, x + 90, 393), p + 4},
      {typeid(ISlider), IRECT(x + 52, 416, x + 144, 432), p + 7},
      {typeid(IButton), IRECT(x + 92, 433, x + 92 + 12, 433 + 13), p + 8},
      {typeid(IButton), IRECT(x + 46, 441, x + 46 + 44, 441 + 20), p + 10},
      {typeid(IButton), IRECT(x + 106, 441, x + 106 + 44, 441 + 20), p + 11},
  };
}
} // namespace

TEST_F(EditorTest, LayoutPutsEveryControlInPlaceAndBindsItsParameter)
{
  std::vector<Expected> expected = {
      {typeid(IBitmapControl), IRECT(0, 0, 808, 492), -1},
      {typeid(ITextControl), IRECT(45, 12, 95, 30), -1},
      {typeid(IURLOpen), IRECT(308, 6, 500, 53), -1},
  };
  for (int s = 0; s < kNumSlots; ++s)
    for (const Expected& e : ColumnControls(s))
      expected.push_back(e);
  expected.push_back({typeid(BarLabel), IRECT(10, 476, 800, 492), -1});
  expected.push_back({typeid(ScaleChooser), IRECT(664, 36, 784, 52), -1});
  for (int s = 0; s < kNumSlots; ++s)
  {
    const int cx = 152 * s + 100;
    expected.push_back({typeid(NoteNumberField), IRECT(cx - 16, 209, cx + 16, 227), -1});
  }

  ASSERT_EQ(Gui()->NControls(), static_cast<int>(expected.size()));
  for (int i = 0; i < Gui()->NControls(); ++i)
  {
    IControl* c = Gui()->GetControl(i);
    SCOPED_TRACE("control " + std::to_string(i));
    EXPECT_EQ(typeid(*c), expected[i].mType);
    const IRECT& r = c->GetRECT();
    EXPECT_EQ(r, expected[i].mRect) << r.L << "," << r.T << "," << r.R << "," << r.B;
    EXPECT_EQ(c->GetTargetRECT(), c->GetRECT());
    EXPECT_EQ(c->ParamIdx(), expected[i].mParam);
  }
}

} // namespace editortest

namespace editortest
{
namespace
{
SampleActivity* Strip(IGraphicsHeadless* gui, int slot)
{
  for (int i = 0; i < gui->NControls(); ++i)
  {
    auto* strip = dynamic_cast<SampleActivity*>(gui->GetControl(i));
    if (strip && strip->GetRECT().L == 26 + 152 * slot) return strip;
  }
  return nullptr;
}
} // namespace

TEST_F(EditorTest, ActivityStripsAreRepaintedEveryTickEvenWithoutSound)
{
  IRECT marks[24];
  IColor colors[24];
  for (int s = 0; s < kNumSlots; ++s)
    EXPECT_EQ(Strip(Gui(), s)->Marks(marks, colors, 24), 0);
  const int paints = Gui()->Paints();
  Gui()->Ticks(5);
  EXPECT_EQ(Gui()->Paints(), paints + 5);
  EXPECT_EQ(Gui()->LastPaintedArea(), IRECT(26, 73, 784, 77));
}

TEST_F(EditorTest, ActivityStaysEmptyForASlotWithoutSampleAndStaysOpaqueAboveUnityGain)
{
  SamplerEngine& e = Engine();
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  e.mVoiceSlot[0] = 3;
  e.mVoicePos[0] = 5.0;
  e.mVoiceAmp[0] = 1.0;
  e.mVoiceCount = 1;
  IRECT marks[24];
  IColor colors[24];
  EXPECT_EQ(Strip(Gui(), 2)->Marks(marks, colors, 24), 0); // no sample: no division by zero
  e.mSampleFrames[2] = 100;
  e.mVoiceAmp[0] = 15.8;  // +24 dB of volume
  e.mVoicePos[0] = 250.0; // beyond the end
  ASSERT_EQ(Strip(Gui(), 2)->Marks(marks, colors, 24), 1);
  EXPECT_EQ(colors[0].A, 255);
  EXPECT_EQ(marks[0].R, 2 * 152 + 176); // clamped to the strip's end
  e.mSampleFrames[2] = 0;
  e.ClearVoiceTable();
}

TEST_F(EditorTest, MessageBarShowsAMessageForExactly216Ticks)
{
  BarLabel* bar = MessageBar();
  EXPECT_FALSE(bar->IsDirty());
  ASSERT_TRUE(bar->SetMessage("/samples/kick.wav"));
  EXPECT_EQ(bar->TicksLeft(), 216);
  Gui()->Ticks(1);
  EXPECT_TRUE(Gui()->LastPaintedArea().Intersects(bar->GetRECT()));
  Gui()->Ticks(214);
  EXPECT_STREQ(bar->Text(), "/samples/kick.wav");
  EXPECT_EQ(bar->TicksLeft(), 1);
  Gui()->Ticks(1); // the 216th: cleared and repainted once more
  EXPECT_STREQ(bar->Text(), "");
  EXPECT_TRUE(Gui()->LastPaintedArea().Intersects(bar->GetRECT()));
  Gui()->Ticks(1);
  EXPECT_EQ(Gui()->LastPaintedArea(), IRECT(26, 73, 784, 77)); // only the activity band now
  EXPECT_FALSE(bar->IsDirty());
}

TEST_F(EditorTest, MessageBarRefusesAMessageThatDoesNotFit)
{
  BarLabel* bar = MessageBar();
  ASSERT_TRUE(bar->SetMessage("short"));
  EXPECT_FALSE(bar->SetMessage(std::string(kMaxPathBytes, 'x').c_str())); // 1024 bytes, 260 on Windows
  EXPECT_STREQ(bar->Text(), "short");
  EXPECT_TRUE(bar->SetMessage(std::string(kMaxPathBytes - 1, 'y').c_str()));
}
} // namespace editortest
