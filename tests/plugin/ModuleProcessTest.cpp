// Rendering, MIDI and time information through the built module, including what careless hosts send.

#include "plugin/ModuleFixture.h"

#include <atomic>
#include <thread>
#include <vector>

using namespace plugintest;

namespace
{
constexpr double kUntouched = 7.0;

// Renders through the 64-bit callback into buffers prefilled with kUntouched.
void RenderDouble(AEffect* fx, int nFrames, std::vector<double>* l, std::vector<double>* r)
{
  l->assign(static_cast<size_t>(nFrames > 0 ? nFrames : 1), kUntouched);
  r->assign(l->size(), kUntouched);
  double* outs[2] = {l->data(), r->data()};
  fx->processDoubleReplacing(fx, nullptr, outs, nFrames);
}

bool AllEqual(const std::vector<double>& v, double x)
{
  for (double s : v)
    if (s != x) return false;
  return true;
}
} // namespace

using ModuleProcess = ModuleTest;

TEST_F(ModuleProcess, FiftyNineAppliedParametersAreNotEnoughToRender)
{
  std::vector<double> l, r;
  for (int idx = 0; idx < 60; ++idx)
  {
    if (idx == 33) continue;
    mPlug->SetParameter(idx, mPlug->GetParameter(idx));
  }
  mPlug->SetParameter(60, 0.5f);
  mPlug->SetParameter(0, 0.0f); // a second application of the same parameter counts once
  RenderDouble(Fx(), 64, &l, &r);
  EXPECT_TRUE(AllEqual(l, kUntouched));

  mPlug->SetParameter(33, 0.5f);
  RenderDouble(Fx(), 64, &l, &r);
  EXPECT_TRUE(AllEqual(l, 0.0));
  EXPECT_TRUE(AllEqual(r, 0.0));
}

TEST_F(ModuleProcess, MidiIsPassedOnWithOffsetsExceptNotesBelowTwelve)
{
  mPlug->Open();
  mHost.ClearRecord();
  const std::vector<SentMidi> in = {
      {0, {0x90, 60, 100}}, // note-on
      {3, {0x95, 5, 100}},  // note-on below 12: dropped
      {4, {0xB0, 7, 90}},   // controller
      {5, {0x80, 11, 0}},   // note-off below 12: dropped
      {9, {0x80, 60, 0}},   // note-off
      {10, {0xE2, 0, 64}},  // pitch wheel
      {11, {0x9F, 12, 0}},  // lowest note, velocity 0
  };
  EXPECT_EQ(mPlug->SendMidi(in), 1);
  ASSERT_EQ(mHost.mMidiOut.size(), 5u);
  const int kept[5] = {0, 2, 4, 5, 6};
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_EQ(mHost.mMidiOut[i].deltaFrames, in[kept[i]].deltaFrames) << i;
    for (int b = 0; b < 3; ++b)
      EXPECT_EQ(mHost.mMidiOut[i].bytes[b], in[kept[i]].bytes[b]) << i << " " << b;
  }
}

TEST_F(ModuleProcess, HostThreadAndAudioThreadMayCallAtTheSameTime)
{
  mPlug->Open(48000.0f, 256);
  std::atomic<bool> done{false};
  std::thread audio(
      [&]
      {
        std::vector<float> l(256), r(256);
        float* outs[2] = {l.data(), r.data()};
        while (!done.load())
        {
          mPlug->SendMidi({{0, {0x90, 60, 100}}, {100, {0x80, 60, 0}}});
          Fx()->processReplacing(Fx(), nullptr, outs, 256);
        }
      });
  for (int i = 0; i < 2000; ++i)
  {
    mPlug->SetParameter(i % 60, static_cast<float>(i % 7) / 6.0f);
    if (i % 50 == 0) mPlug->Dispatch(effSetProgram, 0, (i / 50) % 16);
    if (i % 75 == 0) mPlug->SetChunk(mPlug->GetChunk());
  }
  done.store(true);
  audio.join();
  for (int idx = 0; idx < 60; ++idx)
  {
    const float v = mPlug->GetParameter(idx);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << idx;
  }
}
