// Kestrune played through the host tool: a known sample handed to slot 0 with the vendor-specific
// call sounds at each note's frame with the pitch its key asks for; and validate passes in full.

#include "host/HostToolRun.h"
#include "tools/kestrune-host/SmfWriter.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace
{
using namespace hosttest;

// A cosine, so the sample starts at full level and an onset shows in its first frame.
bool WriteCosine(const std::string& path, double hz, int rate, double seconds)
{
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<float> samples(static_cast<size_t>(seconds * rate));
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<float>(0.5 * std::cos(2.0 * M_PI * hz * double(i) / rate));
  const bool ok = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size())) ==
                  static_cast<sf_count_t>(samples.size());
  sf_close(file);
  return ok;
}

// Slot 0 takes the sample with root key 69 (its own pitch, A4), the whole keyboard, the shortest
// attack and release, no loop.
std::string SlotOptions(const std::string& sample)
{
  return " --slot " + Quote("0=" + sample) +
         " --param-text 1=12 --param-text 2=127 --param-text 3=69 --param-text 4=1.0"
         " --param-text 5=0 --param-text 6=0 --param-text 11=No";
}

TEST(HostKestrune, SampleInSlotZeroSoundsAtEachNotesFrameAndPitch)
{
  TempFolder dir;
  ASSERT_TRUE(WriteCosine(dir.Path("a440.wav"), 440.0, 48000, 2.0));
  khost::SmfWriter song(480);
  song.Tempo(0, 0, 120.0);
  song.Tempo(0, 960, 60.0);
  song.Note(0, 0, 0, 69, 127, 120);    // 0 s
  song.Note(0, 480, 0, 81, 127, 120);  // 0.5 s: an octave up
  song.Note(0, 1440, 0, 57, 127, 120); // 2 s, after the tempo change: an octave down
  ASSERT_TRUE(song.Save(dir.Path("song.mid")));
  for (int block : {64, 512, 1000})
  {
    const ToolRun run = RunHost("render " + Quote(KestrunePath()) + " --midi " + Quote(dir.Path("song.mid")) +
                                " -o " + Quote(dir.Path("out.wav")) + " --format float --tail 0.5 --block " +
                                std::to_string(block) + SlotOptions(dir.Path("a440.wav")));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    WavData wav;
    ASSERT_TRUE(ReadWav(dir.Path("out.wav"), &wav));
    const struct
    {
      long frame;
      double hz;
    } expected[] = {{0, 440.0}, {24000, 880.0}, {96000, 220.0}};
    size_t from = 0;
    for (const auto& e : expected)
    {
      const long onset = FirstAbove(wav, from, 1e-3);
      ASSERT_GE(onset, 0) << "block " << block;
      // The attack envelope may start from zero in the note's first frame.
      EXPECT_GE(onset, e.frame) << "block " << block;
      EXPECT_LE(onset, e.frame + 1) << "block " << block;
      EXPECT_NEAR(MeasureHz(wav, static_cast<size_t>(onset) + 240, 4800), e.hz, e.hz * 0.005)
          << "block " << block;
      from = static_cast<size_t>(e.frame) + 12000;
    }
  }
}

TEST(HostKestrune, ValidatePassesEveryCheck)
{
  // Without loading options the tool hands its own test sample to text slot 0.
  const ToolRun run = RunHost("validate " + Quote(KestrunePath()));
  std::fputs(run.output.c_str(), stdout); // the checks and their summary, for the test log
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(" passed, 0 failed"), std::string::npos) << run.output;
  EXPECT_FALSE(HasLineStartingWith(run.output, "failed")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  sound")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  release")) << run.output;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // Counted, not skipped: the module's allocations are seen (on Windows through its hooked imports).
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  no-allocation")) << run.output;
#endif
}
} // namespace
