#include "samplefiles/WavLoader.h"

#include "samplefiles/SampleFileLimits.h"
#include "samplefiles/WavReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

bool ReadWavHeader(const char* path, SampleFileInfo& info)
{
  WavReader reader;
  if (!reader.Open(path)) return false;
  if (reader.Channels() > INT16_MAX || reader.SampleRate() == 0) return false;
  info.kind = SampleFileKind::kWav;
  info.frames = reader.Frames();
  info.channels = static_cast<int16_t>(reader.Channels());
  info.sampleRate = reader.SampleRate();
  reader.Close();
  return true;
}

bool LoadWavSampleData(const char* path, double* data, uint32_t frames, int channels)
{
  // 1. A fresh reader: the file may have changed since the header step.
  WavReader reader;
  if (!reader.Open(path)) return false;
  if (data == nullptr || frames == 0 || channels <= 0) return true;

  const uint32_t fileChannels = reader.Channels();
  const size_t framesToRead = std::min(frames, reader.Frames());

  // 2. A mono file: its samples are plane 0 as they stand.
  if (fileChannels == 1)
  {
    reader.Read(data, framesToRead);
    return true;
  }

  // 3. Several channels: convert a block of interleaved frames at a time and spread channels 0 and 1
  // over planes 0 and 1. A block holds at least one whole frame even for files with many channels.
  const size_t blockFrames = std::max<size_t>(1, kWavDeinterleaveBlockSamples / fileChannels);
  std::unique_ptr<double[]> block(new (std::nothrow) double[blockFrames * fileChannels]);
  if (!block) return true; // nothing decoded: the slot stays silent, as for a file cut short
  double* left = data;
  double* right = channels >= 2 ? data + frames : nullptr;
  size_t frame = 0;
  while (frame < framesToRead)
  {
    const size_t want = std::min(blockFrames, framesToRead - frame);
    const size_t got = reader.Read(block.get(), want * fileChannels) / fileChannels;
    const double* in = block.get();
    for (size_t i = 0; i < got; ++i, in += fileChannels)
    {
      left[frame + i] = in[0];
      if (right != nullptr) right[frame + i] = in[1];
    }
    frame += got;
    if (got < want) break;
  }
  // 4. The reader closes on leaving; samples the file did not deliver stay 0.
  return true;
}
