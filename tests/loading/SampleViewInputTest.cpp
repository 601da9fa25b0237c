// The sample views' clicks, right clicks and drops reaching the loading flow, with the window-less
// graphics context standing in for the file chooser and the clipboard.

#include "editor/BarLabel.h"
#include "editor/EditorConstants.h"
#include "editor/MySample.h"
#include "loading/LoadingFixture.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <mutex>
#include <thread>

using namespace loadingtest;

namespace
{
class SampleViewInput : public EditorLoadingTest
{
protected:
  MySample* View(int slot) const { return mPlug->Views()->SampleView(slot); }
  static int MidX(const IRECT& r) { return (r.L + r.R) / 2; }
  static int MidY(const IRECT& r) { return (r.T + r.B) / 2; }
  void Click(int x, int y, bool right = false)
  {
    IMouseMod mod(!right, right);
    mGui->OnMouseDown(x, y, &mod);
    mGui->OnMouseUp(x, y, &mod);
    Settle();
  }
  // The loads the editor queued have run, and a tick has passed since.
  void Settle()
  {
    mPlug->WaitForLoads();
    mGui->Ticks(1);
  }
  void Drop(int x, int y, const std::string& path)
  {
    mGui->OnDrop(x, y, path.c_str());
    Settle();
  }
  void ClickIn(const IRECT& r, bool right = false) { Click(MidX(r), MidY(r), right); }
};
} // namespace

TEST_F(SampleViewInput, ClickOnThePanelAsksForASampleFileAndACancelChangesNothing)
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

  // A cancelled prompt neither decodes the slot's file again nor stops what it plays.
  WriteWav("chosen.wav", 1, 44100, 40);
  mHost.ClearRecord();
  ClickIn(View(1)->GetRECT());
  EXPECT_EQ(mGui->FileRequests().size(), 2u);
  EXPECT_EQ(Frames(1), 16u);
  EXPECT_EQ(Saved(1), path);
  EXPECT_TRUE(mHost.mCalls.empty());
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
  Drop(MidX(View(0)->GetRECT()), MidY(View(0)->GetRECT()), mDir.Path() + "/b.wav");
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
  Drop(r.L, r.T, path); // the corner belongs to the view
  EXPECT_EQ(Frames(2), 16u);
  EXPECT_EQ(Saved(2), path);
  Drop(2, 2, path);
  Drop(r.R + 1, r.B + 40, path); // between the columns, below the views
  for (int s : {0, 1, 3, 4})
    EXPECT_EQ(Frames(s), 0u) << s;
}

TEST_F(SampleViewInput, AClickOrDropOnlyQueuesTheLoadWhichDecodesWithoutTheInstanceMutex)
{
  const std::string path = WriteWav("queued.wav", 2, 44100, 4000);
  const long violationsBefore = LockRuleViolations();
  {
    // The editor's thread holds the mutex while it handles input (as the window thread does): the
    // drop must come back at once, without the file in the slot yet.
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    mGui->OnDrop(MidX(View(2)->GetRECT()), MidY(View(2)->GetRECT()), path.c_str());
    EXPECT_EQ(Frames(2), 0u);
  }
  Settle();
  EXPECT_EQ(Frames(2), 4000u);
  EXPECT_EQ(Saved(2), path);
  EXPECT_EQ(LockRuleViolations(), violationsBefore);
}

TEST_F(SampleViewInput, EveryLoadStepAndCloseInTheEditorTellsTheHostAndChangesNoParameter)
{
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    WriteWav(name);
  auto notices = [this] { return HostCalls(audioMasterUpdateDisplay, 0); };
  auto gestures = [this]
  {
    int n = 0;
    for (const plugintest::HostCall& c : mHost.mCalls)
      n += c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit ? 1 : 0;
    return n;
  };
  const float active = static_cast<float>(mPlug->GetParam(0)->GetNormalized());
  mHost.ClearRecord();
  Drop(MidX(View(0)->GetRECT()), MidY(View(0)->GetRECT()), mDir.Path() + "/b.wav");
  EXPECT_EQ(notices(), 1);
  const bool stepNext = File(0).NextPath()[0] != '\0';
  ClickIn(stepNext ? View(0)->NextRect() : View(0)->PreviousRect());
  EXPECT_EQ(notices(), 2);
  ClickIn(View(0)->CloseRect());
  EXPECT_EQ(notices(), 3);
  EXPECT_EQ(Saved(0), "");
  // Hosts that only count automation hear of it too, through parameter 0 at the value it has.
  EXPECT_EQ(gestures(), 0);
  EXPECT_EQ(HostCalls(audioMasterAutomate, 0), 3);
  for (const plugintest::HostCall& c : mHost.mCalls)
    if (c.opcode == audioMasterAutomate)
    {
      EXPECT_EQ(c.opt, active);
    }
  EXPECT_EQ(static_cast<float>(mPlug->GetParam(0)->GetNormalized()), active);
}

TEST_F(SampleViewInput, EditsMadeOffTheIdleThreadReachTheHostOnTheThreadThatSendsIdleCalls)
{
  const std::string path = WriteWav("threads.wav");
  AEffect* effect = mPlug->GetAEffect();
  effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f); // this thread idles from now on
  mHost.ClearRecord();
  std::thread editorThread(
      [&]
      {
        // A knob gesture and a drop, made on a thread the host does not know.
        mPlug->BeginInformHostOfParamChange(5);
        mPlug->SetParameterFromGUI(5, 0.25);
        mPlug->EndInformHostOfParamChange(5);
        mGui->OnDrop(MidX(View(1)->GetRECT()), MidY(View(1)->GetRECT()), path.c_str());
      });
  editorThread.join();
  mPlug->WaitForLoads();
  EXPECT_TRUE(mHost.mCalls.empty()); // nothing reached the host off its thread
  effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
  ASSERT_EQ(mHost.Count(audioMasterBeginEdit), 1);
  EXPECT_EQ(mHost.Count(audioMasterAutomate), 2); // the knob's, and the load's notice
  EXPECT_EQ(mHost.Count(audioMasterEndEdit), 1);
  EXPECT_EQ(mHost.Count(audioMasterUpdateDisplay), 1);
  for (const plugintest::HostCall& c : mHost.mCalls)
    EXPECT_EQ(c.thread, std::this_thread::get_id()) << c.opcode;
  // In the order they were made.
  EXPECT_EQ(mHost.mCalls.front().opcode, audioMasterBeginEdit);
}

TEST_F(SampleViewInput, AnEditorLoadShowsTheWaveformOfTheBufferItPublishedAndAHostLoadThenItsOwn)
{
  // Ramps over the whole scale, so that a reversed or an outdated picture differs in every column.
  const auto writeRamp = [&](const std::string& name, int channels, int frames, int direction)
  {
    std::vector<int16_t> samples;
    for (int k = 0; k < frames; ++k)
      for (int c = 0; c < channels; ++c)
        samples.push_back(static_cast<int16_t>(direction * (k * 60000 / frames - 30000) / (c + 1)));
    return mDir.Write(name, wavtest::Riff({wavtest::Fmt(1, static_cast<uint16_t>(channels), 44100, 16),
                                           wavtest::Chunk("data", wavtest::Pcm16(samples))}));
  };
  const std::string rising = writeRamp("rising.wav", 2, 6000, 1);
  const std::string falling = writeRamp("falling.wav", 1, 9000, -1);
  const IRECT r = View(0)->GetRECT();
  const auto expectShowsTheBuffer = [&](const char* what)
  {
    WaveformPicture fresh(r.L, r.T, r.R, r.B - kTitleTopFromBottomPx);
    fresh.Build(E().mSampleData[0].get(), Frames(0), E().mSampleChannels[0]);
    const WaveformPicture& shown = View(0)->Picture();
    ASSERT_GT(fresh.Columns(), 0) << what;
    ASSERT_EQ(shown.Columns(), fresh.Columns()) << what;
    EXPECT_EQ(shown.Stereo(), fresh.Stereo()) << what;
    for (int u = 1; u <= fresh.Columns(); ++u)
      for (int c = 0; c < 2; ++c)
      {
        ASSERT_EQ(shown.LineTop(u, c), fresh.LineTop(u, c)) << what << ", column " << u << ", channel " << c;
        ASSERT_EQ(shown.LineBottom(u, c), fresh.LineBottom(u, c))
            << what << ", column " << u << ", channel " << c;
      }
  };
  Drop(MidX(r), MidY(r), rising);
  ASSERT_EQ(Frames(0), 6000u);
  expectShowsTheBuffer("dropped stereo file");
  // With Reverse on the loader decodes the file reversed, and draws it so.
  Apply(10, 1.0);
  Drop(MidX(r), MidY(r), falling);
  ASSERT_EQ(Frames(0), 9000u);
  expectShowsTheBuffer("dropped mono file, reversed");
  // The host's route replaces the buffer under the mutex before the editor has drawn the loader's last
  // one: the view draws the host's buffer, not the picture the loader handed over.
  mGui->OnDrop(MidX(r), MidY(r), falling.c_str());
  mPlug->WaitForLoads();
  Load(0, rising);
  mGui->Ticks(1);
  ASSERT_EQ(Frames(0), 6000u);
  expectShowsTheBuffer("file restored by the host after the editor's");
}
