#pragma once
// Fixture of the sound tests: the built module with a recording host, sample files written by the test
// (64-bit float WAV, so every value arrives unchanged) and slot settings applied the way a host restores
// a project: one state chunk with the 60 values and the five paths, which makes the instance load the
// files itself.
//
// The samples are ramps (frame j holds j + 1), so the output of a voice with an envelope at full level
// and centre pan is its read position + 1 and pitch, interpolation and envelopes can be checked exactly.

#include "plugin/ChunkBytes.h"
#include "plugin/ModuleFixture.h"
#include "samplefiles/WavTestFiles.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace soundtest
{

// One slot's twelve values in their own units, and its saved path ("0": none).
struct SlotSetup
{
  int active = 0;
  int low = 12;
  int high = 127;
  int root = 60;
  double semitones = 1.0;
  double attack = 0.0;
  double release = 0.0;
  int pan = 0;
  int alternatePan = 0;
  int volume = 0;
  int reverse = 0;
  int loop = 0;
  std::string path = "0";
};

// The slot's stepping per output frame as the engine computes it: the semitone multiplier in tenths,
// the transposition in single precision, then 2^(t/12) times the rate ratio.
inline double PitchStep(int note, int root, double semitones, double rateRatio)
{
  const int tenths = static_cast<int>(semitones * 10.0 + 0.5);
  const float mul = static_cast<float>(tenths) * 0.1f;
  const float t = static_cast<float>(note - root) * mul;
  return std::exp2(static_cast<double>(t) * 0.08333333333333333) * rateRatio;
}

// Frame j of a ramp sample of `frames` frames: j + 1 (offset by `plus` for a second channel).
inline std::vector<double> Ramp(int frames, double plus = 0.0)
{
  std::vector<double> v(static_cast<size_t>(frames));
  for (int j = 0; j < frames; ++j)
    v[static_cast<size_t>(j)] = j + 1 + plus;
  return v;
}

// The value the mixer reads at position p of a ramp of `frames` frames (linear interpolation, toward
// frame 0 after the last frame).
inline double RampAt(double p, int frames, double plus = 0.0)
{
  const int j = static_cast<int>(p);
  const double f = p - j;
  const double dj = j + 1 + plus;
  if (!(f > 0.0)) return dj;
  const int k = j + 1 < frames ? j + 1 : 0;
  const double dk = k + 1 + plus;
  return (dk - dj) * f + dj;
}

// Little-endian pieces of a state chunk.
inline void AppendBytes(std::vector<uint8_t>* c, const void* p, size_t n)
{
  const auto* b = static_cast<const uint8_t*>(p);
  c->insert(c->end(), b, b + n);
}

// Renders n frames of 64-bit audio from an instance into left and right, prefilled with 7.0 so that a
// frame the instance did not write cannot pass for silence.
inline void RenderInto(AEffect* fx, std::vector<double>* left, std::vector<double>* right, int n)
{
  left->assign(static_cast<size_t>(n > 0 ? n : 1), 7.0);
  right->assign(left->size(), 7.0);
  double* outs[2] = {left->data(), right->data()};
  fx->processDoubleReplacing(fx, nullptr, outs, n);
}

class SoundTest : public plugintest::ModuleTest
{
protected:
  // A 64-bit float WAV file of one or two channels (channels given planar) at rate.
  std::string WriteWav(const std::string& name, const std::vector<std::vector<double>>& channels,
                       uint32_t rate)
  {
    const size_t frames = channels.empty() ? 0 : channels[0].size();
    std::vector<double> interleaved;
    for (size_t i = 0; i < frames; ++i)
      for (const auto& c : channels)
        interleaved.push_back(c[i]);
    const uint16_t n = static_cast<uint16_t>(channels.size());
    return mDir.Write(name, wavtest::Riff({wavtest::Fmt(3, n, rate, 64),
                                           wavtest::Chunk("data", wavtest::Float64(interleaved))}));
  }

  // The state chunk of the five slots, restored through effSetChunk.
  static std::vector<uint8_t> StateChunk(const std::array<SlotSetup, 5>& slots)
  {
    std::vector<uint8_t> c;
    const int32_t version = 10100;
    AppendBytes(&c, &version, 4);
    for (const SlotSetup& s : slots)
    {
      for (double v :
           {double(s.active), double(s.low), double(s.high), double(s.root), s.semitones, s.attack, s.release,
            double(s.pan), double(s.alternatePan), double(s.volume), double(s.reverse), double(s.loop)})
        AppendBytes(&c, &v, 8);
    }
    for (const SlotSetup& s : slots)
    {
      const int32_t length = static_cast<int32_t>(s.path.size());
      AppendBytes(&c, &length, 4);
      AppendBytes(&c, s.path.data(), s.path.size());
    }
    return c;
  }

  // Opens the instance at rate, restores mSlots and renders one block of one frame (the first render
  // call clears the voice table).
  void Start(float rate = 44100.0f, int blockSize = 512)
  {
    mPlug->Open(rate, blockSize);
    ASSERT_EQ(mPlug->SetChunk(StateChunk(mSlots)), 1);
    Render(1);
  }

  void Render(int n) { RenderInto(Fx(), &mL, &mR, n); }

  void Midi(const std::vector<plugintest::SentMidi>& events) { mPlug->SendMidi(events); }
  void NoteOn(int note, int velocity = 127, int offset = 0)
  {
    Midi({{offset, {0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)}}});
  }
  void NoteOff(int note, int offset = 0) { Midi({{offset, {0x80, static_cast<uint8_t>(note), 0}}}); }

  bool Silent() const
  {
    for (size_t i = 0; i < mL.size(); ++i)
      if (mL[i] != 0.0 || mR[i] != 0.0) return false;
    return true;
  }

  wavtest::TempDir mDir;
  std::array<SlotSetup, 5> mSlots;
  std::vector<double> mL, mR;
};
} // namespace soundtest
