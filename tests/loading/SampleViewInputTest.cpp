// The sample views' clicks, right clicks and drops reaching the loading flow, with the window-less
// graphics context standing in for the file chooser and the clipboard.

#include "editor/BarLabel.h"
#include "editor/EditorConstants.h"
#include "editor/MySample.h"
#include "loading/LoadingFixture.h"
#include "platform/headless/IGraphicsHeadless.h"

using namespace loadingtest;

namespace
{
class SampleViewInput : public LoadingTest
{
protected:
  void SetUp() override
  {
    LoadingTest::SetUp();
    OpenAt(44100.0);
    mGui = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(mPlug.get()));
    ASSERT_NE(mGui, nullptr);
    ASSERT_NE(mGui->Open(nullptr), nullptr);
    mGui->Ticks(1);
  }
  void TearDown() override
  {
    if (mGui) mGui->Close();
    LoadingTest::TearDown();
  }

  MySample* View(int slot) const { return mPlug->Views()->SampleView(slot); }
  static int MidX(const IRECT& r) { return (r.L + r.R) / 2; }
  static int MidY(const IRECT& r) { return (r.T + r.B) / 2; }
  void Click(int x, int y, bool right = false)
  {
    IMouseMod mod(!right, right);
    mGui->OnMouseDown(x, y, &mod);
    mGui->OnMouseUp(x, y, &mod);
    mGui->Ticks(1);
  }
  void ClickIn(const IRECT& r, bool right = false) { Click(MidX(r), MidY(r), right); }

  IGraphicsHeadless* mGui = nullptr;
};
} // namespace

TEST_F(SampleViewInput, ClickOnThePanelAsksForASampleFileAndACancelLoadsTheSameFileAgain)
{
  const std::string path = WriteWav("chosen.wav", 1, 44100, 16);
  mGui->QueueFileAnswer(path);
  ClickIn(View(1)->GetRECT());
  ASSERT_EQ(mGui->FileRequests().size(), 1u);
  EXPECT_EQ(mGui->FileRequests()[0].mAction, IGraphics::kFileOpen);
  EXPECT_EQ(mGui->FileRequests()[0].mExtensions, "wav ogg flac sfz");
  EXPECT_EQ(Frames(1), 16u);
  EXPECT_STREQ(View(1)->DisplayName(), "chosen.wav");
  EXPECT_STREQ(View(1)->ShownName(), "chosen.wav");

  WriteWav("chosen.wav", 1, 44100, 40); // changed on disk; the next prompt is cancelled
  ClickIn(View(1)->GetRECT());
  EXPECT_EQ(mGui->FileRequests().size(), 2u);
  EXPECT_EQ(Frames(1), 40u);
  EXPECT_EQ(Saved(1), path);
}

TEST_F(SampleViewInput, CancelledPromptOnASlotThatNeverHeldAFileChangesNothing)
{
  ClickIn(View(3)->GetRECT());
  EXPECT_EQ(mGui->FileRequests().size(), 1u);
  ExpectEmpty(3, "...");
  EXPECT_STREQ(File(3).Path(), "...");
  EXPECT_EQ(Saved(3), "0");
  EXPECT_TRUE(mGui->MessageBoxes().empty());
}

TEST_F(SampleViewInput, CloseButtonEmptiesTheSlotAndPreviousAndNextStillStepFromTheRemovedFile)
{
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    WriteWav(name);
  mGui->OnDrop(MidX(View(0)->GetRECT()), MidY(View(0)->GetRECT()), (mDir.Path() + "/b.wav").c_str());
  mGui->Ticks(1);
  ASSERT_NE(Frames(0), 0u);
  const std::string previous = File(0).PreviousPath();
  const std::string next = File(0).NextPath();
  const IRECT previousRect = View(0)->PreviousRect();
  const IRECT nextRect = View(0)->NextRect();

  ClickIn(View(0)->CloseRect());
  ExpectEmpty(0, "...");
  EXPECT_STREQ(View(0)->ShownName(), "...");
  EXPECT_EQ(Saved(0), "");

  if (!next.empty())
  {
    ClickIn(nextRect);
    EXPECT_EQ(Saved(0), next);
  }
  else
  {
    ClickIn(previousRect);
    EXPECT_EQ(Saved(0), previous);
  }
  EXPECT_NE(Frames(0), 0u);
  EXPECT_TRUE(mGui->FileRequests().empty()); // the buttons never ask
}

TEST_F(SampleViewInput, RightClickCopiesThePathToTheClipboardAndTheMessageBarAndLoadsNothing)
{
  const std::string path = WriteWav("copied.wav");
  Load(4, path, Route::kEditor);
  ClickIn(View(4)->GetRECT(), true);
  EXPECT_EQ(mGui->Clipboard(), path);
  ASSERT_NE(View(4)->MessageBar(), nullptr);
  EXPECT_EQ(std::string(View(4)->MessageBar()->Text()), path);
  EXPECT_GT(View(4)->MessageBar()->TicksLeft(), 0);
  EXPECT_TRUE(mGui->FileRequests().empty());
  EXPECT_EQ(Frames(4), 16u);
}

TEST_F(SampleViewInput, DropInsideAViewLoadsIntoItsSlotAndOutsideLoadsNothing)
{
  const std::string path = WriteWav("dropped.wav");
  const IRECT r = View(2)->GetRECT();
  mGui->OnDrop(r.L, r.T, path.c_str()); // the corner belongs to the view
  EXPECT_EQ(Frames(2), 16u);
  EXPECT_EQ(Saved(2), path);
  mGui->OnDrop(2, 2, path.c_str());
  mGui->OnDrop(r.R + 1, r.B + 40, path.c_str()); // between the columns, below the views
  for (int s : {0, 1, 3, 4})
    EXPECT_EQ(Frames(s), 0u) << s;
}
