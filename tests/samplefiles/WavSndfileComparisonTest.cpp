// The WAV reader against an independent decoder: a folder of files, some written by libsndfile in every
// encoding we accept (its float files carry extra chunks such as "fact" and "PEAK"), some built byte by
// byte with odd chunk layouts, must decode to the same doubles in both.

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/WavLoader.h"
#include "samplefiles/WavReader.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <vector>

using namespace wavtest;

namespace
{
// A test signal that reaches both ends of the range and crosses zero often.
std::vector<double> Signal(int channels, int frames)
{
  std::vector<double> s(size_t(channels) * frames);
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
    {
      const double x = std::sin(0.013 * f * (c + 1)) * 1.2;
      s[size_t(f) * channels + c] = std::fmax(-1.0, std::fmin(1.0, x));
    }
  return s;
}

void WriteWithSndfile(const std::string& path, int subformat, int channels, int frames)
{
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | subformat;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  const auto s = Signal(channels, frames);
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  EXPECT_EQ(sf_writef_double(file, s.data(), frames), frames);
  sf_close(file);
}

std::vector<double> ReadWithSndfile(const std::string& path, SF_INFO& info)
{
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return {};
  std::vector<double> s(size_t(info.channels) * info.frames);
  s.resize(size_t(sf_readf_double(file, s.data(), info.frames)) * info.channels);
  sf_close(file);
  return s;
}

void MakeFolder(const TempDir& dir)
{
  const int subformats[] = {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_FLOAT,
                            SF_FORMAT_DOUBLE};
  for (int subformat : subformats)
    for (int channels : {1, 2, 3})
      for (int frames : {1, 999, 20001})
        WriteWithSndfile(dir.Path() + "/sf-" + std::to_string(subformat) + "-" + std::to_string(channels) +
                             "-" + std::to_string(frames) + ".wav",
                         subformat, channels, frames);

  // Hand-built layouts: long fmt chunks, chunks before and after the data, odd sizes with pad bytes.
  std::vector<int16_t> v;
  for (int i = 0; i < 4001; ++i)
    v.push_back(static_cast<int16_t>(i * 37 - 32768));
  const Bytes data = Chunk("data", Pcm16(v));
  const Bytes list = Chunk("LIST", 7, {'I', 'N', 'F', 'O', 'a', 'b', 'c', 0});
  dir.Write("fmt18.wav", Riff({Fmt(1, 1, 22050, 16, 2), list, data}));
  dir.Write("trailer.wav", Riff({Fmt(1, 1, 8000, 16), Chunk("junk", {1, 2, 3, 4}), data, list}));
  Bytes bytes8;
  for (int i = 0; i < 255; ++i)
    bytes8.push_back(static_cast<uint8_t>(i));
  dir.Write("odd8.wav", Riff({Fmt(1, 1, 8000, 8), Chunk("data", 255, Bytes(bytes8.begin(), bytes8.end()))}));
}
} // namespace

TEST(WavSndfileComparison, EveryGeneratedFileDecodesToTheSameSamples)
{
  TempDir dir;
  MakeFolder(dir);
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
  {
    const std::string path = entry.path().string();
    SF_INFO info{};
    const auto expected = ReadWithSndfile(path, info);
    ASSERT_FALSE(expected.empty()) << path;

    WavReader reader;
    ASSERT_TRUE(reader.Open(path.c_str())) << path;
    EXPECT_EQ(reader.Frames(), static_cast<uint32_t>(info.frames)) << path;
    EXPECT_EQ(reader.Channels(), static_cast<uint32_t>(info.channels)) << path;
    EXPECT_EQ(reader.SampleRate(), static_cast<uint32_t>(info.samplerate)) << path;
    std::vector<double> got(expected.size() + 8);
    got.resize(reader.Read(got.data(), got.size()));
    ASSERT_EQ(got.size(), expected.size()) << path;
    for (size_t i = 0; i < got.size(); ++i)
      ASSERT_EQ(got[i], expected[i]) << path << " sample " << i;

    // The data step's planes hold channels 0 and 1 of the same samples.
    SampleFileInfo header;
    ASSERT_TRUE(ReadWavHeader(path.c_str(), header)) << path;
    const size_t frames = header.frames, channels = header.channels;
    DecodedSample decoded;
    ASSERT_TRUE(LoadWavSampleData(path.c_str(), header.frames, header.channels, decoded)) << path;
    ASSERT_EQ(decoded.frames, header.frames) << path;
    const double* planes = decoded.data.get();
    for (size_t c = 0; c < static_cast<size_t>(SamplePlanes(header.channels)); ++c)
      for (size_t f = 0; f < frames; ++f)
        ASSERT_EQ(planes[c * frames + f], expected[f * channels + c])
            << path << " channel " << c << " frame " << f;
    ++compared;
  }
  EXPECT_EQ(compared, 5 * 3 * 3 + 3);
}
