// The WAV reader on crafted files (encodings, chunk walks, refusals, truncation) and the loader that
// splits its samples into the slot's planes.

#include "samplefiles/WavReader.h"
#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace wavtest;

namespace
{
class WavReaderTest : public ::testing::Test
{
protected:
  // Opens the bytes as a file and reads every sample the reader offers (plus a margin it must refuse).
  std::vector<double> ReadAll(const Bytes& bytes, bool* opened = nullptr)
  {
    const std::string path = dir.Write("test.wav", bytes);
    const bool ok = reader.Open(path.c_str());
    if (opened != nullptr) *opened = ok;
    if (!ok) return {};
    std::vector<double> out(size_t{reader.Frames()} * reader.Channels() + 16, -7.0);
    out.resize(reader.Read(out.data(), out.size()));
    return out;
  }

  bool Opens(const Bytes& bytes)
  {
    const std::string path = dir.Write("test.wav", bytes);
    return reader.Open(path.c_str());
  }

  TempDir dir;
  WavReader reader;
};

Bytes Data(const Bytes& payload)
{
  return Chunk("data", payload);
}
} // namespace

TEST_F(WavReaderTest, EachSampleFormatConvertsItsExtremesExactly)
{
  const float f[] = {1.5f, -3.25f, 0.1f, -0.0f};
  Bytes float32(sizeof f);
  std::memcpy(float32.data(), f, sizeof f);
  struct Case
  {
    const char* what;
    Bytes file;
    std::vector<double> samples;
  };
  const Case cases[] = {
      {"8-bit: bytes map to the full range",
       Riff({Fmt(1, 1, 8000, 8), Data({0x80, 0x00, 0xFF, 0x81})}),
       {0.0, -1.0, 0.9921875, 0.0078125}},
      {"16-bit: scaled by 1/32768",
       Riff({Fmt(1, 1, 8000, 16), Data(Pcm16({-32768, 32767, 0, -1, 16384}))}),
       {-1.0, 32767.0 / 32768.0, 0.0, -1.0 / 32768.0, 0.5}},
      {"24-bit: sign-extended from bit 23",
       Riff({Fmt(1, 1, 8000, 24), Data({0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x01, 0x00,
                                        0x00, 0x00, 0x00, 0x40})}),
       {-1.0, 0.99999988079071044921875, -1.0 / 8388608.0, 1.0 / 8388608.0, 0.5}},
      {"32-bit float: unchanged, not clipped",
       Riff({Fmt(3, 1, 8000, 32), Data(float32)}),
       {1.5, -3.25, static_cast<double>(0.1f), -0.0}},
      {"64-bit float: unchanged",
       Riff({Fmt(3, 2, 8000, 64), Data(Float64({0.1, -2.0, 1e300, 0.0}))}),
       {0.1, -2.0, 1e300, 0.0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    const auto s = ReadAll(c.file);
    ASSERT_EQ(s.size(), c.samples.size());
    for (size_t i = 0; i < s.size(); ++i)
    {
      EXPECT_EQ(s[i], c.samples[i]) << i;
      EXPECT_EQ(std::signbit(s[i]), std::signbit(c.samples[i])) << i;
    }
  }
}

TEST_F(WavReaderTest, ChunkWalkSkipsForeignChunksPadBytesAndLongFormats)
{
  struct Case
  {
    const char* what;
    Bytes file;
    std::vector<double> samples;
  };
  const Case cases[] = {
      {"LIST and fact between fmt and data",
       Riff({Fmt(1, 1, 8000, 16), Chunk("LIST", {'I', 'N', 'F', 'O', 'a', 'b', 'c', 'd'}),
             Chunk("fact", {4, 0, 0, 0}), Data(Pcm16({100, -100}))}),
       {100 / 32768.0, -100 / 32768.0}},
      {"fmt with 2 extra bytes", Riff({Fmt(1, 1, 8000, 16, 2), Data(Pcm16({-32768, 8192}))}), {-1.0, 0.25}},
      {"fmt with 24 extra bytes", Riff({Fmt(1, 1, 8000, 16, 24), Data(Pcm16({-32768, 8192}))}), {-1.0, 0.25}},
      {"odd LIST followed by its pad byte",
       Riff({Fmt(1, 1, 8000, 8), Chunk("LIST", 5, {'I', 'N', 'F', 'O', 'x', 0}), Data({0xFF})}),
       {0.9921875}},
      {"odd data before any fmt is skipped with its pad",
       Riff({Chunk("data", 3, {1, 2, 3, 0}), Fmt(1, 1, 8000, 8), Data({0x00})}),
       {-1.0}},
      {"empty data chunk skipped for a later one",
       Riff({Fmt(1, 1, 8000, 16), Chunk("data", {}), Data(Pcm16({-32768}))}),
       {-1.0}},
      {"refused format forgotten, a later one accepted",
       Riff({Fmt(1, 1, 8000, 32), Fmt(1, 1, 22050, 16), Data(Pcm16({16384}))}),
       {0.5}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadAll(c.file), c.samples);
  }
  EXPECT_EQ(reader.SampleRate(), 22050u);
  EXPECT_FALSE(Opens(Riff({Fmt(1, 2, 8000, 16), Fmt(1, 1, 8000, 32), Data(Pcm16({1, 2}))})));
}

TEST_F(WavReaderTest, FilesWithoutAnAcceptedFormatBeforeTheDataAreRefused)
{
  const Bytes data = Data(Pcm16({1, 2}));
  EXPECT_FALSE(Opens(Riff({data, Fmt(1, 1, 8000, 16)}))) << "data before fmt";
  EXPECT_FALSE(Opens(Riff({Fmt(1, 0, 8000, 16), data}))) << "channels 0";
  EXPECT_FALSE(Opens(Riff({Fmt(1, 1, 8000, 32), data}))) << "32-bit integer PCM";
  EXPECT_FALSE(Opens(Riff({Fmt(0xFFFE, 1, 8000, 16, 24), data}))) << "extensible";
  EXPECT_FALSE(Opens(Riff({Fmt(3, 1, 8000, 16), data}))) << "16-bit float";
  EXPECT_FALSE(Opens(Riff({Fmt(2, 1, 8000, 4), data}))) << "compressed";
  EXPECT_FALSE(Opens(Riff({Chunk("fmt ", {1, 0, 1, 0}), data}))) << "short fmt";
  EXPECT_FALSE(Opens(Riff({Fmt(1, 1, 8000, 16)}))) << "no data";
  EXPECT_FALSE(Opens(Riff({Fmt(1, 1, 8000, 16), Chunk("data", {})}))) << "only an empty data chunk";
  EXPECT_FALSE(reader.Read(nullptr, 0)) << "a refused file leaves nothing open";
}

TEST_F(WavReaderTest, NonRiffAndCutHeadersAreRefused)
{
  Bytes good = Riff({Fmt(1, 1, 8000, 16), Data(Pcm16({1}))});
  Bytes rifx = good;
  rifx[3] = 'X';
  EXPECT_FALSE(Opens(rifx));
  Bytes wave = good;
  wave[11] = 'X';
  EXPECT_FALSE(Opens(wave));
  EXPECT_FALSE(Opens(Bytes(good.begin(), good.begin() + 11)));
  EXPECT_FALSE(Opens(Bytes(good.begin(), good.begin() + 30))) << "fmt cut inside";
  EXPECT_FALSE(Opens(Bytes(good.begin(), good.begin() + 40))) << "data header cut";
  EXPECT_FALSE(Opens({}));
  EXPECT_FALSE(reader.Open((dir.Path() + "/missing.wav").c_str()));
}

TEST_F(WavReaderTest, DataClaimsBeyondTheFileCountOnlyTheBytesPresent)
{
  // Truncated file: 1000 frames claimed, 3 and a half present.
  Bytes cut = Chunk("data", 4000, Pcm16({1, 2, 3, 4, 5, 6, 7}));
  cut.push_back(0x12);
  ASSERT_TRUE(Opens(Riff({Fmt(1, 2, 8000, 16), cut})));
  EXPECT_EQ(reader.Frames(), 3u);

  // A streamed file whose size fields were never patched.
  const auto s = ReadAll(Riff({Fmt(1, 1, 8000, 16), Chunk("data", 0xFFFFFFFF, Pcm16({8192, -8192}))}));
  EXPECT_EQ(reader.Frames(), 2u);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[1], -0.25);

  // A claim with no byte behind it at all.
  ASSERT_TRUE(Opens(Riff({Fmt(3, 8, 8000, 64), Chunk("data", 0xFFFFFFF0, {})})));
  EXPECT_EQ(reader.Frames(), 0u);
}

namespace
{
// 16-bit file whose sample at frame f, channel c is f * 16 + c, so a plane's content shows where each
// value came from.
Bytes NumberedPcm16(uint16_t channels, uint32_t frames, uint32_t rate = 8000)
{
  std::vector<int16_t> v;
  for (uint32_t f = 0; f < frames; ++f)
    for (uint16_t c = 0; c < channels; ++c)
      v.push_back(static_cast<int16_t>(f * 16 + c));
  return Riff({Fmt(1, channels, rate, 16), Chunk("data", Pcm16(v))});
}

double N(int f, int c)
{
  return (f * 16 + c) / 32768.0;
}

// The data step for a slot of frames frames and channels channels: the planes it hands over, and in
// stored the slot's frame count afterwards.
std::vector<double> Load(const std::string& path, uint32_t frames, int channels, uint32_t* stored = nullptr,
                         bool* ok = nullptr)
{
  DecodedSample out;
  const bool loaded = LoadWavSampleData(path.c_str(), frames, channels, out);
  if (ok != nullptr) *ok = loaded;
  if (!loaded) return {};
  EXPECT_LE(out.frames, frames);
  if (stored != nullptr) *stored = out.frames;
  if (out.frames == 0) return {out.data[0]};
  return std::vector<double>(out.data.get(), out.data.get() + size_t{out.frames} * SamplePlanes(channels));
}
} // namespace

TEST(WavLoader, HeaderStepRefusesWhatASlotCannotHold)
{
  TempDir dir;
  SampleFileInfo info;
  info.frames = 99;
  EXPECT_FALSE(ReadWavHeader(dir.Write("r0.wav", NumberedPcm16(1, 4, 0)).c_str(), info)) << "rate 0";
  const Bytes manyChannels = Riff({Fmt(1, 40000, 8000, 8), Chunk("data", Bytes(40000, 0x80))});
  EXPECT_FALSE(ReadWavHeader(dir.Write("c.wav", manyChannels).c_str(), info)) << "40000 channels";
  EXPECT_FALSE(ReadWavHeader(dir.Write("x.wav", {'n', 'o'}).c_str(), info));
  EXPECT_EQ(info.frames, 99u);
}

TEST(WavLoader, ChannelsAreSplitIntoPlanesKeepingOnlyTheFirstTwo)
{
  TempDir dir;
  EXPECT_EQ(Load(dir.Write("m.wav", NumberedPcm16(1, 3)), 3, 1),
            (std::vector<double>{N(0, 0), N(1, 0), N(2, 0)}));
  EXPECT_EQ(Load(dir.Write("s.wav", NumberedPcm16(2, 3)), 3, 2),
            (std::vector<double>{N(0, 0), N(1, 0), N(2, 0), N(0, 1), N(1, 1), N(2, 1)}));
  // Four channels: the two planes that play, nothing for the others.
  EXPECT_EQ(Load(dir.Write("q.wav", NumberedPcm16(4, 3)), 3, 4),
            (std::vector<double>{N(0, 0), N(1, 0), N(2, 0), N(0, 1), N(1, 1), N(2, 1)}));
}

TEST(WavLoader, AFileThatShrankSinceTheHeaderStepEndsWhereItsSamplesEnd)
{
  TempDir dir;
  const std::string path = dir.Write("g.wav", NumberedPcm16(2, 4));
  SampleFileInfo info;
  ASSERT_TRUE(ReadWavHeader(path.c_str(), info));
  dir.Write("g.wav", NumberedPcm16(2, 2));
  uint32_t frames = 0;
  EXPECT_EQ(Load(path, info.frames, info.channels, &frames),
            (std::vector<double>{N(0, 0), N(1, 0), N(0, 1), N(1, 1)}));
  EXPECT_EQ(frames, 2u);

  // Nothing left: an empty sample, as a file of no frames gives.
  dir.Write("g.wav", Riff({Fmt(1, 2, 8000, 16), Chunk("data", 64, {})}));
  bool ok = false;
  EXPECT_EQ(Load(path, info.frames, info.channels, &frames, &ok), (std::vector<double>{0.0}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(frames, 0u);
}

TEST(WavLoader, AFileThatGrewOrChangedChannelsKeepsTheSlotsFramesAndPlanes)
{
  TempDir dir;
  const std::string path = dir.Write("g.wav", NumberedPcm16(4, 6));
  // The slot still believes in a 2-frame mono file.
  uint32_t frames = 0;
  EXPECT_EQ(Load(path, 2, 1, &frames), (std::vector<double>{N(0, 0), N(1, 0)}));
  EXPECT_EQ(frames, 2u);
  // A stereo slot whose file became mono: its second plane is silent.
  dir.Write("g.wav", NumberedPcm16(1, 3));
  EXPECT_EQ(Load(path, 3, 2), (std::vector<double>{N(0, 0), N(1, 0), N(2, 0), 0, 0, 0}));
}

TEST(SampleBuffer, ReversalTurnsTheFirstTwoPlanesAroundAndLeavesShortDataAlone)
{
  double stereo[] = {1, 2, 3, 4, 5, 6, 9, 9, 9};
  ReverseSampleData(stereo, 3, 3);
  EXPECT_EQ(std::vector<double>(stereo, stereo + 9), (std::vector<double>{3, 2, 1, 6, 5, 4, 9, 9, 9}));
  ReverseSampleData(stereo, 3, 3);
  EXPECT_EQ(std::vector<double>(stereo, stereo + 9), (std::vector<double>{1, 2, 3, 4, 5, 6, 9, 9, 9}));

  double mono[] = {1, 2, 3, 4};
  ReverseSampleData(mono, 3, 1);
  EXPECT_EQ(std::vector<double>(mono, mono + 4), (std::vector<double>{3, 2, 1, 4}));
  ReverseSampleData(mono, 1, 1); // one frame or none, or no data: nothing changes
  ReverseSampleData(mono, 0, 1);
  ReverseSampleData(nullptr, 5, 2);
  EXPECT_EQ(std::vector<double>(mono, mono + 4), (std::vector<double>{3, 2, 1, 4}));
}
