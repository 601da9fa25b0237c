#include "samplefiles/FlacLoader.h"

#include "samplefiles/SampleDataBuilder.h"
#include "samplefiles/SampleFileLimits.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace
{
// What the decoder's callbacks learn and where they put the samples.
struct FlacClient
{
  // Header step: the STREAMINFO block.
  bool haveInfo = false;
  uint64_t totalFrames = 0;
  uint32_t channels = 0;
  uint32_t bitsPerSample = 0;
  uint32_t sampleRate = 0;
  // Data step: the buffer (null in the header step) and whether the slot has a second plane.
  SampleDataBuilder* built = nullptr;
  bool stereo = false;
  bool failed = false; // the decoder reported an error: no frame is stored after it
};

// The file's length in bytes, or 0 when it cannot be told; leaves the position at the start.
uint64_t FileLength(std::FILE* file)
{
#if defined(_WIN32)
  if (_fseeki64(file, 0, SEEK_END) != 0) return 0;
  const int64_t length = _ftelli64(file);
  _fseeki64(file, 0, SEEK_SET);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return 0;
  const int64_t length = ftello(file);
  fseeko(file, 0, SEEK_SET);
#endif
  return length > 0 ? static_cast<uint64_t>(length) : 0;
}

FLAC__StreamDecoderWriteStatus OnFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                       const FLAC__int32* const buffer[], void* data)
{
  FlacClient& client = *static_cast<FlacClient*>(data);
  const uint32_t bits = frame->header.bits_per_sample;
  if (client.built == nullptr || client.failed || bits < FLAC__MIN_BITS_PER_SAMPLE ||
      bits > FLAC__MAX_BITS_PER_SAMPLE || frame->header.channels == 0)
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  // v / 2^(bits-1): a power of two, so every product is exact.
  const double scale = std::ldexp(1.0, 1 - static_cast<int>(bits));
  const uint32_t count = frame->header.blocksize;
  const uint32_t take = client.built->Room(count);
  double* left = client.built->Plane(0);
  for (uint32_t j = 0; j < take; ++j)
    left[j] = buffer[0][j] * scale;
  if (client.stereo)
  {
    double* right = client.built->Plane(1);
    if (frame->header.channels >= 2)
      for (uint32_t j = 0; j < take; ++j)
        right[j] = buffer[1][j] * scale;
    else
      std::fill(right, right + take, 0.0);
  }
  client.built->Added(take);
  // The slot's frames are all there, or the memory ran out: no more frames are wanted.
  return take < count ? FLAC__STREAM_DECODER_WRITE_STATUS_ABORT : FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* data)
{
  FlacClient& client = *static_cast<FlacClient*>(data);
  if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) return;
  const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
  client.haveInfo = true;
  client.totalFrames = info.total_samples;
  client.channels = info.channels;
  client.bitsPerSample = info.bits_per_sample;
  client.sampleRate = info.sample_rate;
}

// Lost sync, a bad frame header, a checksum that does not match: the sample ends before the frame.
void OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data)
{
  static_cast<FlacClient*>(data)->failed = true;
}

// One decoder for one step. Deleting it finishes it, which closes the file it was given.
class FlacStream
{
public:
  FlacStream() : mDecoder(FLAC__stream_decoder_new()) {}
  ~FlacStream()
  {
    if (mDecoder != nullptr) FLAC__stream_decoder_delete(mDecoder);
  }
  FlacStream(const FlacStream&) = delete;
  FlacStream& operator=(const FlacStream&) = delete;

  // Opens path with the C library (the path rules of the other readers) and hands the file to the
  // decoder, which owns it from then on. fileBytes gets the file's length.
  bool Open(const char* path, FlacClient& client, uint64_t& fileBytes)
  {
    if (mDecoder == nullptr || path == nullptr) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    fileBytes = FileLength(file);
    return FLAC__stream_decoder_init_FILE(mDecoder, file, OnFrame, OnMetadata, OnError, &client) ==
           FLAC__STREAM_DECODER_INIT_STATUS_OK;
  }

  FLAC__StreamDecoder* Get() { return mDecoder; }

private:
  FLAC__StreamDecoder* mDecoder;
};
} // namespace

bool ReadFlacHeader(const char* path, SampleFileInfo& info)
{
  // 1. Open and read the metadata blocks; STREAMINFO comes first in every valid stream.
  FlacClient client;
  FlacStream stream;
  uint64_t fileBytes = 0;
  if (!stream.Open(path, client, fileBytes)) return false;
  FLAC__stream_decoder_process_until_end_of_metadata(stream.Get());
  if (!client.haveInfo || client.failed) return false;

  // 2. The numbers a slot can hold. The format allows 1 ... 8 channels and rates up to 2^20 - 1.
  if (client.channels < 1 || client.channels > static_cast<uint32_t>(std::numeric_limits<int16_t>::max()) ||
      client.sampleRate == 0 || client.bitsPerSample < FLAC__MIN_BITS_PER_SAMPLE ||
      client.bitsPerSample > FLAC__MAX_BITS_PER_SAMPLE)
    return false;
  if (client.totalFrames > std::numeric_limits<uint32_t>::max()) return false;

  info.kind = SampleFileKind::kFlac;
  info.frames = client.totalFrames == 0 ? std::numeric_limits<uint32_t>::max()
                                        : static_cast<uint32_t>(client.totalFrames);
  info.channels = static_cast<int16_t>(client.channels);
  info.sampleRate = client.sampleRate;
  // 3. The decoder is deleted on leaving.
  return true;
}

bool LoadFlacSampleData(const char* path, uint32_t frames, int channels, DecodedSample& out)
{
  // 1. Open again; the file may have changed since the header step.
  FlacClient client;
  FlacStream stream;
  uint64_t fileBytes = 0;
  if (!stream.Open(path, client, fileBytes)) return false;

  // 2. Decode to the end, to the slot's frames or to the first error; the first room is what the
  // file's size makes plausible. The decoder's answer is not needed: an abort by OnFrame is how the
  // decoding stops early, and the builder knows whether memory failed.
  SampleDataBuilder built(SamplePlanes(channels), frames,
                          CompressedFirstFrames(frames, fileBytes, kFlacFramesPerFileByte));
  client.built = &built;
  client.stereo = channels >= 2;
  FLAC__stream_decoder_process_until_end_of_stream(stream.Get());
  // A file that is no FLAC stream now cannot be used.
  if (!client.haveInfo) return false;
  return built.Finish(out);
}
