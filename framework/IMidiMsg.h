#pragma once
// IMidiMsg: one short MIDI message with its frame offset in the current block. Plain record: the
// binding fills it from the host's events on the dispatcher thread; the plug-in reads it under the
// instance mutex. Nothing here allocates.

#include <cstdint>

class IMidiMsg
{
public:
  // Status kinds, the upper nibble of the status byte.
  enum EStatusMsg
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  IMidiMsg() = default;
  IMidiMsg(int offset, uint8_t status, uint8_t data1, uint8_t data2)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }

  EStatusMsg StatusMsg() const;
  int NoteNumber() const;    // note-off, note-on, aftertouch; else -1
  int Velocity() const;      // note-off, note-on; else -1
  int Program() const;       // program change; else -1
  double PitchWheel() const; // -1 .. just under +1 for pitch wheel; else 0
  int ControlChangeIdx() const { return mData1; }
  double ControlChange(int idx) const; // data2 / 127 for controller idx; else -1

  void Clear();
  // Constructors, always on MIDI channel 1.
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset);
  void MakeNoteOffMsg(int noteNumber, int offset);
  void MakeControlChangeMsg(int idx, double value, int offset);
  void MakePitchWheelMsg(double value, int offset);
  void LogMsg() const {}

  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
};

// Name of a status kind: "none", "noteoff", "noteon", "aftertouch", "controlchange", "programchange",
// "channelaftertouch", "pitchwheel", or "unknown".
const char* StatusMsgStr(int kind);
