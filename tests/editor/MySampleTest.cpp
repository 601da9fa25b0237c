// The sample view: waveform, duration and channel texts, buttons and name (slot 0: the panel spans x 26..176,
// y 78..198; the waveform area ends at y 150, its centre line is y 114).

#include "editor/EditorConstants.h"
#include "editor/EditorFixture.h"

#include "framework/IGraphics.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace editortest
{
namespace
{
constexpr int kCentreY = 114;

} // namespace

TEST_F(EditorTest, DurationIsShownInMillisecondsUpToOneSecondThenInSeconds)
{
  struct Case
  {
    uint32_t mFrames;
    const char* mText;
  };
  const Case cases[] = {
      {48000, "1000 msec"}, {48192, "1.00 sec"}, {19200, "400 msec"}, {72000, "1.50 sec"}, {25, "1 msec"}};
  for (const Case& c : cases)
  {
    LoadSample(0, c.mFrames, 1, [](int, uint32_t) { return 0.1; });
    Gui()->Ticks(1);
    EXPECT_STREQ(SampleView(0)->DurationText(), c.mText) << c.mFrames;
  }
}

TEST_F(EditorTest, ChannelCountShowsOneOrTwoChannels)
{
  LoadSample(1, 500, 1, [](int, uint32_t) { return 0.1; });
  LoadSample(2, 500, 2, [](int, uint32_t) { return 0.1; });
  LoadSample(3, 500, 6, [](int, uint32_t) { return 0.1; });
  Gui()->Ticks(1);
  EXPECT_STREQ(SampleView(1)->ChannelText(), "1chn");
  EXPECT_STREQ(SampleView(2)->ChannelText(), "2chn");
  EXPECT_STREQ(SampleView(3)->ChannelText(), "2chn");
  EXPECT_FALSE(SampleView(1)->Picture().Stereo());
  EXPECT_TRUE(SampleView(2)->Picture().Stereo());
}

TEST_F(EditorTest, EmptySlotShowsOnlyItsName)
{
  MySample* view = SampleView(4);
  EXPECT_EQ(view->Picture().Columns(), 0);
  EXPECT_STREQ(view->DurationText(), "");
  EXPECT_STREQ(view->ChannelText(), "");
  EXPECT_STREQ(view->ShownName(), "...");
  EXPECT_TRUE(view->CloseRect().Empty());
  // The ivory panel under the close button's place stays bare.
  const DRAW_Pixel bare = PixelAt(4 * 152 + 169, 84);
  EXPECT_GT(DRAW_GetR(bare), 200);

  LoadSample(4, 900, 1, [](int, uint32_t) { return 0.5; });
  Gui()->Ticks(1);
  EXPECT_EQ(view->CloseRect(), IRECT(4 * 152 + 162, 78, 4 * 152 + 176, 92));
  ClearSlot(4);
  view->SetDisplayName("wrong audio");
  Gui()->Ticks(1);
  EXPECT_EQ(view->Picture().Columns(), 0);
  EXPECT_STREQ(view->ShownName(), "wrong audio");
  EXPECT_STREQ(view->DurationText(), "");
  EXPECT_EQ(PixelAt(4 * 152 + 169, 84), bare); // the close button is gone again
}

TEST_F(EditorTest, PreviousAndNextButtonsAreDrawnOnlyWhenTheFolderHasSuchAFile)
{
  MySample* view = SampleView(0);
  LoadSample(0, 900, 1, [](int, uint32_t) { return 0.0; });
  Gui()->Ticks(1);
  EXPECT_TRUE(view->PreviousRect().Empty());
  EXPECT_TRUE(view->NextRect().Empty());
  const std::vector<DRAW_Pixel> bareLeft = Pixels(IRECT(26, 136, 40, 150));
  const std::vector<DRAW_Pixel> bareRight = Pixels(IRECT(162, 136, 176, 150));

  view->SetNextPath("/samples/b.wav");
  view->SetChanged();
  Gui()->Ticks(1);
  EXPECT_TRUE(view->PreviousRect().Empty());
  EXPECT_EQ(view->NextRect(), IRECT(162, 136, 176, 150));
  EXPECT_NE(Pixels(IRECT(162, 136, 176, 150)), bareRight);
  EXPECT_EQ(Pixels(IRECT(26, 136, 40, 150)), bareLeft);

  view->SetPreviousPath("/samples/a.wav");
  view->SetChanged();
  Gui()->Ticks(1);
  EXPECT_EQ(view->PreviousRect(), IRECT(26, 136, 40, 150));
  EXPECT_NE(Pixels(IRECT(26, 136, 40, 150)), bareLeft);
}

TEST_F(EditorTest, SampleShorterThanThePanelStillDrawsOneColumnPerPixelEachFromOneSample)
{
  // 50 frames alternating above and below the centre line: with fewer frames than columns every
  // column shows a single sample, so no column reaches both sides.
  LoadSample(0, 50, 1, [](int, uint32_t i) { return i % 2 == 0 ? 0.8 : -0.8; });
  Gui()->Ticks(1);
  const WaveformPicture& picture = SampleView(0)->Picture();
  ASSERT_EQ(picture.Columns(), 148);
  int above = 0, below = 0;
  for (int u = 1; u <= picture.Columns(); ++u)
  {
    const int top = picture.LineTop(u, 0), bottom = picture.LineBottom(u, 0);
    EXPECT_FALSE(top < kCentreY && bottom > kCentreY) << u;
    above += top < kCentreY;
    below += bottom > kCentreY;
  }
  EXPECT_GT(above, 40);
  EXPECT_GT(below, 40);
}

TEST_F(EditorTest, FileStateTextsThatDoNotFitAreRefused)
{
  MySample* view = SampleView(0);
  // The platform's path size: 1024 bytes, 260 on Windows.
  const std::string tooLong(kMaxPathBytes, 'a');
  EXPECT_FALSE(view->SetDisplayName(tooLong.c_str()));
  EXPECT_STREQ(view->DisplayName(), "...");
  EXPECT_FALSE(view->SetPreviousPath(tooLong.c_str()));
  EXPECT_TRUE(view->SetPath(std::string(kMaxPathBytes - 1, 'b').c_str()));
  EXPECT_EQ(std::string(view->Path()).size(), size_t{kMaxPathBytes - 1});
}
TEST_F(EditorTest, DrawKeepsThePreviousPictureWhileTheInstanceIsBusyAndNeverReadsAReplacedBuffer)
{
  LoadSample(0, 14800, 1, [](int, uint32_t) { return 0.9; });
  Gui()->Ticks(1);
  MySample* view = SampleView(0);
  const int loudTop = view->Picture().LineTop(50, 0);
  ASSERT_EQ(loudTop, kCentreY - 33); // 114 - 0.9 * 36 = 81.6, truncated

  // Another thread holds the instance mutex and, while holding it, replaces the buffer (the old one
  // is freed) as a reload does.
  std::mutex m;
  std::condition_variable cv;
  bool locked = false, release = false;
  std::thread loader(
      [&]
      {
        std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
        LoadSample(
            0, 7400, 1, [](int, uint32_t) { return 0.25; }, kRate, "quiet.wav");
        {
          std::lock_guard<std::mutex> g(m);
          locked = true;
        }
        cv.notify_all();
        std::unique_lock<std::mutex> g(m);
        cv.wait(g, [&] { return release; });
      });
  {
    std::unique_lock<std::mutex> g(m);
    cv.wait(g, [&] { return locked; });
  }
  Gui()->Ticks(3);
  EXPECT_EQ(view->Picture().LineTop(50, 0), loudTop); // the old picture
  EXPECT_STREQ(view->ShownName(), "tone.wav");
  EXPECT_TRUE(view->PictureStale());
  {
    std::lock_guard<std::mutex> g(m);
    release = true;
  }
  cv.notify_all();
  loader.join();

  Gui()->Ticks(1); // the view asked for another redraw and now gets the mutex
  EXPECT_FALSE(view->PictureStale());
  EXPECT_EQ(view->Picture().LineTop(50, 0), kCentreY - 9);
  EXPECT_STREQ(view->ShownName(), "quiet.wav");
  EXPECT_STREQ(view->DurationText(), "154 msec");
}

} // namespace editortest
