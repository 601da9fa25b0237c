#pragma once
// Helpers for the engine tests: a view that records what the engine tells it, slot set-up with
// analysable samples, and the mixer written the plain way (frame by frame, voice by voice).

#include "engine/SamplerEngine.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace enginetest
{
struct ViewEvent
{
  std::string what;
  int slot;
  int value;
  bool held;
  bool operator==(const ViewEvent& o) const
  {
    return what == o.what && slot == o.slot && value == o.value && held == o.held;
  }
};

class RecordingViews : public EngineViews
{
public:
  void SetLowKey(int slot, int key) override { events.push_back({"low", slot, key, false}); }
  void SetHighKey(int slot, int key) override { events.push_back({"high", slot, key, false}); }
  void SetRootKey(int slot, int key) override { events.push_back({"root", slot, key, false}); }
  void SetNoteHeld(int slot, int note, bool held) override { events.push_back({"note", slot, note, held}); }
  void ClearHeldNotes(int slot) override { events.push_back({"clear", slot, 0, false}); }
  void SamplePlayed(int slot) override { events.push_back({"played", slot, 0, false}); }
  void SampleChanged(int slot) override { events.push_back({"changed", slot, 0, false}); }

  std::vector<ViewEvent> events;
};

inline int ParamIndex(int slot, ESlotParam kind)
{
  return slot * kParamsPerSlot + kind;
}

// Integer values of the parameter defaults, as the instance hands them to the engine.
inline void ApplyDefaults(SamplerEngine& e, int slot)
{
  const int values[kParamsPerSlot] = {1, 36, 127, 41, 10, 80, 150, 0, 0, 0, 0, 1};
  for (int k = 0; k < kParamsPerSlot; ++k)
  {
    e.ApplySlotParam(slot * kParamsPerSlot + k, values[k]);
  }
}

// Puts planar data into the slot as the loader does, with the file rate equal to the engine rate
// (ratio 1) unless given.
inline void LoadSample(SamplerEngine& e, int slot, const std::vector<double>& planar, int channels,
                       double fileRate = 0.0)
{
  const uint32_t frames = static_cast<uint32_t>(planar.size() / static_cast<size_t>(channels));
  e.mSampleData[slot] = std::make_unique<double[]>(planar.size());
  for (size_t i = 0; i < planar.size(); ++i)
  {
    e.mSampleData[slot][i] = planar[i];
  }
  e.mSampleFrames[slot] = frames;
  e.mSampleChannels[slot] = static_cast<int16_t>(channels);
  const double rate = fileRate > 0.0 ? fileRate : e.mEngineSampleRate;
  e.mSampleFileRate[slot] = rate;
  e.mRateRatio[slot] = rate / e.mEngineSampleRate;
}

// 1, 2, ..., frames on channel 0 and -1, -2, ... on channel 1 of a stereo ramp.
inline std::vector<double> Ramp(uint32_t frames, int channels)
{
  std::vector<double> d(static_cast<size_t>(frames) * static_cast<size_t>(channels));
  for (uint32_t i = 0; i < frames; ++i)
  {
    d[i] = static_cast<double>(i + 1);
    if (channels >= 2) d[frames + i] = -static_cast<double>(i + 1);
  }
  return d;
}

// A slot ready to play: defaults, the given key range and root, attack and release in hundredths of a
// second (with an engine rate of 100 Hz these are frames), loop as given.
inline void SetUpSlot(SamplerEngine& e, int slot, int low, int high, int root, int attack, int release,
                      bool loop)
{
  ApplyDefaults(e, slot);
  e.ApplySlotParam(ParamIndex(slot, kLowNote), low);
  e.ApplySlotParam(ParamIndex(slot, kHighNote), high);
  e.ApplySlotParam(ParamIndex(slot, kRootNote), root);
  e.ApplySlotParam(ParamIndex(slot, kAttack), attack);
  e.ApplySlotParam(ParamIndex(slot, kRelease), release);
  e.ApplySlotParam(ParamIndex(slot, kLoop), loop ? 1 : 0);
}

inline double ReferenceWrap(double pos, double frames)
{
  pos = std::fmod(pos, frames);
  if (pos < 0.0) pos += frames;
  if (!(pos >= 0.0 && pos < frames)) pos = 0.0;
  return pos;
}

inline void ReferenceEndVoice(SamplerEngine& e, int v)
{
  e.mVoiceAmp[v] = 0.0;
  e.mVoicePos[v] = 0.0;
  e.mVoiceLevel[v] = 0.0;
  e.mVoiceNote[v] = 0;
  e.mVoiceStage[v] = kStageIdle;
  e.mVoiceSlot[v] = 0;
  e.TrimVoiceCount();
}

// The mixer in its plain order, with the engine's guards for positions outside the sample and for
// voices on empty slots. The engine's Mix must give the same bits.
inline void ReferenceMix(SamplerEngine& e, double** out, int nFrames)
{
  for (int i = 0; i < nFrames; ++i)
  {
    out[1][i] = 0.0;
    out[0][i] = 0.0;
    for (int v = 0; v < e.mVoiceCount; ++v)
    {
      if (e.mVoiceSlot[v] == 0 || e.mVoiceOffset[v] > i) continue;
      const int s = e.mVoiceSlot[v] - 1;
      if (s < 0 || s >= kNumSlots || e.mSampleFrames[s] == 0 || !e.mSampleData[s])
      {
        ReferenceEndVoice(e, v);
        continue;
      }
      const uint32_t F = e.mSampleFrames[s];
      const double Fd = static_cast<double>(F);
      const double* D = e.mSampleData[s].get();
      if (!(e.mVoicePos[v] >= 0.0 && e.mVoicePos[v] < Fd)) e.mVoicePos[v] = ReferenceWrap(e.mVoicePos[v], Fd);

      e.ApplyEnvelope(s, v);
      if (e.mVoiceSlot[v] == 0) continue;

      const double p = e.mVoicePos[v];
      const int32_t j = static_cast<int32_t>(p);
      const double f = p - j;
      const double amp = e.mVoiceAmp[v];
      const bool stereo = e.mSampleChannels[s] >= 2;
      double L;
      double R;
      if (f > 0)
      {
        const uint32_t k = (static_cast<uint32_t>(j) + 1 < F) ? static_cast<uint32_t>(j) + 1 : 0;
        L = ((D[k] - D[j]) * f + D[j]) * amp;
        R = stereo ? ((D[F + k] - D[F + j]) * f + D[F + j]) * amp : L;
      }
      else
      {
        L = D[j] * amp;
        R = stereo ? D[F + j] * amp : L;
      }
      out[0][i] += static_cast<double>(e.mVoicePanLeft[v]) * L;
      out[1][i] += static_cast<double>(e.mVoicePanRight[v]) * R;

      double pos = p + e.mVoiceStep[v];
      if (!(pos < Fd && pos >= 0.0))
      {
        if (!e.mLoop[s])
        {
          ReferenceEndVoice(e, v);
          continue;
        }
        if (pos >= Fd) pos -= Fd;
        if (!(pos < Fd && pos >= 0.0)) pos = ReferenceWrap(pos, Fd);
      }
      e.mVoicePos[v] = pos;
    }
  }
  for (int v = 0; v < kNumVoices; ++v)
  {
    e.mVoiceOffset[v] = 0;
  }
}

// Two output channels of n frames, filled with garbage so that "written, not accumulated" shows.
struct Block
{
  explicit Block(int n) : left(static_cast<size_t>(n > 0 ? n : 1), 7.0), right(left.size(), 7.0) {}
  double* ptrs[2] = {nullptr, nullptr};
  double** Out()
  {
    ptrs[0] = left.data();
    ptrs[1] = right.data();
    return ptrs;
  }
  std::vector<double> left;
  std::vector<double> right;
};
} // namespace enginetest
