// Saved sample paths through the built module: a state saved by one instance reloads its samples into
// a fresh one, "0" leaves a slot alone, and a path whose file cannot be loaded is never lost.

#include "sound/SoundFixture.h"

#include <cstdio>
#include <cstring>

using namespace soundtest;

using LoadingState = SoundTest;

namespace
{
// Renders a note on key 60 in a fresh block and returns its first frames (left).
std::vector<double> Hear(plugintest::PluginInstance& plug, int frames)
{
  std::vector<double> l, r;
  RenderInto(plug.Effect(), &l, &r, 1);
  plug.SendMidi({{0, {0x90, 60, 127}}});
  RenderInto(plug.Effect(), &l, &r, frames);
  plug.SendMidi({{0, {0x80, 60, 0}}});
  std::vector<double> after;
  RenderInto(plug.Effect(), &after, &r, 2);
  return l;
}
} // namespace

TEST_F(LoadingState, SavedStateReloadsEverySampleIntoAFreshInstance)
{
  mSlots[0].active = 1;
  mSlots[0].path = WriteWav("a.wav", {Ramp(16)}, 44100);
  mSlots[3].active = 1;
  mSlots[3].reverse = 1;
  mSlots[3].pan = 100;
  mSlots[3].path = WriteWav("b.wav", {Ramp(16, 50.0)}, 44100);
  Start();
  const std::vector<uint8_t> saved = mPlug->GetChunk();
  EXPECT_EQ(plugintest::ChunkTexts(saved),
            (std::vector<std::string>{mSlots[0].path, "0", "0", mSlots[3].path, "0"}));

  plugintest::PluginInstance fresh;
  fresh.Open(44100.0f, 512);
  ASSERT_EQ(fresh.SetChunk(saved), 1);
  EXPECT_EQ(fresh.GetChunk(), saved);
  const std::vector<double> left = Hear(fresh, 4);
  // Slot 0 plays its ramp on the left; slot 3, reversed and panned hard right, adds nothing there.
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(left[i], i + 1.0) << i;
}

TEST_F(LoadingState, ZeroTextLeavesTheSlotAsItWas)
{
  mSlots[1].active = 1;
  mSlots[1].path = WriteWav("a.wav", {Ramp(16)}, 44100);
  Start();
  mSlots[1].path = "0";
  ASSERT_EQ(mPlug->SetChunk(StateChunk(mSlots)), 1);
  EXPECT_EQ(plugintest::ChunkTexts(mPlug->GetChunk())[1], mDir.Path() + "/a.wav");
  EXPECT_EQ(Hear(*mPlug, 2)[1], 2.0);
}

TEST_F(LoadingState, MissingFileEmptiesTheSlotButTheNextSaveStillHoldsItsPath)
{
  mSlots[2].active = 1;
  mSlots[2].path = WriteWav("later.wav", {Ramp(16)}, 44100);
  Start();
  const std::vector<uint8_t> saved = mPlug->GetChunk();
  ASSERT_EQ(std::remove(mSlots[2].path.c_str()), 0); // the drive is not mounted today

  plugintest::PluginInstance fresh;
  fresh.Open(44100.0f, 512);
  ASSERT_EQ(fresh.SetChunk(saved), 1);
  const std::vector<double> left = Hear(fresh, 4);
  for (double v : left)
    EXPECT_EQ(v, 0.0);
  EXPECT_EQ(fresh.GetChunk(), saved);

  // The same through the extra-parameter call, and back: the file is there again and loads.
  char text[1100];
  std::strcpy(text, (mDir.Path() + "/other.wav").c_str());
  fresh.Dispatch(effVendorSpecific, 56, 4, text);
  text[0] = '\0';
  fresh.Dispatch(effVendorSpecific, 56, 4, text);
  EXPECT_EQ(std::string(text), mDir.Path() + "/other.wav");
  WriteWav("later.wav", {Ramp(16)}, 44100);
  ASSERT_EQ(fresh.SetChunk(saved), 1);
  EXPECT_EQ(Hear(fresh, 2)[1], 2.0);
}
