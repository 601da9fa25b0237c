#include "tools/kestrune-host/SmfReader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace khost
{

namespace
{

struct TickEvent
{
  uint64_t tick;
  int track;
  size_t order;
  uint8_t bytes[3];
  uint8_t size;
};

struct TickTempo
{
  uint64_t tick;
  int track;
  size_t order;
  double microsPerQuarter;
};

class ByteCursor
{
public:
  ByteCursor(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  bool AtEnd() const { return mPos >= mSize; }
  size_t Left() const { return mSize - mPos; }
  bool Byte(uint8_t* out)
  {
    if (mPos >= mSize) return false;
    *out = mData[mPos++];
    return true;
  }
  bool Peek(uint8_t* out) const
  {
    if (mPos >= mSize) return false;
    *out = mData[mPos];
    return true;
  }
  bool Skip(uint64_t n)
  {
    if (n > Left()) return false;
    mPos += static_cast<size_t>(n);
    return true;
  }
  bool Big(int bytes, uint32_t* out)
  {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
    {
      uint8_t b;
      if (!Byte(&b)) return false;
      v = (v << 8) | b;
    }
    *out = v;
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  bool Vlq(uint32_t* out)
  {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
    {
      uint8_t b;
      if (!Byte(&b)) return false;
      v = (v << 7) | (b & 0x7F);
      if (!(b & 0x80))
      {
        *out = v;
        return true;
      }
    }
    return false;
  }
  const uint8_t* Here() const { return mData + mPos; }

private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

int DataBytesOf(uint8_t status)
{
  const uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool ReadTrack(ByteCursor track, int trackIndex, std::vector<TickEvent>* events,
               std::vector<TickTempo>* tempi, MidiSong* song, std::string* error)
{
  uint64_t tick = 0;
  uint8_t running = 0;
  size_t order = 0;
  while (!track.AtEnd())
  {
    uint32_t delta;
    if (!track.Vlq(&delta)) return *error = "truncated or malformed delta time", false;
    tick += delta;
    uint8_t status;
    if (!track.Peek(&status)) return *error = "track ends after a delta time", false;
    if (status & 0x80)
      track.Byte(&status);
    else if (running)
      status = running;
    else
      return *error = "data byte without a status", false;

    if (status == 0xFF)
    {
      uint8_t type;
      uint32_t length;
      if (!track.Byte(&type) || !track.Vlq(&length) || length > track.Left())
        return *error = "truncated meta event", false;
      const uint8_t* data = track.Here();
      if (type == 0x51 && length >= 3)
      {
        const uint32_t micros = (uint32_t(data[0]) << 16) | (uint32_t(data[1]) << 8) | data[2];
        if (micros > 0) tempi->push_back({tick, trackIndex, order++, static_cast<double>(micros)});
      }
      else if (type == 0x58 && length >= 2 && tick == 0)
      {
        song->mTimeSigNumerator = std::max(1, int(data[0]));
        song->mTimeSigDenominator = data[1] < 8 ? 1 << data[1] : 4;
      }
      track.Skip(length);
      if (type == 0x2F) break; // end of track
      continue;
    }
    if (status == 0xF0 || status == 0xF7)
    {
      uint32_t length;
      if (!track.Vlq(&length) || !track.Skip(length)) return *error = "truncated SysEx event", false;
      running = 0;
      continue;
    }
    if (status >= 0xF0) return *error = "system message inside a track", false;
    running = status;
    TickEvent e = {tick, trackIndex, order++, {status, 0, 0}, 1};
    for (int i = 0; i < DataBytesOf(status); ++i)
    {
      if (!track.Byte(&e.bytes[1 + i]) || (e.bytes[1 + i] & 0x80))
        return *error = "truncated or malformed channel message", false;
      ++e.size;
    }
    events->push_back(e);
  }
  return true;
}
} // namespace

bool SmfReader::Read(const std::vector<uint8_t>& bytes, MidiSong* song, std::string* error)
{
  std::string scratch;
  if (!error) error = &scratch;
  *song = MidiSong();
  ByteCursor file(bytes.data(), bytes.size());
  uint32_t id, headerLength, format, tracks, division;
  if (!file.Big(4, &id) || id != 0x4D546864) return *error = "not a Standard MIDI File (no MThd)", false;
  if (!file.Big(4, &headerLength) || headerLength < 6 || !file.Big(2, &format) || !file.Big(2, &tracks) ||
      !file.Big(2, &division) || !file.Skip(headerLength - 6))
    return *error = "truncated header", false;
  if (format > 2) return *error = "unknown format " + std::to_string(format), false;
  if (division == 0) return *error = "division of zero ticks", false;

  std::vector<TickEvent> events;
  std::vector<TickTempo> tempi;
  uint64_t trackStart = 0; // format 2: each track follows the one before
  for (uint32_t t = 0; t < tracks; ++t)
  {
    uint32_t chunkId, length;
    // Chunks other than MTrk are skipped, as the format asks.
    do
    {
      if (!file.Big(4, &chunkId) || !file.Big(4, &length))
        return *error = "file ends before track " + std::to_string(t + 1), false;
      if (length > file.Left()) return *error = "track " + std::to_string(t + 1) + " is truncated", false;
      if (chunkId != 0x4D54726B) file.Skip(length);
    } while (chunkId != 0x4D54726B);
    const size_t firstEvent = events.size(), firstTempo = tempi.size();
    if (!ReadTrack(ByteCursor(file.Here(), length), static_cast<int>(t), &events, &tempi, song, error))
    {
      *error = "track " + std::to_string(t + 1) + ": " + *error;
      return false;
    }
    file.Skip(length);
    if (format == 2)
    {
      uint64_t end = trackStart;
      for (size_t i = firstEvent; i < events.size(); ++i)
      {
        events[i].tick += trackStart;
        end = std::max(end, events[i].tick);
      }
      for (size_t i = firstTempo; i < tempi.size(); ++i)
        tempi[i].tick += trackStart;
      trackStart = end;
    }
  }

  auto earlier = [](const auto& a, const auto& b)
  {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.track != b.track) return a.track < b.track;
    return a.order < b.order;
  };
  std::sort(events.begin(), events.end(), earlier);
  std::sort(tempi.begin(), tempi.end(), earlier);

  // Seconds per tick: from the tempo for metrical time, fixed for timecode.
  const bool timecode = (division & 0x8000) != 0;
  double secondsPerTickFixed = 0.0;
  if (timecode)
  {
    const int fps = 256 - int(division >> 8);
    const int ticksPerFrame = int(division & 0xFF);
    if (ticksPerFrame == 0) return *error = "timecode division of zero ticks per frame", false;
    const double rate = fps == 29 ? 30000.0 / 1001.0 : double(fps);
    secondsPerTickFixed = 1.0 / (rate * ticksPerFrame);
  }
  const double ticksPerQuarter = timecode ? 0.0 : double(division);

  // The tempo map in seconds; 120 beats per minute until the first tempo event.
  uint64_t mapTick = 0;
  double mapSeconds = 0.0, mapMicros = 500000.0;
  song->mTempo.push_back({0.0, 0.0, 120.0});
  auto secondsAt = [&](uint64_t tick, uint64_t fromTick, double fromSeconds, double micros)
  {
    if (timecode) return double(tick) * secondsPerTickFixed;
    return fromSeconds + double(tick - fromTick) * micros / 1e6 / ticksPerQuarter;
  };
  size_t nextTempo = 0;
  for (const TickEvent& e : events)
  {
    while (nextTempo < tempi.size() && tempi[nextTempo].tick <= e.tick)
    {
      const TickTempo& t = tempi[nextTempo++];
      mapSeconds = secondsAt(t.tick, mapTick, mapSeconds, mapMicros);
      mapTick = t.tick;
      mapMicros = t.microsPerQuarter;
      const double beats = timecode ? 0.0 : double(t.tick) / ticksPerQuarter;
      if (song->mTempo.back().seconds == mapSeconds) song->mTempo.pop_back();
      song->mTempo.push_back({mapSeconds, beats, 60e6 / mapMicros});
    }
    SongEvent s = {
        secondsAt(e.tick, mapTick, mapSeconds, mapMicros), {e.bytes[0], e.bytes[1], e.bytes[2]}, e.size};
    song->mEvents.push_back(s);
  }
  return true;
}

bool SmfReader::ReadFile(const std::string& path, MidiSong* song, std::string* error)
{
  std::ifstream in(path, std::ios::binary);
  if (!in)
  {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Read(bytes, song, error);
}
} // namespace khost
