#include "tools/kestrune-host/OggWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vorbis/vorbisenc.h>

namespace khost
{

namespace
{
bool WritePage(FILE* file, const ogg_page& page)
{
  return std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) ==
             static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) ==
             static_cast<size_t>(page.body_len);
}

// The encoder's records, cleared in the reverse order of their set-up.
struct Encoder
{
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  bool dspReady = false, streamReady = false;
  Encoder()
  {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~Encoder()
  {
    if (streamReady) ogg_stream_clear(&stream);
    if (dspReady)
    {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
};
} // namespace

bool OggWriter::Write(const std::string& path, const std::vector<std::vector<float>>& channels,
                      int sampleRate, float quality, std::string* error)
{
  if (channels.empty()) return *error = "no channels to encode", false;
  const long frames = static_cast<long>(channels[0].size());
  Encoder enc;
  if (vorbis_encode_init_vbr(&enc.info, static_cast<long>(channels.size()), sampleRate, quality) != 0)
    return *error = "the Vorbis encoder refuses these settings", false;
  vorbis_comment_add_tag(&enc.comment, "ENCODER", "kestrune-host kit");
  vorbis_analysis_init(&enc.dsp, &enc.info);
  vorbis_block_init(&enc.dsp, &enc.block);
  enc.dspReady = true;
  ogg_stream_init(&enc.stream, 0x4B657374);
  enc.streamReady = true;

  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return *error = "cannot write " + path, false;
  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&enc.stream, &header);
  ogg_stream_packetin(&enc.stream, &headerComment);
  ogg_stream_packetin(&enc.stream, &headerCode);
  ogg_page page;
  while (ogg_stream_flush(&enc.stream, &page))
    if (!WritePage(file.get(), page)) return *error = "short write to " + path, false;

  constexpr long kChunkFrames = 1024;
  bool ok = true;
  for (long done = 0; ok;)
  {
    const long n = std::min(kChunkFrames, frames - done);
    if (n > 0)
    {
      float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(n));
      for (size_t c = 0; c < channels.size(); ++c)
        for (long i = 0; i < n; ++i)
          buffer[c][i] = channels[c][static_cast<size_t>(done + i)];
      vorbis_analysis_wrote(&enc.dsp, static_cast<int>(n));
      done += n;
    }
    else
      vorbis_analysis_wrote(&enc.dsp, 0); // end of stream
    bool ended = false;
    while (vorbis_analysis_blockout(&enc.dsp, &enc.block) == 1)
    {
      vorbis_analysis(&enc.block, nullptr);
      vorbis_bitrate_addblock(&enc.block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&enc.dsp, &packet))
      {
        ogg_stream_packetin(&enc.stream, &packet);
        while (ogg_stream_pageout(&enc.stream, &page))
        {
          ok = ok && WritePage(file.get(), page);
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
    if (n <= 0 || ended) break;
  }
  if (!ok) return *error = "short write to " + path, false;
  return true;
}
} // namespace khost
