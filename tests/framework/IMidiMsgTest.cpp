#include "framework/IMidiMsg.h"
#include "framework/ISysEx.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(IMidiMsg, PitchWheelSpansMinusOneToJustUnderOne)
{
  EXPECT_EQ(IMidiMsg(0, 0xE0, 0, 64).PitchWheel(), 0.0);
  EXPECT_EQ(IMidiMsg(0, 0xE0, 0, 0).PitchWheel(), -1.0);
  EXPECT_LT(IMidiMsg(0, 0xE0, 127, 127).PitchWheel(), 1.0);

  IMidiMsg msg;
  msg.MakePitchWheelMsg(1.0, 3);
  EXPECT_EQ(msg.mStatus, 0xE0);
  EXPECT_EQ(msg.mData1, 127);
  EXPECT_EQ(msg.mData2, 127);
  EXPECT_EQ(msg.mOffset, 3);
  msg.MakePitchWheelMsg(-1.0, 0);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 0);
  msg.MakePitchWheelMsg(0.0, 0);
  EXPECT_EQ(msg.PitchWheel(), 0.0);
}

TEST(IMidiMsg, ControlChangeMatchesOnlyItsController)
{
  IMidiMsg msg(0, 0xB2, 10, 127);
  EXPECT_EQ(msg.ControlChange(7), -1.0);
  EXPECT_DOUBLE_EQ(msg.ControlChange(10), 1.0);
  EXPECT_EQ(msg.ControlChangeIdx(), 10);
  msg.MakeControlChangeMsg(7, 0.5, 2);
  EXPECT_EQ(msg.mStatus, 0xB0);
  EXPECT_EQ(msg.mData2, 63);
}

TEST(SysExStr, WritesWhatFitsAsSpacedHex)
{
  const uint8_t data[] = {0xF0, 0x7E, 0x0A, 0xF7};
  char out[16];
  SysExStr(out, sizeof(out), data, 4);
  EXPECT_STREQ(out, "F0 7E 0A F7");
  char small[8];
  std::memset(small, 'z', sizeof(small));
  SysExStr(small, 7, data, 4); // room for two bytes
  EXPECT_STREQ(small, "F0 7E");
  EXPECT_EQ(small[7], 'z');
  SysExStr(out, sizeof(out), nullptr, 4);
  EXPECT_STREQ(out, "");
}
