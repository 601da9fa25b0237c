#include "framework/IParam.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
std::string Display(const IParam& param, double value, bool normalized = false)
{
  char out[MAX_PARAM_NAME_LEN];
  param.GetDisplayForHost(value, normalized, out, sizeof(out));
  return out;
}
} // namespace

TEST(IParam, PrecisionFollowsTheDecimalsOfTheStepUpToSix)
{
  const double steps[] = {1.0, 0.1, 0.01, 0.0000001};
  const int precisions[] = {0, 1, 2, 6};
  for (int i = 0; i < 4; ++i)
  {
    IParam param;
    param.InitDouble("x", 0, 0, 10, steps[i]);
    EXPECT_EQ(param.GetPrecision(), precisions[i]) << steps[i];
  }
}

TEST(IParam, DisplayFollowsTypePrecisionNamesAndNegation)
{
  IParam time, pan, gain, mode, narrow, retyped;
  time.InitDouble("Time", 0, 0, 16, 0.01, "s");
  pan.InitInt("Pan", 0, -100, 100);
  gain.InitInt("Gain", 0, -10, 10);
  gain.SetNegateDisplay(true);
  mode.InitEnum("Mode", 0, 3);
  mode.SetDisplayText(0, "No");
  mode.SetDisplayText(1, "Yes");
  mode.SetDisplayText(2, "");
  narrow.InitDouble("x", 0, 0, 0, 0.5, "");
  retyped.InitInt("x", 0, 0, 5);
  retyped.InitDouble("x", 0, 0, 5, 0.5); // the first initialisation fixes the type
  struct Case
  {
    const IParam* param;
    double value;
    const char* display;
  };
  const Case cases[] = {
      {&time, 1.5, "1.50"},  {&time, 0.0, "0"},  {&time, -0.25, "-0.25"}, // precision; zero is plain
      {&pan, 2.7, "2"},      {&pan, -2.7, "-2"}, {&pan, -0.3, "0"},       // ints truncate toward zero
      {&gain, 3, "-3"},      {&gain, 0, "0"},                             // negated, but not zero
      {&mode, 0.6, "Yes"},   {&mode, 0.4, "No"}, {&mode, 2.0, "2"},       // empty text shows the number
      {&narrow, 0.5, "0.5"},                                              // range at least one step
  };
  for (const Case& c : cases)
    EXPECT_EQ(Display(*c.param, c.value), c.display) << c.param->GetNameForHost() << " " << c.value;
  EXPECT_EQ(narrow.GetMax(), 0.5);
  EXPECT_EQ(retyped.Type(), IParam::kTypeInt);
}

TEST(IParam, IntSnapsHalvesUpwardFromZero)
{
  IParam param;
  param.InitInt("Pan", 0, -100, 100);
  param.SetNormalized(0.5);
  EXPECT_EQ(param.Value(), 0.0);
  // Curve values that are exact halves (0.5 and -0.5) round up.
  IParam narrow;
  narrow.InitInt("Small", 0, -4, 4);
  narrow.SetNormalized(0.5625);
  EXPECT_EQ(narrow.Value(), 1.0);
  narrow.SetNormalized(0.4375);
  EXPECT_EQ(narrow.Value(), 0.0);
  narrow.SetNormalized(0.4);
  EXPECT_EQ(narrow.Value(), -1.0);
}

TEST(IParam, DoubleIsNotSnappedAndOneGivesExactlyMax)
{
  IParam param;
  param.InitDouble("Semis", 1.0, 0.1, 48.0, 0.1);
  param.SetNormalized(0.123);
  EXPECT_DOUBLE_EQ(param.Value(), 0.1 + (48.0 - 0.1) * 0.123);
  param.SetNormalized(1.0);
  EXPECT_EQ(param.Value(), 48.0);
  param.SetShape(2.0);
  param.SetNormalized(1.0);
  EXPECT_EQ(param.Value(), 48.0);
}

TEST(IParam, ShapeTwoPutsTheMiddleAtAQuarterAndZeroShapeIsIgnored)
{
  IParam param;
  param.InitDouble("Attack", 0.8, 0.0, 16.0, 0.01, "s");
  param.SetShape(2.0);
  param.SetShape(0.0);
  EXPECT_EQ(param.GetShape(), 2.0);
  param.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(param.Value(), 4.0);
  EXPECT_DOUBLE_EQ(param.GetNormalized(), 0.5);
  EXPECT_DOUBLE_EQ(param.GetNormalized(100.0), 1.0); // clamped first
  EXPECT_EQ(Display(param, 0.5, true), "4.00");
}

TEST(IParam, ShapeFromValueAndPositionPlacesTheValue)
{
  IParam param;
  param.InitDouble("x", 0, 0, 16, 0.01);
  param.SetShape(4.0, 0.5);
  EXPECT_NEAR(param.GetNormalized(4.0), 0.5, 1e-12);
  param.SetShape(20.0, 0.5); // outside the range: unchanged
  EXPECT_NEAR(param.GetShape(), 2.0, 1e-12);
}

TEST(IParam, BoolShowsOffAndOnAndMapsOnlyTheExactWord)
{
  IParam param;
  param.InitBool("Power", true);
  EXPECT_EQ(param.Type(), IParam::kTypeBool);
  EXPECT_STREQ(param.GetLabelForHost(), "");
  EXPECT_EQ(Display(param, 0), "off");
  EXPECT_EQ(Display(param, 1), "on");
  int value = 7;
  EXPECT_TRUE(param.MapDisplayText("on", &value));
  EXPECT_EQ(value, 1);
  value = 7;
  EXPECT_FALSE(param.MapDisplayText("On", &value));
  EXPECT_FALSE(param.MapDisplayText("on ", &value));
  EXPECT_EQ(value, 7);
}

TEST(IParam, HugeValuesAreCutToTheBufferNotOverflowed)
{
  IParam param;
  param.InitDouble("x", 0, -1e300, 1e300, 0.000001);
  char out[8];
  std::memset(out, 'z', sizeof(out));
  param.GetDisplayForHost(1e300, false, out, 6);
  EXPECT_EQ(std::string(out), "10000");
  EXPECT_EQ(out[6], 'z');
  IParam wide;
  wide.InitInt("y", 0, 0, 1);
  EXPECT_EQ(Display(wide, 1e12), "1000000000000");
}
