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
