// How parameter values reach the engine: integer quantisation, rounding, bounds and the ready gate.

#include "plugin/KestruneFixture.h"

#include <cmath>

using namespace plugintest;

using KestruneParams = KestruneTest;

TEST_F(KestruneParams, AttackChangeWithinOneHundredthLeavesTheEngineAlone)
{
  OpenAt(44100.0);
  Apply(5, 0.801);
  EXPECT_EQ(mPlug->AppliedInt(5), 80);
  EXPECT_DOUBLE_EQ(E().mAttackStep[0], 100.0 / (80 * 44100.0));
  E().mAttackStep[0] = -1.0; // would be overwritten by any application
  Apply(5, 0.804);
  EXPECT_EQ(E().mAttackStep[0], -1.0);
  Apply(5, 0.806);
  EXPECT_EQ(mPlug->AppliedInt(5), 81);
  EXPECT_DOUBLE_EQ(E().mAttackStep[0], 100.0 / (81 * 44100.0));
}

TEST_F(KestruneParams, ValuesAreAppliedAsIntegersRoundedHalfAwayFromZero)
{
  OpenAt(44100.0);
  struct Case
  {
    int idx;
    double value;
    int applied;
  };
  const Case cases[] = {
      {2 * 12 + 4, 0.14, 1},    // semitones in tenths
      {2 * 12 + 4, 0.15, 2},    //
      {2 * 12 + 4, 47.96, 480}, //
      {9, -2.5, -3},            // halves away from zero on both sides
      {9, 2.5, 3},              //
      {7, -0.5, -1},            //
      {7, 0.49, 0},             //
      {6, 0.005, 1},            // half a hundredth of a second
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.idx << " " << c.value);
    Apply(c.idx, c.value);
    EXPECT_EQ(mPlug->AppliedInt(c.idx), c.applied);
  }
  EXPECT_EQ(E().mSemitoneMul[2], 480.0f * 0.1f);
}

TEST_F(KestruneParams, ValuesOutsideTheBoundsApplyAsTheNearestBound)
{
  OpenAt(44100.0);
  Apply(9, 1e12);
  EXPECT_EQ(mPlug->AppliedInt(9), 24);
  Apply(7, -1e300);
  EXPECT_EQ(mPlug->AppliedInt(7), -100);
  Apply(5, std::nan(""));
  EXPECT_EQ(mPlug->AppliedInt(5), 0);
  EXPECT_EQ(mPlug->GetParam(5)->Value(), 0.0); // the non-number does not stay in the parameter
  EXPECT_TRUE(std::isinf(E().mAttackStep[0])); // attack 0: full level on the first frame
}
