// The warning boxes of an instrument file whose samples are missing: whoever finds them (the editor's
// loader thread, a host call holding the instance mutex) posts them, and the editor's timer tick shows
// them on its own thread with no lock held. The window-less editor plays the UI thread: the test's
// thread ticks it.

#include "editor/MySample.h"
#include "framework/IEffectVST.h"
#include "loading/LoadingFixture.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "samplefiles/SfzSlotResult.h"

#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

using namespace loadingtest;

namespace
{
class WarningBoxes : public EditorLoadingTest
{
protected:
  // An instrument whose first and third regions name missing samples: slot 0's run warns of the first,
  // slot 1's of the third, and the good sample fills slot 0.
  std::string WriteKit()
  {
    mGood = WriteWav("good.wav", 1, 44100, 16);
    const std::string path = mDir.In("kit.sfz");
    std::ofstream(path, std::ios::binary) << "<region>\nsample=gone one.wav\n<region>\nsample=good.wav\n"
                                             "<region>\nsample=gone two.wav\n";
    return path;
  }
  std::string Warning(const char* name) const { return "Wrong Sample in SFZ file: " + mDir.In(name); }

  // The host's route: the extra-parameter call, which holds the instance mutex for the whole call.
  void HostHandsOver(std::string path)
  {
    AEffect* fx = mPlug->GetAEffect();
    fx->dispatcher(fx, effVendorSpecific, kVendorExtraParamText, 0, path.data(), 0.0f);
  }

  // The boxes shown so far, in order: their texts, each checked to be an OK box with the caption.
  std::vector<std::string> Shown() const
  {
    std::vector<std::string> texts;
    for (const IGraphicsHeadless::MessageBoxRequest& box : mGui->MessageBoxes())
    {
      EXPECT_EQ(box.mCaption, kSfzWarningCaption);
      EXPECT_EQ(box.mType, IGraphics::kMessageBoxTypeOK);
      texts.push_back(box.mText);
    }
    return texts;
  }

  std::string mGood;
};
} // namespace

TEST_F(WarningBoxes, EditorLoadLeavesItsWarningsToTheNextTickOnTheEditorsThread)
{
  const std::string kit = WriteKit();
  const IRECT view = mPlug->Views()->SampleView(2)->GetRECT();
  mGui->OnDrop((view.L + view.R) / 2, (view.T + view.B) / 2, kit.c_str());
  // The loader publishes the instrument without waiting for anyone to read its warnings.
  mPlug->WaitForLoads();
  EXPECT_EQ(Saved(0), mGood);
  EXPECT_TRUE(mGui->MessageBoxes().empty());
  EXPECT_EQ(mGui->PostedMessageCount(), 2u);

  mGui->TickAndPaint();
  EXPECT_EQ(Shown(), (std::vector<std::string>{Warning("gone one.wav"), Warning("gone two.wav")}));
  for (const IGraphicsHeadless::MessageBoxRequest& box : mGui->MessageBoxes())
    EXPECT_EQ(box.mThread, std::this_thread::get_id());
  EXPECT_EQ(mGui->PostedMessageCount(), 0u);
  mGui->Ticks(2);
  EXPECT_EQ(mGui->MessageBoxes().size(), 2u);
}

TEST_F(WarningBoxes, HostCallReturnsBeforeItsBoxesAndTheRenderRunsWhileOneIsOpen)
{
  // While a box waits for the user, an audio thread renders a block through the binding, which takes
  // the instance mutex: the box holds no lock.
  int renderedWhileOpen = 0;
  std::vector<std::thread> audio; // joined at the end: a render that waits for the mutex finishes later
  mGui->SetMessageBoxWait(
      [&](const IGraphicsHeadless::MessageBoxRequest&)
      {
        EXPECT_EQ(InstanceMutex::HeldByThisThread(), 0);
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> rendered = done->get_future();
        audio.emplace_back(
            [this, done]
            {
              std::vector<double> left(64), right(64);
              double* outs[2] = {left.data(), right.data()};
              AEffect* fx = mPlug->GetAEffect();
              fx->processDoubleReplacing(fx, nullptr, outs, 64);
              done->set_value();
            });
        if (rendered.wait_for(std::chrono::seconds(5)) == std::future_status::ready) ++renderedWhileOpen;
      });
  HostHandsOver(WriteKit());
  EXPECT_EQ(Saved(0), mGood);
  EXPECT_TRUE(mGui->MessageBoxes().empty());
  mGui->TickAndPaint();
  mGui->SetMessageBoxWait(nullptr);
  for (std::thread& thread : audio)
    thread.join();
  EXPECT_EQ(renderedWhileOpen, 2);
  EXPECT_EQ(Shown(), (std::vector<std::string>{Warning("gone one.wav"), Warning("gone two.wav")}));
}

TEST_F(WarningBoxes, TickInsideAnOpenBoxShowsNothingAndTheNextBoxFollowsInOrder)
{
  HostHandsOver(WriteKit());
  // A modal box runs its own event loop, and the editor's timer ticks in it.
  std::vector<size_t> shownDuringBox;
  mGui->SetMessageBoxWait(
      [&](const IGraphicsHeadless::MessageBoxRequest&)
      {
        mGui->TickAndPaint();
        shownDuringBox.push_back(mGui->MessageBoxes().size());
      });
  mGui->TickAndPaint();
  mGui->SetMessageBoxWait(nullptr);
  EXPECT_EQ(shownDuringBox, (std::vector<size_t>{1, 2}));
  EXPECT_EQ(Shown(), (std::vector<std::string>{Warning("gone one.wav"), Warning("gone two.wav")}));
}

TEST_F(WarningBoxes, ClosingTheEditorDropsTheBoxesNotYetShown)
{
  HostHandsOver(WriteKit());
  ASSERT_EQ(mGui->PostedMessageCount(), 2u);
  AEffect* fx = mPlug->GetAEffect();
  fx->dispatcher(fx, effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(mGui->PostedMessageCount(), 0u);
  ASSERT_NE(mGui->Open(nullptr), nullptr);
  mGui->Ticks(3);
  EXPECT_TRUE(mGui->MessageBoxes().empty());
}

TEST_F(WarningBoxes, ClosingTheEditorWhileABoxIsOpenDropsTheBoxesAfterIt)
{
  // The host closes the editor from the first box's event loop.
  HostHandsOver(WriteKit());
  mGui->SetMessageBoxWait([&](const IGraphicsHeadless::MessageBoxRequest&) { mGui->Close(); });
  mGui->TickAndPaint();
  mGui->SetMessageBoxWait(nullptr);
  EXPECT_EQ(Shown(), std::vector<std::string>{Warning("gone one.wav")});
  EXPECT_EQ(mGui->PostedMessageCount(), 0u);
  ASSERT_NE(mGui->Open(nullptr), nullptr);
  mGui->Ticks(2);
  EXPECT_EQ(mGui->MessageBoxes().size(), 1u);
}

TEST_F(WarningBoxes, BoxesPostedWhileTheEditorIsClosedWaitForItsOpening)
{
  mGui->Close();
  HostHandsOver(WriteKit());
  mGui->Ticks(2); // a closed editor's ticks show nothing
  EXPECT_TRUE(mGui->MessageBoxes().empty());
  EXPECT_EQ(mGui->PostedMessageCount(), 2u);
  ASSERT_NE(mGui->Open(nullptr), nullptr);
  mGui->TickAndPaint();
  EXPECT_EQ(Shown(), (std::vector<std::string>{Warning("gone one.wav"), Warning("gone two.wav")}));
}
