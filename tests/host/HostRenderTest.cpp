// The render command: MIDI events reach the plug-in at their frame offsets whatever the block size,
// tempo changes move them, and the WAV holds what the plug-in played.

#include "host/HostToolRun.h"
#include "tools/kestrune-host/SmfWriter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace
{
using namespace hosttest;

// Three notes: 440 Hz at 0 s, 880 Hz at 0.5 s (120 bpm), 220 Hz at 2 s (after a change to 60 bpm at 1 s).
void WriteTestSong(const std::string& path)
{
  khost::SmfWriter song(480);
  song.Tempo(0, 0, 120.0);
  song.Tempo(0, 960, 60.0);
  const int t = song.AddTrack();
  song.Note(t, 0, 0, 69, 100, 120);
  song.Note(t, 480, 0, 81, 100, 120);
  song.Note(t, 1440, 0, 57, 100, 120);
  ASSERT_TRUE(song.Save(path));
}

struct Onset
{
  long frame;
  double hz;
};
const Onset kExpected[] = {{0, 440.0}, {24000, 880.0}, {96000, 220.0}};

class HostRender : public ::testing::TestWithParam<int>
{
};

TEST_P(HostRender, NotesStartAtTheirFramesWithTheirPitchesInAnyBlockSize)
{
  TempFolder dir;
  WriteTestSong(dir.Path("song.mid"));
  const ToolRun run = RunHost("render " + Quote(SubjectPath("none")) + " --midi " +
                              Quote(dir.Path("song.mid")) + " -o " + Quote(dir.Path("out.wav")) +
                              " --format float --tail 0.5 --block " + std::to_string(GetParam()));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  WavData wav;
  ASSERT_TRUE(ReadWav(dir.Path("out.wav"), &wav));
  EXPECT_EQ(wav.sampleRate, 48000);
  EXPECT_EQ(wav.channels, 2);
  // The song ends with the last note-off at 2.25 s; half a second of tail follows.
  EXPECT_EQ(wav.Frames(), static_cast<size_t>(2.75 * 48000) + 1);
  size_t from = 0;
  for (const Onset& expected : kExpected)
  {
    // Silence before each note: the previous one has died away.
    const long onset = FirstAbove(wav, from, 1e-3);
    ASSERT_GE(onset, 0);
    EXPECT_EQ(onset, expected.frame) << "block " << GetParam();
    EXPECT_NEAR(MeasureHz(wav, static_cast<size_t>(onset), 4800), expected.hz, expected.hz * 0.005);
    from = static_cast<size_t>(onset) + 12000;
  }
  EXPECT_NE(run.output.find("peak"), std::string::npos);
  EXPECT_NE(run.output.find("RMS"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, HostRender, ::testing::Values(1, 64, 512, 1000, 16384));

TEST(HostRenderOptions, RateAndFormatOptionsShapeTheWavFile)
{
  TempFolder dir;
  WriteTestSong(dir.Path("song.mid"));
  const ToolRun run =
      RunHost("render " + Quote(SubjectPath("none")) + " --midi " + Quote(dir.Path("song.mid")) + " -o " +
              Quote(dir.Path("out.wav")) + " --rate 22050 --format pcm16 --tail 0");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  WavData wav;
  ASSERT_TRUE(ReadWav(dir.Path("out.wav"), &wav));
  EXPECT_EQ(wav.sampleRate, 22050);
  EXPECT_EQ(wav.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
  EXPECT_EQ(FirstAbove(wav, 9000, 1e-3), 11025); // the second note, at half a second
}

TEST(HostRenderOptions, ProgramAndParameterOptionsReachThePlugin)
{
  TempFolder dir;
  WriteTestSong(dir.Path("song.mid"));
  // Program 1 of the subject has gain 0.9, program 0 gain 0.5; parameter 0 at 0.25 halves program 0's.
  const std::string base = "render " + Quote(SubjectPath("none")) + " --midi " + Quote(dir.Path("song.mid")) +
                           " --tail 0 --format float -o ";
  ASSERT_EQ(RunHost(base + Quote(dir.Path("p0.wav"))).exitCode, 0);
  ASSERT_EQ(RunHost(base + Quote(dir.Path("p1.wav")) + " --program 1").exitCode, 0);
  ASSERT_EQ(RunHost(base + Quote(dir.Path("g.wav")) + " --param 0=0.25").exitCode, 0);
  ASSERT_EQ(RunHost(base + Quote(dir.Path("t.wav")) + " --param-text 0=0.25").exitCode, 0);
  WavData p0, p1, g, t;
  ASSERT_TRUE(ReadWav(dir.Path("p0.wav"), &p0) && ReadWav(dir.Path("p1.wav"), &p1) &&
              ReadWav(dir.Path("g.wav"), &g) && ReadWav(dir.Path("t.wav"), &t));
  EXPECT_NEAR(p1.At(0, 0) / p0.At(0, 0), 0.9 / 0.5, 1e-5);
  EXPECT_NEAR(g.At(0, 0) / p0.At(0, 0), 0.5, 1e-5);
  EXPECT_NEAR(t.At(0, 0) / p0.At(0, 0), 0.5, 1e-5);
}

TEST(HostRenderOptions, BadOptionsAndFilesAreReportedWithoutAWav)
{
  TempFolder dir;
  WriteTestSong(dir.Path("song.mid"));
  const std::string base = "render " + Quote(SubjectPath("none")) + " -o " + Quote(dir.Path("out.wav"));
  EXPECT_EQ(RunHost(base + " --midi " + Quote(dir.Path("song.mid")) + " --slot x").exitCode, 2);
  EXPECT_EQ(RunHost(base + " --midi " + Quote(dir.Path("song.mid")) + " --param 0=1.5").exitCode, 2);
  EXPECT_EQ(RunHost(base + " --midi " + Quote(dir.Path("song.mid")) + " --block 0").exitCode, 2);
  const ToolRun noProgram = RunHost(base + " --midi " + Quote(dir.Path("song.mid")) + " --program 2");
  EXPECT_EQ(noProgram.exitCode, 1);
  EXPECT_NE(noProgram.output.find("program 2 does not exist"), std::string::npos) << noProgram.output;
  // The subject takes no sample paths: the vendor-specific call is not answered.
  const ToolRun noSlot = RunHost(base + " --midi " + Quote(dir.Path("song.mid")) + " --slot 0=x.wav");
  EXPECT_EQ(noSlot.exitCode, 1);
  EXPECT_NE(noSlot.output.find("did not take"), std::string::npos) << noSlot.output;
  const ToolRun noSong = RunHost(base + " --midi " + Quote(dir.Path("missing.mid")));
  EXPECT_EQ(noSong.exitCode, 1) << noSong.output;
  WavData wav;
  EXPECT_FALSE(ReadWav(dir.Path("out.wav"), &wav));
}
} // namespace
