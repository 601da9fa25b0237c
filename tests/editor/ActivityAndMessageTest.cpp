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

TEST_F(EditorTest, ActivityMarkSitsAtTheVoicePositionAndIsAsOpaqueAsTheVoiceIsLoud)
{
  LoadSample(1, 1000, 1, [](int, uint32_t) { return 0.2; });
  SamplerEngine& e = Engine();
  {
    std::lock_guard<std::recursive_mutex> lock(mPlug->Mutex());
    e.mVoiceSlot[0] = 2;
    e.mVoicePos[0] = 500.0;
    e.mVoiceAmp[0] = 1.0;
    e.mVoiceSlot[1] = 1; // another slot's voice
    e.mVoicePos[1] = 0.0;
    e.mVoiceSlot[2] = 2;
    e.mVoicePos[2] = 0.0;
    e.mVoiceAmp[2] = 0.0;
    e.mVoiceCount = 3;
  }
  IRECT marks[24];
  IColor colors[24];
  ASSERT_EQ(Strip(Gui(), 1)->Marks(marks, colors, 24), 2);
  const int L = 152 + 26;
  EXPECT_EQ(marks[0], IRECT(L + 71, 73, L + 79, 77)); // round((150 - 8) * 0.5)
  EXPECT_EQ(colors[0], IColor(255, 50, 175, 255));
  EXPECT_EQ(marks[1], IRECT(L, 73, L + 8, 77));
  EXPECT_EQ(colors[1], IColor(30, 100, 90, 255)); // shifted after voice 0; silent voices keep alpha 30
  Gui()->Ticks(1);
  const DRAW_Pixel p = PixelAt(L + 75, 75);
  EXPECT_EQ(DRAW_GetR(p), 50);
  EXPECT_EQ(DRAW_GetG(p), 175);
  EXPECT_EQ(DRAW_GetB(p), 255);
  std::lock_guard<std::recursive_mutex> lock(mPlug->Mutex());
  e.ClearVoiceTable();
}

TEST_F(EditorTest, ActivityColourComponentsWrapToTheirLowEightBits)
{
  LoadSample(0, 1000, 1, [](int, uint32_t) { return 0.2; });
  SamplerEngine& e = Engine();
  std::lock_guard<std::recursive_mutex> lock(mPlug->Mutex());
  for (int v = 0; v < 14; ++v)
  {
    e.mVoiceSlot[v] = 1;
    e.mVoicePos[v] = 10.0 * v;
    e.mVoiceAmp[v] = 0.5;
  }
  e.mVoiceCount = 14;
  IRECT marks[24];
  IColor colors[24];
  ASSERT_EQ(Strip(Gui(), 0)->Marks(marks, colors, 24), 14);
  // After three shifts of the first kind: G = 175 - 255 = -80, kept as 176; R = 200.
  EXPECT_EQ(colors[3], IColor(143, 200, 176, 255));
  // Three more: B = 255 - 255 = 0, G = -80 + 150 = 70, R = 305 -> 49.
  EXPECT_EQ(colors[6], IColor(143, 305 & 0xFF, 70, 0));
  e.ClearVoiceTable();
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

TEST_F(EditorTest, PlayedNotesShowInTheActivityStripAndMoveOn)
{
  LoadSample(0, 48000, 1, [](int, uint32_t) { return 0.2; });
  NoteOn(41); // the root: one frame per frame
  Render(4800);
  IRECT marks[24];
  IColor colors[24];
  ASSERT_EQ(Strip(Gui(), 0)->Marks(marks, colors, 24), 1);
  const int first = marks[0].L;
  EXPECT_EQ(first, 26 + 14); // round(142 * 0.1)
  Render(24000);
  ASSERT_EQ(Strip(Gui(), 0)->Marks(marks, colors, 24), 1);
  EXPECT_EQ(marks[0].L, 26 + 85); // round(142 * 0.6)
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
