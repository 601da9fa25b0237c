#include "framework/IMidiMsg.h"

#include <algorithm>

namespace
{
constexpr double kPitchWheelScale = 0.0001220703125;   // 1 / 8192
constexpr double kControlScale = 0.007874015748031496; // 1 / 127
constexpr int kPitchWheelCentre = 8192;
constexpr int kPitchWheelMax = 16383;
constexpr int kDataBits = 7;
constexpr int kDataMask = 127;
constexpr int kControlMax = 127;
constexpr uint8_t kChannel1NoteOff = 0x80;
constexpr uint8_t kChannel1NoteOn = 0x90;
constexpr uint8_t kChannel1ControlChange = 0xB0;
constexpr uint8_t kChannel1PitchWheel = 0xE0;
} // namespace

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  const int kind = mStatus >> 4;
  if (kind >= kNoteOff && kind <= kPitchWheel) return static_cast<EStatusMsg>(kind);
  return kNone;
}

int IMidiMsg::NoteNumber() const
{
  switch (StatusMsg())
  {
  case kNoteOff:
  case kNoteOn:
  case kPolyAftertouch:
    return mData1;
  default:
    return -1;
  }
}

int IMidiMsg::Velocity() const
{
  switch (StatusMsg())
  {
  case kNoteOff:
  case kNoteOn:
    return mData2;
  default:
    return -1;
  }
}

int IMidiMsg::Program() const
{
  return StatusMsg() == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const
{
  if (StatusMsg() != kPitchWheel) return 0.0;
  const int raw = mData1 + (mData2 << kDataBits);
  return (raw - kPitchWheelCentre) * kPitchWheelScale;
}

double IMidiMsg::ControlChange(int idx) const
{
  if (StatusMsg() == kControlChange && mData1 == idx) return mData2 * kControlScale;
  return -1.0;
}

void IMidiMsg::Clear()
{
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset)
{
  mOffset = offset;
  mStatus = kChannel1NoteOn;
  mData1 = static_cast<uint8_t>(noteNumber);
  mData2 = static_cast<uint8_t>(velocity);
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset)
{
  mOffset = offset;
  mStatus = kChannel1NoteOff;
  mData1 = static_cast<uint8_t>(noteNumber);
  mData2 = 0;
}

void IMidiMsg::MakeControlChangeMsg(int idx, double value, int offset)
{
  mOffset = offset;
  mStatus = kChannel1ControlChange;
  mData1 = static_cast<uint8_t>(idx);
  mData2 = static_cast<uint8_t>(std::clamp(static_cast<int>(value * kControlMax), 0, kControlMax));
}

void IMidiMsg::MakePitchWheelMsg(double value, int offset)
{
  mOffset = offset;
  mStatus = kChannel1PitchWheel;
  const double scaled =
      std::clamp(value * kPitchWheelCentre, -2.0 * kPitchWheelCentre, 2.0 * kPitchWheelCentre);
  const int i = std::clamp(static_cast<int>(scaled) + kPitchWheelCentre, 0, kPitchWheelMax);
  mData1 = static_cast<uint8_t>(i & kDataMask);
  mData2 = static_cast<uint8_t>(i >> kDataBits);
}

const char* StatusMsgStr(int kind)
{
  switch (kind)
  {
  case IMidiMsg::kNone:
    return "none";
  case IMidiMsg::kNoteOff:
    return "noteoff";
  case IMidiMsg::kNoteOn:
    return "noteon";
  case IMidiMsg::kPolyAftertouch:
    return "aftertouch";
  case IMidiMsg::kControlChange:
    return "controlchange";
  case IMidiMsg::kProgramChange:
    return "programchange";
  case IMidiMsg::kChannelAftertouch:
    return "channelaftertouch";
  case IMidiMsg::kPitchWheel:
    return "pitchwheel";
  default:
    return "unknown";
  }
}
