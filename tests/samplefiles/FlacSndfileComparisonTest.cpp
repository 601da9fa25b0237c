// The FLAC loader against an independent decoder: files libsndfile writes in every FLAC width it
// offers (8, 16 and 24 bits) with one to eight channels must decode to the same samples in both,
// libsndfile's integers taken with the scaling of the WAV reader's integer PCM.

#include "samplefiles/FlacLoader.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
void WriteWithSndfile(const std::string& path, int subformat, int channels, int frames)
{
  SF_INFO info{};
  info.samplerate = 48000;
  info.channels = channels;
  info.format = SF_FORMAT_FLAC | subformat;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<double> s(size_t(channels) * frames);
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      s[size_t(f) * channels + c] = std::fmax(-1.0, std::fmin(1.0, std::sin(0.013 * f * (c + 1)) * 1.2));
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  EXPECT_EQ(sf_writef_double(file, s.data(), frames), frames);
  sf_close(file);
}
} // namespace

TEST(FlacSndfileComparison, EveryGeneratedFileDecodesToTheSameSamples)
{
  wavtest::TempDir dir;
  int compared = 0;
  const struct
  {
    int subformat;
    int bits;
  } widths[] = {{SF_FORMAT_PCM_S8, 8}, {SF_FORMAT_PCM_16, 16}, {SF_FORMAT_PCM_24, 24}};
  for (const auto& width : widths)
    for (int channels : {1, 2, 3, 6, 8})
      for (int frames : {1, 4607, 20001})
      {
        const std::string path = dir.Path() + "/sf-" + std::to_string(width.bits) + "-" +
                                 std::to_string(channels) + "-" + std::to_string(frames) + ".flac";
        SCOPED_TRACE(path);
        WriteWithSndfile(path, width.subformat, channels, frames);

        // libsndfile's decode: integers left-justified in 32 bits; v / 2^(bits-1) is that / 2^31.
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr);
        std::vector<int> expected(size_t(info.channels) * info.frames);
        ASSERT_EQ(sf_readf_int(file, expected.data(), info.frames), info.frames);
        sf_close(file);

        SampleFileInfo header;
        ASSERT_TRUE(ReadFlacHeader(path.c_str(), header));
        EXPECT_EQ(header.frames, static_cast<uint32_t>(info.frames));
        EXPECT_EQ(header.channels, info.channels);
        EXPECT_EQ(header.sampleRate, static_cast<uint32_t>(info.samplerate));
        DecodedSample decoded;
        ASSERT_TRUE(LoadFlacSampleData(path.c_str(), header.frames, header.channels, decoded));
        ASSERT_EQ(decoded.frames, header.frames);
        for (int c = 0; c < SamplePlanes(channels); ++c)
          for (int f = 0; f < frames; ++f)
            ASSERT_EQ(decoded.data[size_t(c) * frames + f],
                      std::ldexp(expected[size_t(f) * channels + c], -31))
                << "channel " << c << " frame " << f;
        ++compared;
      }
  EXPECT_EQ(compared, 3 * 5 * 3);
}
