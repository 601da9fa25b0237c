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

TEST_F(KestruneParams, SemitonesAreAppliedInTenthsRoundedHalfAwayFromZero)
{
  OpenAt(44100.0);
  const int slot = 2 * 12 + 4;
  Apply(slot, 0.14);
  EXPECT_EQ(mPlug->AppliedInt(slot), 1);
  EXPECT_EQ(E().mSemitoneMul[2], 0.1f);
  Apply(slot, 0.15);
  EXPECT_EQ(mPlug->AppliedInt(slot), 2);
  EXPECT_EQ(E().mSemitoneMul[2], 2.0f * 0.1f);
  Apply(slot, 47.96);
  EXPECT_EQ(mPlug->AppliedInt(slot), 480);
}

TEST_F(KestruneParams, HalfwayValuesRoundAwayFromZeroOnBothSides)
{
  OpenAt(44100.0);
  Apply(9, -2.5);
  EXPECT_EQ(mPlug->AppliedInt(9), -3);
  Apply(9, 2.5);
  EXPECT_EQ(mPlug->AppliedInt(9), 3);
  Apply(7, -0.5);
  EXPECT_EQ(mPlug->AppliedInt(7), -1);
  Apply(7, 0.49);
  EXPECT_EQ(mPlug->AppliedInt(7), 0);
  Apply(6, 0.005); // half a hundredth of a second
  EXPECT_EQ(mPlug->AppliedInt(6), 1);
}

TEST_F(KestruneParams, PanLawGivesOneAtCentreAndOneAndAHalfAtTheFarSide)
{
  OpenAt(44100.0);
  const int pan = 12 + 7;
  struct Case
  {
    double pan;
    float left;
    float right;
  };
  for (const Case& c : {Case{-100, 1.5f, 0.0f}, Case{50, 0.5f, 1.25f}, Case{0, 1.0f, 1.0f},
                        Case{-80, 1.4f, 0.2f}, Case{100, 0.0f, 1.5f}})
  {
    Apply(pan, c.pan);
    EXPECT_NEAR(E().mPanLeft[1], c.left, 1e-6) << c.pan;
    EXPECT_NEAR(E().mPanRight[1], c.right, 1e-6) << c.pan;
  }
}

TEST_F(KestruneParams, VolumeIsAGainInDecibels)
{
  OpenAt(44100.0);
  Apply(4 * 12 + 9, -48);
  EXPECT_NEAR(E().mVolumeGain[4], 0.00398107, 1e-7);
  Apply(4 * 12 + 9, 24);
  EXPECT_NEAR(E().mVolumeGain[4], 15.8489, 1e-4);
  Apply(4 * 12 + 9, 0);
  EXPECT_EQ(E().mVolumeGain[4], 1.0f);
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

TEST_F(KestruneParams, RenderingWaitsUntilAllSixtyParametersHaveBeenApplied)
{
  for (int idx = 0; idx < 59; ++idx)
    mPlug->OnParamChange(idx);
  mPlug->OnParamChange(58); // again: counts once
  mPlug->OnParamChange(60);
  mPlug->OnParamChange(-1);
  mPlug->OnParamChange(1000);
  EXPECT_FALSE(mPlug->mParamsReady);
  mPlug->OnParamChange(59);
  EXPECT_TRUE(mPlug->mParamsReady);
  Apply(59, 0); // stays ready
  EXPECT_TRUE(mPlug->mParamsReady);
}

TEST_F(KestruneParams, IndexesOutsideTheParametersChangeNoState)
{
  OpenAt(44100.0);
  const double attack = E().mAttackStep[0];
  mPlug->OnParamChange(60);
  mPlug->OnParamChange(-12);
  EXPECT_EQ(E().mAttackStep[0], attack);
  EXPECT_EQ(mPlug->AppliedInt(59), 1);
}

TEST_F(KestruneParams, ActiveOffStopsTheSlotAtOnceAndOnDoesNotRestartIt)
{
  OpenAt(44100.0);
  LoadSample(0, std::vector<double>(1000, 0.5), 1, 44100.0);
  Render(16);
  NoteOn(60);
  EXPECT_EQ(E().mVoiceSlot[0], 1);
  Apply(0, 0);
  EXPECT_EQ(E().mVoiceSlot[0], 0);
  EXPECT_EQ(E().mVoiceCount, 0);
  Apply(0, 1);
  EXPECT_EQ(E().mVoiceSlot[0], 0);
  Render(16);
  EXPECT_TRUE(Silent());
}

TEST_F(KestruneParams, ReverseFlipsTheDataOncePerRealChange)
{
  OpenAt(44100.0);
  LoadSample(1, {1, 2, 3, 4}, 1, 44100.0);
  const int reverse = 12 + 10;
  Apply(reverse, 1);
  EXPECT_EQ(E().mSampleData[1][0], 4.0);
  Apply(reverse, 1);   // the same value again
  Apply(reverse, 0.8); // rounds to the same 1
  EXPECT_EQ(E().mSampleData[1][0], 4.0);
  Apply(reverse, 0);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(E().mSampleData[1][i], i + 1.0);
}
