// The voice-activity strips and the message bar's tick rule.

#include "editor/EditorFixture.h"

#include "editor/SampleActivity.h"
#include "framework/IGraphics.h"

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
  std::lock_guard<std::recursive_mutex> lock(mPlug->Mutex());
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
  EXPECT_FALSE(bar->SetMessage(std::string(1024, 'x').c_str()));
  EXPECT_STREQ(bar->Text(), "short");
  EXPECT_TRUE(bar->SetMessage(std::string(1023, 'y').c_str()));
}
} // namespace editortest
