// The default kit: its files are of the formats it promises, its samples are tuned as the SFZ says,
// and the demo song plays every slot and nothing outside the slots' key ranges.

#include "host/HostToolRun.h"
#include "tools/kestrune-host/SmfReader.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sndfile.h>

namespace
{
using namespace hosttest;

struct Region
{
  std::string sample;
  int lo = -1, hi = -1, root = -1;
};

std::vector<Region> ReadRegions(const std::string& path)
{
  std::vector<Region> regions;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
  {
    if (line == "<region>")
    {
      regions.emplace_back();
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || regions.empty()) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "sample") regions.back().sample = value;
    if (key == "lokey") regions.back().lo = std::stoi(value);
    if (key == "hikey") regions.back().hi = std::stoi(value);
    if (key == "pitch_keycenter") regions.back().root = std::stoi(value);
  }
  return regions;
}

class Kit : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    sDir = new TempFolder();
    sRun = new ToolRun(RunHost("kit " + Quote(sDir->Path("kit"))));
  }
  static void TearDownTestSuite()
  {
    delete sRun;
    delete sDir;
  }
  static TempFolder* sDir;
  static ToolRun* sRun;
};
TempFolder* Kit::sDir = nullptr;
ToolRun* Kit::sRun = nullptr;

TEST_F(Kit, SamplesComeInSixteenBitTwentyFourBitFloatAndOggVorbis)
{
  ASSERT_EQ(sRun->exitCode, 0) << sRun->output;
  const std::map<std::string, int> expected = {{"pluck.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                                               {"bass.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
                                               {"bell.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                                               {"drum.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                                               {"pad.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}};
  for (const auto& [file, format] : expected)
  {
    WavData sound;
    ASSERT_TRUE(ReadWav(sDir->Path("kit/" + file), &sound)) << file;
    EXPECT_EQ(sound.format, format) << file;
    EXPECT_GT(sound.Frames(), static_cast<size_t>(sound.sampleRate / 2)) << file;
    float peak = 0.0f;
    for (float v : sound.interleaved)
      peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.5f) << file;
    EXPECT_LE(peak, 0.95f) << file;
  }
}

TEST_F(Kit, BassAndPadSoundAtThePitchesTheirRootKeysName)
{
  ASSERT_EQ(sRun->exitCode, 0) << sRun->output;
  WavData bass, pad;
  ASSERT_TRUE(ReadWav(sDir->Path("kit/bass.wav"), &bass));
  EXPECT_NEAR(MeasureHz(bass, 4800, 24000), 65.406, 0.3); // C2
  ASSERT_TRUE(ReadWav(sDir->Path("kit/pad.ogg"), &pad));
  EXPECT_GT(MeasureHz(pad, 48000, 48000), 200.0); // near C4; detuned saws cross zero irregularly
}

TEST_F(Kit, SfzMapsFiveDisjointRegionsToTheKitsSamples)
{
  ASSERT_EQ(sRun->exitCode, 0) << sRun->output;
  const std::vector<Region> regions = ReadRegions(sDir->Path("kit/kestrune-kit.sfz"));
  ASSERT_EQ(regions.size(), 5u);
  for (size_t i = 0; i < regions.size(); ++i)
  {
    const Region& r = regions[i];
    WavData sound;
    EXPECT_TRUE(ReadWav(sDir->Path("kit/" + r.sample), &sound)) << r.sample;
    EXPECT_LE(12, r.lo);
    EXPECT_LE(r.lo, r.root);
    EXPECT_LE(r.root, r.hi);
    EXPECT_LE(r.hi, 127);
    for (size_t j = 0; j < i; ++j)
      EXPECT_TRUE(r.hi < regions[j].lo || r.lo > regions[j].hi)
          << r.sample << " overlaps " << regions[j].sample;
  }
}

TEST_F(Kit, DemoSongPlaysEverySlotAndOnlyKeysInsideTheRanges)
{
  ASSERT_EQ(sRun->exitCode, 0) << sRun->output;
  const std::vector<Region> regions = ReadRegions(sDir->Path("kit/kestrune-kit.sfz"));
  khost::MidiSong song;
  std::string error;
  ASSERT_TRUE(khost::SmfReader::ReadFile(sDir->Path("kit/kestrune-demo.mid"), &song, &error)) << error;
  std::vector<int> notesPerRegion(regions.size(), 0);
  int noteOns = 0, open = 0;
  for (const khost::SongEvent& e : song.mEvents)
  {
    const bool on = (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0;
    const bool off = (e.bytes[0] & 0xF0) == 0x80 || ((e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] == 0);
    open += on ? 1 : off ? -1 : 0;
    if (!on) continue;
    ++noteOns;
    int hits = 0;
    for (size_t r = 0; r < regions.size(); ++r)
      if (e.bytes[1] >= regions[r].lo && e.bytes[1] <= regions[r].hi)
      {
        ++notesPerRegion[r];
        ++hits;
      }
    EXPECT_EQ(hits, 1) << "key " << int(e.bytes[1]);
  }
  EXPECT_EQ(open, 0) << "every note is released";
  EXPECT_GT(noteOns, 100);
  for (size_t r = 0; r < regions.size(); ++r)
    EXPECT_GT(notesPerRegion[r], 0) << regions[r].sample;
  EXPECT_GE(song.mTempo.size(), 2u) << "the song changes tempo";
  EXPECT_GT(song.LengthSeconds(), 20.0);
  EXPECT_LT(song.LengthSeconds(), 40.0);
}

TEST_F(Kit, ArgumentFileHandsEverySampleToItsSlot)
{
  ASSERT_EQ(sRun->exitCode, 0) << sRun->output;
  std::ifstream in(sDir->Path("kit/kestrune-kit.args"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  int slots = 0;
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i] == "--slot")
    {
      const std::string value = lines[i + 1];
      EXPECT_EQ(value.compare(0, 2, std::to_string(slots) + "="), 0) << value;
      WavData sound;
      EXPECT_TRUE(ReadWav(value.substr(2), &sound)) << value;
      ++slots;
    }
  EXPECT_EQ(slots, 5);
}

TEST_F(Kit, DemoSongThroughKestruneSoundsTheSameFromTheSfzAsFromTheSlotOptionsAndStaysBelowFullScale)
{
  ASSERT_EQ(sRun->exitCode, 0) << sRun->output;
  const std::string render = "render " + Quote(KestrunePath()) + " --midi " +
                             Quote(sDir->Path("kit/kestrune-demo.mid")) + " --format float --tail 1 -o ";
  const ToolRun fromSfz =
      RunHost(render + Quote(sDir->Path("sfz.wav")) + " --sfz " + Quote(sDir->Path("kit/kestrune-kit.sfz")));
  ASSERT_EQ(fromSfz.exitCode, 0) << fromSfz.output;
  const ToolRun fromSlots = RunHost(render + Quote(sDir->Path("slots.wav")) + " --args " +
                                    Quote(sDir->Path("kit/kestrune-kit.args")));
  ASSERT_EQ(fromSlots.exitCode, 0) << fromSlots.output;
  WavData a, b;
  ASSERT_TRUE(ReadWav(sDir->Path("sfz.wav"), &a));
  ASSERT_TRUE(ReadWav(sDir->Path("slots.wav"), &b));
  ASSERT_EQ(a.interleaved.size(), b.interleaved.size());
  EXPECT_TRUE(a.interleaved == b.interleaved);
  float peak = 0.0f;
  for (float v : a.interleaved)
    peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.3f);
  EXPECT_LT(peak, 1.0f);
  // The song opens with pad, bass and drum: sound within its first half second.
  EXPECT_GE(FirstAbove(a, 0, 0.01), 0);
  EXPECT_LT(FirstAbove(a, 0, 0.01), 24000);
}
} // namespace
