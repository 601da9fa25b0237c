#include "tools/kestrune-host/KitSynth.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace khost
{

namespace
{
constexpr double kTwoPi = 2.0 * M_PI;

double NoteHz(int note)
{
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A short fade at both ends, so a sample starts and stops without a click.
void Fade(std::vector<float>* samples, int inFrames, int outFrames)
{
  const int n = static_cast<int>(samples->size());
  for (int i = 0; i < inFrames && i < n; ++i)
    (*samples)[i] *= float(i) / float(inFrames);
  for (int i = 0; i < outFrames && i < n; ++i)
    (*samples)[n - 1 - i] *= float(i) / float(outFrames);
}
} // namespace

void KitSynth::Normalise(KitSound* sound, float peak)
{
  float most = 0.0f;
  for (const auto& ch : sound->channels)
    for (float v : ch)
      most = std::max(most, std::fabs(v));
  if (most <= 0.0f) return;
  for (auto& ch : sound->channels)
    for (float& v : ch)
      v *= peak / most;
}

KitSound KitSynth::PluckedString()
{
  // A plucked string by a delay line with an averaging loss filter, excited by filtered noise; the
  // fractional part of the period is taken by an all-pass stage so the pitch is A3 exactly.
  KitSound s;
  s.sampleRate = 44100;
  s.pitchHz = NoteHz(57);
  const double period = s.sampleRate / s.pitchHz - 0.5; // the averaging filter adds half a frame
  const int length = static_cast<int>(period);
  const double frac = period - length;
  const double apCoeff = (1.0 - frac) / (1.0 + frac);
  std::vector<double> line(length);
  std::mt19937 rng(57);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  double smooth = 0.0;
  for (double& v : line)
  {
    smooth = 0.5 * smooth + 0.5 * noise(rng);
    v = smooth;
  }
  const int frames = static_cast<int>(1.6 * s.sampleRate);
  std::vector<float> out(frames);
  double last = 0.0, apIn = 0.0, apOut = 0.0;
  for (int i = 0; i < frames; ++i)
  {
    const int at = i % length;
    const double current = line[at];
    out[i] = static_cast<float>(current);
    const double averaged = 0.996 * 0.5 * (current + last);
    last = current;
    // First-order all-pass for the fractional delay.
    const double y = apCoeff * averaged + apIn - apCoeff * apOut;
    apIn = averaged;
    apOut = y;
    line[at] = y;
  }
  Fade(&out, 16, 2000);
  s.channels = {out};
  Normalise(&s, 0.8f);
  return s;
}

KitSound KitSynth::Pad()
{
  // Detuned band-limited saws, different on the left and right, with a slow swell.
  KitSound s;
  s.sampleRate = 48000;
  s.pitchHz = NoteHz(60);
  const int frames = 3 * s.sampleRate;
  const double detune[2][3] = {{-0.004, 0.0, 0.006}, {-0.006, 0.002, 0.004}};
  for (int c = 0; c < 2; ++c)
  {
    std::vector<float> out(frames, 0.0f);
    for (double d : detune[c])
    {
      const double f = s.pitchHz * (1.0 + d);
      const int harmonics = static_cast<int>(6000.0 / f);
      for (int h = 1; h <= harmonics; ++h)
      {
        const double amp = 1.0 / h / (1.0 + h * 0.15);
        const double step = kTwoPi * f * h / s.sampleRate;
        for (int i = 0; i < frames; ++i)
          out[i] += static_cast<float>(amp * std::sin(step * i + h * (c + 1)));
      }
    }
    for (int i = 0; i < frames; ++i)
    {
      const double t = double(i) / s.sampleRate;
      out[i] *= static_cast<float>(std::min(1.0, t / 0.4) * (0.85 + 0.15 * std::sin(kTwoPi * 0.5 * t)));
    }
    Fade(&out, 0, 4800);
    s.channels.push_back(out);
  }
  Normalise(&s, 0.6f);
  return s;
}

KitSound KitSynth::Bass()
{
  // Two partials through a soft saturator, a quick attack and a long decay.
  KitSound s;
  s.sampleRate = 48000;
  s.pitchHz = NoteHz(36);
  const int frames = static_cast<int>(1.2 * s.sampleRate);
  std::vector<float> out(frames);
  for (int i = 0; i < frames; ++i)
  {
    const double t = double(i) / s.sampleRate;
    const double env = std::min(1.0, t / 0.004) * std::exp(-2.5 * t);
    const double x = std::sin(kTwoPi * s.pitchHz * t) + 0.35 * std::sin(2.0 * kTwoPi * s.pitchHz * t);
    out[i] = static_cast<float>(std::tanh(2.0 * x * env) * 0.8);
  }
  Fade(&out, 0, 2400);
  s.channels = {out};
  Normalise(&s, 0.85f);
  return s;
}

KitSound KitSynth::Bell()
{
  // Two-operator frequency modulation with an inharmonic ratio and a decaying index.
  KitSound s;
  s.sampleRate = 44100;
  s.pitchHz = NoteHz(72);
  const int frames = static_cast<int>(2.5 * s.sampleRate);
  for (int c = 0; c < 2; ++c)
  {
    std::vector<float> out(frames);
    for (int i = 0; i < frames; ++i)
    {
      const double t = double(i) / s.sampleRate;
      const double index = 3.0 * std::exp(-3.0 * t);
      const double mod = index * std::sin(kTwoPi * s.pitchHz * 3.5 * t + c * 0.7);
      const double env = std::min(1.0, t / 0.002) * std::exp(-1.8 * t);
      out[i] = static_cast<float>(env * std::sin(kTwoPi * s.pitchHz * t + mod));
    }
    Fade(&out, 0, 2000);
    s.channels.push_back(out);
  }
  Normalise(&s, 0.7f);
  return s;
}

KitSound KitSynth::Drum()
{
  // A tom: a sine falling in pitch, with a burst of noise for the stick.
  KitSound s;
  s.sampleRate = 22050;
  s.pitchHz = 110.0;
  const int frames = static_cast<int>(0.7 * s.sampleRate);
  std::vector<float> out(frames);
  std::mt19937 rng(44);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  double phase = 0.0;
  for (int i = 0; i < frames; ++i)
  {
    const double t = double(i) / s.sampleRate;
    const double f = s.pitchHz * (1.0 + 1.5 * std::exp(-30.0 * t));
    phase += kTwoPi * f / s.sampleRate;
    const double body = std::sin(phase) * std::exp(-6.0 * t);
    const double stick = noise(rng) * std::exp(-60.0 * t) * 0.5;
    out[i] = static_cast<float>(body + stick);
  }
  Fade(&out, 0, 400);
  s.channels = {out};
  Normalise(&s, 0.9f);
  return s;
}
} // namespace khost
