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

void RenderFloat(AEffect* fx, int nFrames, std::vector<float>* l, std::vector<float>* r, bool accumulate)
{
  l->assign(static_cast<size_t>(nFrames > 0 ? nFrames : 1), static_cast<float>(kUntouched));
  r->assign(l->size(), static_cast<float>(kUntouched));
  float* outs[2] = {l->data(), r->data()};
  if (accumulate)
    fx->process(fx, nullptr, outs, nFrames);
  else
    fx->processReplacing(fx, nullptr, outs, nFrames);
}

template <class T> bool AllEqual(const std::vector<T>& v, T x)
{
  for (T s : v)
    if (s != x) return false;
  return true;
}
} // namespace

using ModuleProcess = ModuleTest;

TEST_F(ModuleProcess, NothingIsRenderedBeforeTheHostOpensTheInstance)
{
  mPlug->Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  mPlug->Dispatch(effSetBlockSize, 0, 256);
  std::vector<double> l, r;
  RenderDouble(Fx(), 256, &l, &r);
  EXPECT_TRUE(AllEqual(l, kUntouched));
  EXPECT_TRUE(AllEqual(r, kUntouched));
  std::vector<float> fl, fr;
  RenderFloat(Fx(), 256, &fl, &fr, false);
  EXPECT_TRUE(AllEqual(fl, 0.0f)); // the zeroed scratch buffers reach the host

  mPlug->Dispatch(effOpen);
  RenderDouble(Fx(), 256, &l, &r);
  EXPECT_TRUE(AllEqual(l, 0.0));
  EXPECT_TRUE(AllEqual(r, 0.0));
}

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

TEST_F(ModuleProcess, AccumulatingProcessAddsToTheHostBuffers)
{
  mPlug->Open();
  std::vector<float> l, r;
  RenderFloat(Fx(), 128, &l, &r, true);
  EXPECT_TRUE(AllEqual(l, static_cast<float>(kUntouched)));
  RenderFloat(Fx(), 128, &l, &r, false);
  EXPECT_TRUE(AllEqual(l, 0.0f));
}

TEST_F(ModuleProcess, BlocksLongerThanAnnouncedZeroOrNegativeAreServedSafely)
{
  mPlug->Open(44100.0f, 64);
  std::vector<float> l, r;
  RenderFloat(Fx(), 5000, &l, &r, false); // far more than the 64 announced
  EXPECT_TRUE(AllEqual(l, 0.0f));
  EXPECT_TRUE(AllEqual(r, 0.0f));
  std::vector<double> dl, dr;
  RenderDouble(Fx(), 5000, &dl, &dr);
  EXPECT_TRUE(AllEqual(dl, 0.0));

  RenderDouble(Fx(), 0, &dl, &dr);
  EXPECT_EQ(dl[0], kUntouched);
  RenderDouble(Fx(), -5, &dl, &dr);
  EXPECT_EQ(dl[0], kUntouched);
  RenderFloat(Fx(), 0, &l, &r, false);
  EXPECT_EQ(l[0], static_cast<float>(kUntouched));
}

TEST_F(ModuleProcess, ZeroRateAndBlockSizeFromTheHostKeepTheInstanceWorking)
{
  mPlug->Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
  mPlug->Dispatch(effSetBlockSize, 0, 0);
  mPlug->Dispatch(effSetBlockSize, 0, -32);
  mPlug->Dispatch(effOpen);
  mPlug->Dispatch(effMainsChanged, 0, 1);
  std::vector<double> l, r;
  RenderDouble(Fx(), 128, &l, &r);
  EXPECT_TRUE(AllEqual(l, 0.0));
  mPlug->Dispatch(effMainsChanged, 0, 0);
  mPlug->Dispatch(effSetSampleRate, 0, 0, nullptr, -1.0f);
  RenderDouble(Fx(), 128, &l, &r);
  EXPECT_TRUE(AllEqual(l, 0.0));
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

TEST_F(ModuleProcess, EveryProcessCallAsksForMidiAndReadsTheTransport)
{
  mPlug->Open();
  mHost.ClearRecord();
  std::vector<double> l, r;
  RenderDouble(Fx(), 32, &l, &r);
  RenderDouble(Fx(), 32, &l, &r);
  EXPECT_EQ(mHost.Count(audioMasterWantMidi), 2);
  EXPECT_GE(mHost.Count(audioMasterGetTime), 2);

  mHost.mAnswerTime = false; // a host without time information
  RenderDouble(Fx(), 32, &l, &r);
  EXPECT_TRUE(AllEqual(l, 0.0));
}

TEST_F(ModuleProcess, MalformedEventListsAreSkipped)
{
  mPlug->Open();
  mHost.ClearRecord();
  VstMidiEvent note = {};
  note.type = kVstMidiType;
  note.byteSize = sizeof(note);
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 64;
  note.midiData[2] = 1;
  VstEvent other = {};
  other.type = 99;
  struct
  {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[3];
  } list = {3, 0, {nullptr, &other, reinterpret_cast<VstEvent*>(&note)}};
  EXPECT_EQ(mPlug->Dispatch(effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(mHost.mMidiOut.size(), 1u);
  EXPECT_EQ(mHost.mMidiOut[0].bytes[1], 64);
  list.numEvents = -4;
  EXPECT_EQ(mPlug->Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(mHost.mMidiOut.size(), 1u);
}

TEST_F(ModuleProcess, UnknownAndEditorOpcodesAnswerZero)
{
  mPlug->Open();
  for (VstInt32 op : std::vector<VstInt32>{effEditIdle, effGetTailSize, effKeysRequired, 73, 1000, -1})
    EXPECT_EQ(mPlug->Dispatch(op, 0, 0, nullptr), 0) << op;
  MidiKeyName keyName = {};
  keyName.thisKeyNumber = 60;
  EXPECT_EQ(mPlug->Dispatch(effGetMidiKeyName, 0, 0, &keyName), 0);
  EXPECT_STREQ(keyName.keyName, "");
  EXPECT_EQ(Fx()->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
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
