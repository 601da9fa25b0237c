// How hosts treat the X11 editor: repeated opening and closing, idle calls at different rates and from
// other threads (or none), a parent window that vanishes, and X errors that stay where they belong.

#include "X11EditorFixture.h"

#include <atomic>
#include <thread>

namespace x11_test
{
class X11EditorHost : public X11EditorFixture
{
protected:
  // Automates three gain values in turn and waits until the knob on screen shows each; idle() runs
  // between the checks (the host's idle on this thread, or nothing).
  void ExpectKnobFollowsAutomation(const std::function<void()>& idle)
  {
    for (float v : {0.2f, 0.9f, 0.45f})
    {
      AutomateGain(v);
      const unsigned expected = ColourKnob::ColourFor(v);
      bool shown = WaitFor(
          [&]
          {
            idle();
            return ScreenPixel(kKnobRect.MW(), kKnobRect.MH()) == expected;
          });
      EXPECT_TRUE(shown) << "gain " << v;
    }
  }

  // Idle calls at hz from a thread of "the host" other than the one that opened the editor.
  void RunIdleThread(int hz, const std::function<void()>& body)
  {
    std::atomic<bool> stop{false};
    std::thread idler(
        [&]
        {
          while (!stop.load())
          {
            mPlug->Dispatch(effEditIdle);
            SleepMs(1000 / hz);
          }
        });
    body();
    stop.store(true);
    idler.join();
  }
};

TEST_F(X11EditorHost, OpensAndClosesAHundredTimes)
{
  for (int i = 0; i < 100; ++i)
  {
    ASSERT_EQ(mPlug->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(mTop))), 1)
        << "open " << i;
    ASSERT_NE(EditorWindow(), 0u);
    if (i % 2) mPlug->Dispatch(effEditIdle);
    mPlug->Dispatch(effEditClose);
    ASSERT_EQ(EditorWindow(), 0u);
  }
  // An unpaired close changes nothing; the editor still opens and paints.
  mPlug->Dispatch(effEditClose);
  ASSERT_TRUE(OpenEditor());
  ExpectKnobFollowsAutomation([] {});
}

TEST_F(X11EditorHost, KeepsPaintingWithoutIdleCalls)
{
  ASSERT_TRUE(OpenEditor());
  ExpectKnobFollowsAutomation([] {});
  EXPECT_EQ(mPlug->Linux()->IdleTickCount(), 0);
  EXPECT_GT(mPlug->Linux()->TickCount(), 0);
}

TEST_F(X11EditorHost, KeepsPaintingWithIdleAt15HzFromAnotherThread)
{
  ASSERT_TRUE(OpenEditor());
  RunIdleThread(15, [&] { ExpectKnobFollowsAutomation([] {}); });
}

TEST_F(X11EditorHost, TicksInIdleCallsAt50HzFromAnotherThread)
{
  ASSERT_TRUE(OpenEditor());
  RunIdleThread(50, [&] { ExpectKnobFollowsAutomation([] {}); });
  EXPECT_GT(mPlug->Linux()->IdleTickCount(), 0);
}

TEST_F(X11EditorHost, KeepsPaintingWithIdleOnTheOpeningThread)
{
  ASSERT_TRUE(OpenEditor());
  ExpectKnobFollowsAutomation([&] { mPlug->Dispatch(effEditIdle); });
  EXPECT_GT(mPlug->Linux()->IdleTickCount(), 0);
}

TEST_F(X11EditorHost, ParentDestroyedUnderTheEditorLeavesTheHostRunning)
{
  ASSERT_TRUE(OpenEditor());
  const unsigned long child = EditorWindow();
  mHost->DestroyWindow(mTop);
  ASSERT_TRUE(WaitFor([&] { return EditorWindow() == 0; }));
  EXPECT_FALSE(mHost->WindowExists(child));
  // The host goes on as if nothing happened: idle, automation, a late close.
  mPlug->Dispatch(effEditIdle);
  AutomateGain(0.6f);
  mPlug->Dispatch(effEditClose);
  // And opens the editor again in a new window.
  mTop = mHost->CreateTopLevel(0, 0, kEditorW, kEditorH);
  ASSERT_TRUE(OpenEditor());
  EXPECT_TRUE(
      WaitFor([&] { return ScreenPixel(kKnobRect.MW(), kKnobRect.MH()) == ColourKnob::ColourFor(0.6); }));
}

TEST_F(X11EditorHost, ParentDestroyedWhileIdleComesFromAnotherThread)
{
  ASSERT_TRUE(OpenEditor());
  RunIdleThread(50,
                [&]
                {
                  mHost->DestroyWindow(mTop);
                  EXPECT_TRUE(WaitFor([&] { return EditorWindow() == 0; }));
                  SleepMs(60);
                });
  mPlug->Dispatch(effEditClose);
}

TEST_F(X11EditorHost, ParentWindowUnknownToTheServerFailsTheOpenQuietly)
{
  EXPECT_EQ(mPlug->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff7})), 0);
  EXPECT_EQ(EditorWindow(), 0u);
  EXPECT_EQ(mPlug->Dispatch(effEditOpen, 0, 0, nullptr), 0);
  ASSERT_TRUE(OpenEditor());
}

TEST_F(X11EditorHost, HostErrorHandlerStillSeesTheErrorsOfItsOwnConnection)
{
  HostDisplay::InstallHostHandler();
  ASSERT_TRUE(OpenEditor());
  EXPECT_EQ(mHost->CauseHostError(), 1);
  // Our own errors stay ours: a parent that does not exist is refused without the host hearing of it.
  EXPECT_EQ(mPlug->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff7})), 0);
  EXPECT_EQ(mHost->CauseHostError(), 1);
}

TEST_F(X11EditorHost, IdleCalledInsideTheAutomationCallbackNeitherDeadlocksNorBendsTheDrag)
{
  ASSERT_TRUE(OpenEditor());
  gIdleInsideAutomate.store(true);
  ASSERT_TRUE(Pointer(kKnobRect.MW(), kKnobRect.MH(),
                      {"mousedown", "1", "mousemove", "--window", std::to_string(EditorWindow()),
                       std::to_string(kKnobRect.MW()), std::to_string(kKnobRect.MH() - 30), "mouseup", "1"}));
  const bool moved = WaitFor([&] { return mPlug->Gain() > 64.0; });
  gIdleInsideAutomate.store(false);
  ASSERT_TRUE(moved);
  // One drag of 30 pixels, applied once, with the editor still answering afterwards.
  EXPECT_NEAR(mPlug->Gain(), 65.0, 0.51);
  ExpectKnobFollowsAutomation([] {});
}

TEST_F(X11EditorHost, DestroyedInstanceGivesTheErrorHandlerBackToTheHost)
{
  HostDisplay::InstallHostHandler();
  ASSERT_TRUE(OpenEditor());
  EXPECT_FALSE(HostDisplay::HostHandlerIsCurrent());
  mPlug->Dispatch(effEditClose);
  mPlug.release()->Dispatch(effClose);
  // The host may unload the module now: no handler of ours may stay behind.
  EXPECT_TRUE(HostDisplay::HostHandlerIsCurrent());
  EXPECT_EQ(mHost->CauseHostError(), 1);
}

TEST_F(X11EditorHost, AutomationFromManyThreadsWhileTheUserDragsNeverDeadlocks)
{
  ASSERT_TRUE(OpenEditor());
  std::atomic<bool> stop{false};
  std::thread automation(
      [&]
      {
        for (int i = 0; !stop.load(); ++i)
        {
          AutomateGain(static_cast<float>(i % 100) / 100.0f);
          SleepMs(1);
        }
      });
  RunIdleThread(50,
                [&]
                {
                  for (int i = 0; i < 3; ++i)
                    ASSERT_TRUE(Pointer(kKnobRect.MW(), kKnobRect.MH(),
                                        {"mousedown", "1", "mousemove", "--window",
                                         std::to_string(EditorWindow()), std::to_string(kKnobRect.MW()),
                                         std::to_string(kKnobRect.MH() - 20), "mouseup", "1"}));
                });
  stop.store(true);
  automation.join();
  mPlug->Dispatch(effEditClose);
  EXPECT_EQ(EditorWindow(), 0u);
}
} // namespace x11_test
