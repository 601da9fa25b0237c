// The Standard MIDI File reader: timing through tempo maps, running status, file formats, and
// refusal of broken files.

#include "tools/kestrune-host/SmfReader.h"
#include "tools/kestrune-host/SmfWriter.h"

#include <gtest/gtest.h>

namespace
{
using khost::MidiSong;
using khost::SmfReader;
using khost::SmfWriter;

std::vector<uint8_t> Header(int format, int tracks, int division)
{
  return {'M',
          'T',
          'h',
          'd',
          0,
          0,
          0,
          6,
          0,
          uint8_t(format),
          0,
          uint8_t(tracks),
          uint8_t(division >> 8),
          uint8_t(division)};
}

void AddTrack(std::vector<uint8_t>* file, const std::vector<uint8_t>& body)
{
  const uint32_t n = static_cast<uint32_t>(body.size());
  file->insert(file->end(),
               {'M', 'T', 'r', 'k', uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
  file->insert(file->end(), body.begin(), body.end());
}

MidiSong MustRead(const std::vector<uint8_t>& bytes)
{
  MidiSong song;
  std::string error;
  EXPECT_TRUE(SmfReader::Read(bytes, &song, &error)) << error;
  return song;
}

TEST(SmfReader, Format0RunningStatusAndTempoChangeGiveExactSeconds)
{
  // 96 ticks per quarter; 120 bpm, then after one quarter 60 bpm (1 000 000 us per quarter).
  auto file = Header(0, 1, 96);
  AddTrack(&file, {0x00, 0x90, 60,   100,                    // note at 0
                   0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // tempo 60 bpm at tick 96
                   0x00, 62,   100,                          // running status: note 62 at tick 96
                   0x60, 64,   0, // running status: note 64 off (velocity 0) at 192
                   0x00, 0xFF, 0x2F, 0x00});
  const MidiSong song = MustRead(file);
  ASSERT_EQ(song.mEvents.size(), 3u);
  EXPECT_DOUBLE_EQ(song.mEvents[0].seconds, 0.0);
  EXPECT_DOUBLE_EQ(song.mEvents[1].seconds, 0.5);
  EXPECT_EQ(song.mEvents[1].bytes[1], 62);
  EXPECT_DOUBLE_EQ(song.mEvents[2].seconds, 1.5);
  EXPECT_EQ(song.mEvents[2].bytes[0], 0x90);
  EXPECT_EQ(song.mEvents[2].bytes[2], 0);
  EXPECT_DOUBLE_EQ(song.TempoAt(0.25), 120.0);
  EXPECT_DOUBLE_EQ(song.TempoAt(1.0), 60.0);
  EXPECT_DOUBLE_EQ(song.BeatsAt(1.5), 2.0);
}

TEST(SmfReader, Format1TempoTrackTimesEveryTrackAndSimultaneousEventsKeepTrackOrder)
{
  SmfWriter writer(480);
  writer.Tempo(0, 0, 100.0);
  writer.Tempo(0, 960, 150.0);
  const int a = writer.AddTrack(), b = writer.AddTrack();
  writer.Message(b, 1920, 0x91, 40, 90);
  writer.Message(a, 1920, 0x90, 70, 90);
  writer.Message(a, 480, 0xB0, 7, 100);
  const MidiSong song = MustRead(writer.Bytes(1));
  ASSERT_EQ(song.mEvents.size(), 3u);
  EXPECT_DOUBLE_EQ(song.mEvents[0].seconds, 0.6);           // one quarter at 100 bpm
  EXPECT_DOUBLE_EQ(song.mEvents[1].seconds, 1.2 + 2 * 0.4); // two at 100, two at 150
  EXPECT_EQ(song.mEvents[1].bytes[0], 0x90);                // track 1 before track 2 at the same tick
  EXPECT_EQ(song.mEvents[2].bytes[0], 0x91);
  EXPECT_EQ(khost::MidiSong::FrameOf(song.mEvents[1].seconds, 48000.0), 96000);
}

TEST(SmfReader, ProgramChangeHasOneDataByteAndSysExIsSkippedAndEndsRunningStatus)
{
  auto file = Header(0, 1, 480);
  AddTrack(&file, {0x00, 0xC0, 5,                      // program change: one data byte
                   0x00, 0xF0, 0x03, 0x7E, 0x01, 0xF7, // SysEx, skipped
                   0x00, 0x90, 60, 64,                 // needs its status again
                   0x00, 0xFF, 0x2F, 0x00});
  const MidiSong song = MustRead(file);
  ASSERT_EQ(song.mEvents.size(), 2u);
  EXPECT_EQ(song.mEvents[0].size, 2);
  EXPECT_EQ(song.mEvents[0].bytes[1], 5);
  EXPECT_EQ(song.mEvents[1].bytes[0], 0x90);

  auto orphan = Header(0, 1, 480);
  AddTrack(&orphan, {0x00, 0xF0, 0x01, 0xF7, 0x00, 60, 64});
  MidiSong song2;
  std::string error;
  EXPECT_FALSE(SmfReader::Read(orphan, &song2, &error));
  EXPECT_NE(error.find("without a status"), std::string::npos) << error;
}

TEST(SmfReader, TimecodeDivisionCountsTicksInFramesOfASecond)
{
  // 25 frames per second, 40 ticks per frame: a millisecond per tick, tempo events do not matter.
  auto file = Header(0, 1, (uint8_t(-25) << 8) | 40);
  AddTrack(&file,
           {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x87, 0x68, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00});
  const MidiSong song = MustRead(file);
  ASSERT_EQ(song.mEvents.size(), 1u);
  EXPECT_DOUBLE_EQ(song.mEvents[0].seconds, 1.0); // 1000 ticks
}

TEST(SmfReader, UnknownChunksAreSkippedAndFormat2TracksFollowEachOther)
{
  auto file = Header(2, 2, 480);
  file.insert(file.end(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2});
  AddTrack(&file, {0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
  AddTrack(&file, {0x00, 0x90, 62, 100, 0x00, 0xFF, 0x2F, 0x00});
  const MidiSong song = MustRead(file);
  ASSERT_EQ(song.mEvents.size(), 3u);
  EXPECT_DOUBLE_EQ(song.mEvents[1].seconds, 0.5);
  EXPECT_DOUBLE_EQ(song.mEvents[2].seconds, 0.5); // the second sequence starts where the first ended
  EXPECT_EQ(song.mEvents[2].bytes[1], 62);
}

TEST(SmfReader, EveryTruncationOfAFileIsRefusedWithAReason)
{
  SmfWriter writer(480);
  writer.Tempo(0, 0, 90.0);
  const int t = writer.AddTrack();
  for (int i = 0; i < 8; ++i)
    writer.Note(t, i * 240, 0, 60 + i, 100, 200);
  const std::vector<uint8_t> whole = writer.Bytes(1);
  MustRead(whole);
  for (size_t len = 0; len < whole.size(); ++len)
  {
    MidiSong song;
    std::string error;
    EXPECT_FALSE(SmfReader::Read(std::vector<uint8_t>(whole.begin(), whole.begin() + len), &song, &error))
        << "length " << len;
    EXPECT_FALSE(error.empty());
  }
}

TEST(SmfReader, MalformedNumbersAndFormatsAreRefused)
{
  MidiSong song;
  std::string error;
  auto longDelta = Header(0, 1, 480);
  AddTrack(&longDelta, {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100});
  EXPECT_FALSE(SmfReader::Read(longDelta, &song, &error));

  auto format3 = Header(3, 1, 480);
  AddTrack(&format3, {0x00, 0xFF, 0x2F, 0x00});
  EXPECT_FALSE(SmfReader::Read(format3, &song, &error));
  EXPECT_NE(error.find("format"), std::string::npos);

  auto zeroDivision = Header(0, 1, 0);
  AddTrack(&zeroDivision, {0x00, 0xFF, 0x2F, 0x00});
  EXPECT_FALSE(SmfReader::Read(zeroDivision, &song, &error));

  auto dataByteStatus = Header(0, 1, 480);
  AddTrack(&dataByteStatus, {0x00, 0x90, 60, 0x90, 0x00, 0xFF, 0x2F, 0x00});
  EXPECT_FALSE(SmfReader::Read(dataByteStatus, &song, &error));

  EXPECT_FALSE(SmfReader::Read({'R', 'I', 'F', 'F'}, &song, &error));
}

TEST(SmfWriter, NotesWrittenInFormat0ReadBackAtTheirTicks)
{
  SmfWriter writer(100);
  writer.Tempo(0, 0, 60.0); // a second per quarter: 10 ms per tick
  writer.Note(0, 50, 3, 72, 90, 25);
  writer.Note(0, 0, 3, 48, 80, 300);
  const MidiSong song = MustRead(writer.Bytes(0));
  ASSERT_EQ(song.mEvents.size(), 4u);
  EXPECT_DOUBLE_EQ(song.mEvents[0].seconds, 0.0);
  EXPECT_EQ(song.mEvents[0].bytes[1], 48);
  EXPECT_DOUBLE_EQ(song.mEvents[1].seconds, 0.5);
  EXPECT_EQ(song.mEvents[1].bytes[0], 0x93);
  EXPECT_DOUBLE_EQ(song.mEvents[2].seconds, 0.75);
  EXPECT_EQ(song.mEvents[2].bytes[0], 0x83);
  EXPECT_DOUBLE_EQ(song.mEvents[3].seconds, 3.0);
  EXPECT_DOUBLE_EQ(song.LengthSeconds(), 3.0);
}
} // namespace
