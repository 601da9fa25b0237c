#pragma once
// Real Ogg Vorbis files for the loader tests, encoded with libvorbisenc.

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace oggtest
{
constexpr double kPi = 3.14159265358979323846;

// The test signal of channel c at frame f: a sine whose frequency grows with the channel, so planes
// can be told apart.
inline double Tone(int c, long f, long rate)
{
  return 0.5 * std::sin(2.0 * kPi * 220.0 * (c + 1) * f / rate);
}

// The rate of the loader suites' tone files.
constexpr long kToneRate = 44100;

// Root mean square of the difference between a decoded plane and channel c of the tone at rate.
// Vorbis is lossy: a plane in the right place stays far below the tone's own level (0.35), a plane
// that holds another channel, is shifted or has a gap does not.
inline double ToneError(const double* plane, int c, long frames, long rate = kToneRate)
{
  double sum = 0.0;
  for (long f = 0; f < frames; ++f)
  {
    const double d = plane[f] - Tone(c, f, rate);
    sum += d * d;
  }
  return std::sqrt(sum / frames);
}

// Encodes frames frames of Tone into path. Returns false when the encoder refuses the set-up.
inline bool WriteOgg(const std::string& path, int channels, long rate, long frames)
{
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.6f) != 0)
  {
    vorbis_info_clear(&vi);
    std::fclose(out);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, static_cast<int>(std::hash<std::string>{}(path)&0x7FFFFFFF));

  ogg_page page;
  auto writePage = [&]
  {
    std::fwrite(page.header, 1, page.header_len, out);
    std::fwrite(page.body, 1, page.body_len, out);
  };
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  while (ogg_stream_flush(&os, &page) != 0)
    writePage();

  auto drain = [&]
  {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&vd, &vb) == 1)
    {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &packet) != 0)
      {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page) != 0)
          writePage();
      }
    }
  };
  const long block = 1000;
  for (long start = 0; start < frames; start += block)
  {
    const long n = std::min(block, frames - start);
    float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
    for (int c = 0; c < channels; ++c)
      for (long i = 0; i < n; ++i)
        buffer[c][i] = static_cast<float>(Tone(c, start + i, rate));
    vorbis_analysis_wrote(&vd, static_cast<int>(n));
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &page) != 0)
    writePage();

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return std::fclose(out) == 0;
}

// The frames a plain libvorbisfile loop decodes from path (ov_read_float until it answers 0 or an
// error), -1 when it cannot be opened: what the file actually holds, whatever its pages claim.
inline long DecodedFrames(const std::string& path)
{
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) < 0) return -1;
  long frames = 0, n = 0;
  float** pcm = nullptr;
  int link = 0;
  while ((n = ov_read_float(&file, &pcm, 4096, &link)) > 0)
    frames += n;
  ov_clear(&file);
  return frames;
}

// A damaged or crafted file: the granule position of the file's last page, which libvorbisfile takes
// as the stream's length (ov_pcm_total), is set to granule and the page's checksum is computed again,
// so that the page is still accepted. The audio packets stay as they were. False when the file cannot
// be read or written or holds no whole page.
inline bool PatchLastGranule(const std::string& path, int64_t granule)
{
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  // Walk the pages from the start: a page is a 27-byte header, its lacing table and the body.
  size_t last = bytes.size(), at = 0;
  while (at + 27 <= bytes.size() && std::equal(bytes.begin() + at, bytes.begin() + at + 4, "OggS"))
  {
    const size_t segments = bytes[at + 26];
    if (at + 27 + segments > bytes.size()) break;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i)
      body += bytes[at + 27 + i];
    if (at + 27 + segments + body > bytes.size()) break;
    last = at;
    at += 27 + segments + body;
  }
  if (last == bytes.size()) return false;
  for (int i = 0; i < 8; ++i)
    bytes[last + 6 + i] = static_cast<unsigned char>(static_cast<uint64_t>(granule) >> (8 * i));
  ogg_page page;
  page.header = bytes.data() + last;
  page.header_len = 27 + bytes[last + 26];
  page.body = page.header + page.header_len;
  page.body_len = static_cast<long>(at - last) - page.header_len;
  ogg_page_checksum_set(&page);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
} // namespace oggtest
