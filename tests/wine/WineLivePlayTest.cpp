// kestrune-host.exe edit under Wine while a paced render thread plays a note: large WAV and Ogg files
// dropped from an X client, chosen in the Windows file dialog and reached with the folder buttons load
// with no process call of more than 2 ms (the call's length is measured, not the thread's wake-up
// lateness: the timers under Wine are coarser), and the sound goes on. The host also counts the
// threads the DLL reports the user's edits on: the thread that sends the idle calls while there are
// any, else the window's own thread (the host's loop thread).

#include "WineEditFixture.h"

#include "host/LiveHostLines.h"
#include "samplefiles/OggTestFiles.h"
#include "samplefiles/WavTestFiles.h"
#include "x11/XdndTestSource.h"

#include <cmath>

namespace winetest
{

namespace
{
constexpr int kLargeSeconds = 60;
constexpr int kRate = 48000;
constexpr int kPlayedNote = 60;
// The loudest sample of the blocks while slot 1's sine sounds (its level is 0.35 at velocity 100).
constexpr double kSoundingPeak = 0.1;
// After a load the editor redraws the slot on its next timer ticks: the figures are taken after that.
constexpr int kRedrawMs = 400;
constexpr int kLoadTimeoutMs = 30000;
constexpr int kPollMs = 50;

std::string FileUri(const std::string& path)
{
  std::string uri = "file://";
  for (char c : path)
    uri += c == ' ' ? std::string("%20") : std::string(1, c);
  return uri;
}

void SleepMs(int ms)
{
  WaitFor([] { return false; }, ms);
}
} // namespace

class WineLivePlay : public WineEdit
{
protected:
  // A 16-bit stereo WAV file of a sine, seconds long.
  void WriteStereoWav(const std::string& path, int seconds)
  {
    std::vector<int16_t> samples(static_cast<size_t>(seconds) * kRate * 2);
    for (size_t f = 0; f < samples.size() / 2; ++f)
    {
      const auto v = static_cast<int16_t>(12000.0 * std::sin(0.05 * static_cast<double>(f)));
      samples[2 * f] = v;
      samples[2 * f + 1] = v;
    }
    ASSERT_TRUE(wavtest::WriteBytes(path, wavtest::Riff({wavtest::Fmt(1, 2, kRate, 16),
                                                         wavtest::Chunk("data", wavtest::Pcm16(samples))})));
  }
  void WriteLargeOgg(const std::string& path)
  {
    ASSERT_TRUE(oggtest::WriteOgg(path, 2, kRate, static_cast<long>(kLargeSeconds) * kRate));
  }

  // The host with the editor open and a note sounding on slot 1; the figures of its start are dropped.
  EditHost* StartPlaying(std::vector<std::string> args = {})
  {
    const std::string playing = Path("playing.wav");
    WriteStereoWav(playing, kLargeSeconds);
    args.insert(args.end(), {"--play", std::to_string(kPlayedNote), "--slot", "1=" + DosPath(playing)});
    EditHost* host = Start(args);
    if (!host) return nullptr;
    SleepMs(kRedrawMs);
    hosttest::AskStats(*host);
    return host;
  }

  bool WaitForSample(EditHost& host, int slot, const std::string& path)
  {
    for (int waited = 0;; waited += kPollMs)
    {
      if (host.SamplePath(slot) == path) return true;
      if (waited >= kLoadTimeoutMs) return false;
      SleepMs(kPollMs);
    }
  }

  // After a load of path into slot 0: it arrived, the editor has drawn it, no process call took more
  // than 2 ms meanwhile and the note sounded throughout.
  void ExpectLoadedWhilePlaying(EditHost& host, const std::string& path, const std::string& how)
  {
    EXPECT_TRUE(WaitForSample(host, 0, DosPath(path))) << how << ": slot 0 holds " << host.SamplePath(0);
    SleepMs(kRedrawMs);
    const hosttest::RenderFigures f = hosttest::AskStats(host);
    ASSERT_TRUE(f.ok) << how << "\n" << host.Output();
    EXPECT_EQ(f.slowCalls, 0) << how << ": " << f.line;
    EXPECT_LE(f.longestCallMs, 2.0) << how << ": " << f.line;
    EXPECT_GT(f.peak, kSoundingPeak) << how << ": " << f.line;
    EXPECT_GT(f.blocks, 0) << how << ": " << f.line;
  }
};

TEST_F(WineLivePlay, LargeWavAndOggDroppedOnASlotLoadWhileNoProcessCallTakesOverTwoMs)
{
  const std::string wav = Path("large.wav", "drop"), ogg = Path("large.ogg", "drop");
  WriteStereoWav(wav, kLargeSeconds);
  WriteLargeOgg(ogg);
  EditHost* host = StartPlaying();
  ASSERT_NE(host, nullptr);
  for (const std::string& path : {wav, ogg})
  {
    x11_test::XdndResult r =
        x11_test::DragAndDrop(host->XWindow(), host->EditorX() + kSampleViewX, host->EditorY() + kSampleViewY,
                              FileUri(path) + "\r\n", false);
    EXPECT_TRUE(r.mFinished) << path;
    ExpectLoadedWhilePlaying(*host, path, path);
  }
}

TEST_F(WineLivePlay, LargeOggChosenInTheFileDialogLoadsWhileNoProcessCallTakesOverTwoMs)
{
  const std::string ogg = Path("chosen.ogg", "dialog");
  WriteLargeOgg(ogg);
  EditHost* host = StartPlaying();
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(host->Pointer(kSampleViewX, kSampleViewY, {"click", "1"}));
  std::vector<unsigned long> dialogs;
  ASSERT_TRUE(WaitFor(
      [&]
      {
        dialogs = FindWindows("^Select audio sample$");
        return !dialogs.empty();
      }))
      << host->Output();
  ASSERT_TRUE(Xdotool({"mousemove", "--window", std::to_string(dialogs[0]), "200", "100"}));
  ASSERT_TRUE(TypeText(DosPath(ogg)));
  ASSERT_TRUE(Keys({"Return"}));
  ExpectLoadedWhilePlaying(*host, ogg, "file dialog");
}

TEST_F(WineLivePlay, PreviousAndNextButtonsStepToLargeFilesWhileNoProcessCallTakesOverTwoMs)
{
  // The folder lists in the order of the names (as the folder-button test finds it).
  const std::string first = Path("a_short.wav", "folder"), wav = Path("b_large.wav", "folder"),
                    ogg = Path("c_large.ogg", "folder");
  WriteStereoWav(first, 1);
  WriteStereoWav(wav, kLargeSeconds);
  WriteLargeOgg(ogg);
  EditHost* host = StartPlaying({"--slot", "0=" + DosPath(first)});
  ASSERT_NE(host, nullptr);
  ASSERT_EQ(host->SamplePath(0), DosPath(first));
  const struct
  {
    int x;
    const std::string& expected;
  } steps[] = {{kNextX, wav}, {kNextX, ogg}, {kPreviousX, wav}, {kPreviousX, first}};
  int aside = 0;
  for (const auto& step : steps)
  {
    ASSERT_TRUE(host->Pointer(step.x + aside, kStepY + aside, {"click", "1"}));
    aside = aside == 0 ? kAsideDy : 0;
    ExpectLoadedWhilePlaying(*host, step.expected,
                             (step.x == kNextX ? "next to " : "previous to ") + step.expected);
  }
}

TEST_F(WineLivePlay, EditsAndLoadsReachTheHostOnTheThreadThatSendsIdleCallsOrElseOnTheWindowsThread)
{
  const std::string wav = Path("short.wav", "drop");
  WriteStereoWav(wav, 1);
  const struct
  {
    std::vector<std::string> args;
    int kind;
    const char* what;
  } modes[] = {
      {{}, hosttest::CallCensus::kIdle, "idle calls from the loop thread"},
      {{"--idle-hz", "15", "--idle-thread"}, hosttest::CallCensus::kIdle, "idle calls from a second thread"},
      // Without idle calls the window's thread hears them: the host's loop thread.
      {{"--idle-hz", "0"}, hosttest::CallCensus::kLoop, "no idle calls"},
  };
  for (const auto& mode : modes)
  {
    EditHost* host = StartPlaying(mode.args);
    ASSERT_NE(host, nullptr) << mode.what;
    const std::string before = host->Display(kAttackParam);
    ASSERT_TRUE(host->Drag(kAttackX, kAttackY, kAttackX, kAttackY - 40));
    EXPECT_TRUE(WaitFor([&] { return host->Display(kAttackParam) != before; })) << mode.what;
    x11_test::XdndResult r =
        x11_test::DragAndDrop(host->XWindow(), host->EditorX() + kSampleViewX, host->EditorY() + kSampleViewY,
                              FileUri(wav) + "\r\n", false);
    EXPECT_TRUE(r.mFinished) << mode.what;
    EXPECT_TRUE(WaitForSample(*host, 0, DosPath(wav))) << mode.what;
    hosttest::CallCensus census;
    EXPECT_TRUE(WaitFor(
        [&]
        {
          census = hosttest::AskCensus(*host);
          return census.ok && census.counts[hosttest::CallCensus::kUpdateDisplay][mode.kind] > 0;
        }))
        << mode.what << "\n"
        << census.text;
    for (int op : {hosttest::CallCensus::kAutomate, hosttest::CallCensus::kBeginEdit,
                   hosttest::CallCensus::kEndEdit, hosttest::CallCensus::kUpdateDisplay})
    {
      EXPECT_GT(census.counts[op][mode.kind], 0) << mode.what << "\n" << census.text;
      EXPECT_EQ(census.counts[op][mode.kind], census.Total(op)) << mode.what << "\n" << census.text;
    }
    EXPECT_EQ(census.otherThreads, 0) << mode.what << "\n" << census.text;
    EXPECT_EQ(host->Quit(), 0) << host->Output();
    mHost.reset();
  }
}
} // namespace winetest
