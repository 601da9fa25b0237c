#include "tools/kestrune-host/SmfWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace khost
{

namespace
{
void PutBig(std::vector<uint8_t>* out, uint32_t v, int bytes)
{
  for (int i = bytes - 1; i >= 0; --i)
    out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutVlq(std::vector<uint8_t>* out, uint32_t v)
{
  uint8_t groups[5];
  int n = 0;
  do
  {
    groups[n++] = v & 0x7F;
    v >>= 7;
  } while (v && n < 5);
  while (n-- > 0)
    out->push_back(static_cast<uint8_t>(groups[n] | (n > 0 ? 0x80 : 0)));
}
} // namespace

SmfWriter::SmfWriter(int ticksPerQuarter) : mTicksPerQuarter(ticksPerQuarter), mTracks(1) {}

int SmfWriter::AddTrack()
{
  mTracks.emplace_back();
  return static_cast<int>(mTracks.size()) - 1;
}

void SmfWriter::Tempo(int track, uint64_t tick, double bpm)
{
  const uint32_t micros = static_cast<uint32_t>(std::lround(60e6 / bpm));
  mTracks[track].push_back(
      {tick, mOrder++, {0xFF, 0x51, 3, uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)}});
}

void SmfWriter::TimeSignature(int track, uint64_t tick, int numerator, int denominator)
{
  uint8_t power = 0;
  while ((1 << power) < denominator && power < 7)
    ++power;
  mTracks[track].push_back({tick, mOrder++, {0xFF, 0x58, 4, uint8_t(numerator), power, 24, 8}});
}

void SmfWriter::Message(int track, uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2)
{
  const uint8_t kind = status & 0xF0;
  if (kind == 0xC0 || kind == 0xD0)
    mTracks[track].push_back({tick, mOrder++, {status, data1}});
  else
    mTracks[track].push_back({tick, mOrder++, {status, data1, data2}});
}

void SmfWriter::Note(int track, uint64_t tick, int channel, int key, int velocity, uint64_t length)
{
  Message(track, tick, uint8_t(0x90 | (channel & 15)), uint8_t(key), uint8_t(velocity));
  Message(track, tick + length, uint8_t(0x80 | (channel & 15)), uint8_t(key), 0);
}

std::vector<uint8_t> SmfWriter::Bytes(int format) const
{
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  PutBig(&out, 6, 4);
  PutBig(&out, static_cast<uint32_t>(format), 2);
  PutBig(&out, static_cast<uint32_t>(mTracks.size()), 2);
  PutBig(&out, static_cast<uint32_t>(mTicksPerQuarter), 2);
  for (std::vector<Item> items : mTracks)
  {
    // The order of insertion breaks ties, so a plain sort keeps simultaneous items in order.
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b)
              { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
    std::vector<uint8_t> body;
    uint64_t last = 0;
    uint8_t running = 0;
    for (const Item& item : items)
    {
      PutVlq(&body, static_cast<uint32_t>(item.tick - last));
      last = item.tick;
      const bool channel = item.bytes[0] < 0xF0;
      if (channel && item.bytes[0] == running)
        body.insert(body.end(), item.bytes.begin() + 1, item.bytes.end());
      else
        body.insert(body.end(), item.bytes.begin(), item.bytes.end());
      running = channel ? item.bytes[0] : 0;
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBig(&out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

bool SmfWriter::Save(const std::string& path, int format) const
{
  const std::vector<uint8_t> bytes = Bytes(format);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}
} // namespace khost
