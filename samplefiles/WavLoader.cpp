#include "samplefiles/WavLoader.h"

#include "samplefiles/SampleDataBuilder.h"
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

bool LoadWavSampleData(const char* path, uint32_t frames, int channels, DecodedSample& out)
{
  // 1. A fresh reader: the file may have changed since the header step.
  WavReader reader;
  if (!reader.Open(path)) return false;

  // 2. Room for the frames the file holds now, up to the slot's count, in one piece: Open counted only
  // the bytes present.
  const uint32_t limit = std::min(frames, reader.Frames());
  SampleDataBuilder built(SamplePlanes(channels), limit, limit);
  const uint32_t room = built.Room(limit);
  if (room != 0)
  {
    // 3. A mono file: its samples are plane 0 as they stand. Several channels: channels 0 and 1 go
    // straight to planes 0 and 1 (plane 1 only when the slot has one); the file's frames are stepped
    // by its own channel count.
    double* right = channels >= 2 ? built.Plane(1) : nullptr;
    const size_t got = reader.Channels() == 1 ? reader.Read(built.Plane(0), room)
                                              : reader.ReadPlanes(built.Plane(0), right, room);
    // A slot that has a second plane for a file that now has one channel: silence there.
    if (right != nullptr && reader.Channels() < 2) std::fill(right, right + got, 0.0);
    built.Added(static_cast<uint32_t>(got));
  }
  // 4. The reader closes on leaving; the sample ends where the file's samples end.
  return built.Finish(out);
}
