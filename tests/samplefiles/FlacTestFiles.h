#pragma once
// Real FLAC files for the loader tests, encoded with libFLAC from integer samples the test chooses.

#include <FLAC/stream_encoder.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace flactest
{
// Encodes interleaved samples (frames x channels, each within bits bits) into path. Returns false
// when the encoder refuses the set-up or the file cannot be written.
inline bool WriteFlac(const std::string& path, int channels, uint32_t rate, int bits,
                      const std::vector<int32_t>& interleaved)
{
  FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
  if (encoder == nullptr) return false;
  const uint32_t frames = static_cast<uint32_t>(interleaved.size() / static_cast<size_t>(channels));
  bool ok = FLAC__stream_encoder_set_channels(encoder, static_cast<uint32_t>(channels)) &&
            FLAC__stream_encoder_set_bits_per_sample(encoder, static_cast<uint32_t>(bits)) &&
            FLAC__stream_encoder_set_sample_rate(encoder, rate) &&
            FLAC__stream_encoder_set_compression_level(encoder, 5) &&
            // Outside the streamable subset: every width the format has, 4 bits too.
            FLAC__stream_encoder_set_streamable_subset(encoder, false) &&
            FLAC__stream_encoder_set_total_samples_estimate(encoder, frames) &&
            FLAC__stream_encoder_init_file(encoder, path.c_str(), nullptr, nullptr) ==
                FLAC__STREAM_ENCODER_INIT_STATUS_OK;
  if (ok && frames != 0) ok = FLAC__stream_encoder_process_interleaved(encoder, interleaved.data(), frames);
  ok = FLAC__stream_encoder_finish(encoder) && ok;
  FLAC__stream_encoder_delete(encoder);
  return ok;
}

// Sample f of channel c at bits bits: a ramp that differs per channel and reaches both ends of the
// range (the most negative value at frame 0, the most positive at frame 1).
inline int32_t Sample(int c, uint32_t f, int bits)
{
  const int64_t most = (int64_t{1} << (bits - 1)) - 1;
  if (f == 0) return static_cast<int32_t>(-most - 1);
  if (f == 1) return static_cast<int32_t>(most);
  const int64_t span = most + 1;
  const int64_t v = (static_cast<int64_t>(f) * 2654435761LL * (c + 1)) % (2 * span);
  return static_cast<int32_t>(v - span);
}

inline std::vector<int32_t> Samples(int channels, uint32_t frames, int bits)
{
  std::vector<int32_t> s;
  s.reserve(size_t{frames} * static_cast<size_t>(channels));
  for (uint32_t f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      s.push_back(Sample(c, f, bits));
  return s;
}

// A damaged or crafted file: the total frame count in the STREAMINFO block (36 bits, which has no
// checksum) is set to total; 0 is how a stream says that it does not know its length.
inline bool PatchTotalFrames(const std::string& path, uint64_t total)
{
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  // "fLaC", the block header (4 bytes), then STREAMINFO: the count is the low 4 bits of byte 13 and
  // bytes 14 ... 17 of the block.
  const size_t at = 8 + 13;
  if (bytes.size() < at + 5 || bytes[0] != 'f' || (bytes[4] & 0x7F) != 0) return false;
  bytes[at] = static_cast<unsigned char>((bytes[at] & 0xF0) | ((total >> 32) & 0x0F));
  for (int i = 0; i < 4; ++i)
    bytes[at + 1 + i] = static_cast<unsigned char>(total >> (24 - 8 * i));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
} // namespace flactest
