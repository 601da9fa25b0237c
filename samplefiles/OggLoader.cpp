#include "samplefiles/OggLoader.h"

#include "samplefiles/SampleDataBuilder.h"
#include "samplefiles/SampleFileLimits.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace
{
// One decoder record. It starts zeroed so that ov_clear is safe even when ov_fopen failed before
// touching it (a file that cannot be opened at all), and it is always cleared on leaving.
class OggStream
{
public:
  OggStream() { std::memset(&mFile, 0, sizeof mFile); }
  ~OggStream() { ov_clear(&mFile); }
  OggStream(const OggStream&) = delete;
  OggStream& operator=(const OggStream&) = delete;

  bool Open(const char* path) { return path != nullptr && ov_fopen(path, &mFile) >= 0; }
  OggVorbis_File* Get() { return &mFile; }

private:
  OggVorbis_File mFile;
};
} // namespace

bool ReadOggHeader(const char* path, SampleFileInfo& info)
{
  // 1. Open; a negative answer means the file cannot be used.
  OggStream stream;
  if (!stream.Open(path)) return false;

  // 2. Frames of the whole stream. An error code is not a count.
  const ogg_int64_t total = ov_pcm_total(stream.Get(), -1);
  if (total < 0 || total > std::numeric_limits<uint32_t>::max()) return false;

  // 3. Channels and rate of the current logical stream.
  const vorbis_info* vi = ov_info(stream.Get(), -1);
  if (vi == nullptr || vi->channels <= 0 || vi->channels > std::numeric_limits<int16_t>::max()) return false;
  if (vi->rate <= 0 || static_cast<unsigned long>(vi->rate) > std::numeric_limits<uint32_t>::max())
    return false;

  info.kind = SampleFileKind::kOgg;
  info.frames = static_cast<uint32_t>(total);
  info.channels = static_cast<int16_t>(vi->channels);
  info.sampleRate = static_cast<uint32_t>(vi->rate);
  // 4. The record is cleared on leaving.
  return true;
}

bool LoadOggSampleData(const char* path, uint32_t frames, int channels, DecodedSample& out)
{
  // 1. Open again; the file may have changed since the header step.
  OggStream stream;
  if (!stream.Open(path)) return false;

  // 2. Decode block by block; each block's frames go to the end of planes 0 and 1. The first room is
  // what the file's size makes plausible.
  const ogg_int64_t fileBytes = ov_raw_total(stream.Get(), -1);
  SampleDataBuilder built(SamplePlanes(channels), frames,
                          CompressedFirstFrames(frames, fileBytes > 0 ? static_cast<uint64_t>(fileBytes) : 0,
                                                kOggFramesPerFileByte));
  const bool stereo = channels >= 2;
  int bitstream = 0;
  while (!built.Full())
  {
    float** pcm = nullptr;
    const long n = ov_read_float(stream.Get(), &pcm, kOggReadFrames, &bitstream);
    if (n <= 0) break; // the end, or a hole or damaged packet: the sample ends here
    // A stream longer than its header said: the frames past the limit are dropped.
    const uint32_t take = built.Room(static_cast<uint32_t>(n));
    if (take == 0) break;
    double* left = built.Plane(0);
    for (uint32_t j = 0; j < take; ++j)
      left[j] = pcm[0][j];
    if (stereo)
    {
      // In a chained file a link can have fewer channels than the first: read channel 1 only where the
      // link that delivered this block has one.
      const vorbis_info* vi = ov_info(stream.Get(), -1);
      double* right = built.Plane(1);
      if (vi != nullptr && vi->channels >= 2)
        for (uint32_t j = 0; j < take; ++j)
          right[j] = pcm[1][j];
      else
        std::fill(right, right + take, 0.0);
    }
    built.Added(take);
  }
  // 3. The record is cleared on leaving.
  return built.Finish(out);
}
