#include "samplefiles/WavLoader.h"

#include "samplefiles/WavReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

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

  // 3. Several channels: channels 0 and 1 go straight to planes 0 and 1 (plane 1 only when the slot has
  // one); the file's frames are stepped by its own channel count.
  reader.ReadPlanes(data, channels >= 2 ? data + frames : nullptr, framesToRead);
  // 4. The reader closes on leaving; samples the file did not deliver stay 0.
  return true;
}
