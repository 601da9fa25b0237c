#pragma once
// The sound engine of one sampler instance: the per-slot state derived from the parameters, the five
// slot sample buffers and the 24-voice table, with note handling, the envelope and the mixer.
//
// Threads: every operation runs under the owning instance's mutex (the plug-in class takes it). The
// editor's views read the voice arrays and the slot sample fields without the lock, for display only.
// Real time: HandleMidi, ApplyEnvelope, the voice clean-ups and Mix allocate nothing, throw nothing and
// make no system call.

#include "engine/EngineConstants.h"
#include "engine/EngineViews.h"

#include <cstdint>
#include <memory>

class SamplerEngine
{
public:
  SamplerEngine();

  // Applies the integer value v (the parameter's value scaled and rounded by the instance) of
  // parameter paramIdx (0..kNumParams-1) to its slot, as the effect table of each kind says. Other
  // indexes are ignored. Reverse flips the slot's data only when the flag changes, so the data is held
  // reversed exactly while mReverse is set, whatever the caller passes twice.
  void ApplySlotParam(int paramIdx, int v);

  // Rescales the running voices and the slots' rate ratios from mEngineSampleRate to rate and makes
  // rate the engine rate. The instance's Reset recomputes attack and release steps afterwards.
  // A slot whose mSampleFileRate is known gets its ratio computed afresh (file rate / rate), which also
  // covers a sample loaded while the engine rate was still 0. A rate that is not a positive finite
  // number is ignored.
  void ChangeEngineRate(double rate);

  // Note handling of one MIDI message with its frame offset. Returns true when the message is to be
  // passed on to the host (every message but notes below kLowestNote).
  bool HandleMidi(uint8_t status, uint8_t data1, uint8_t data2, int offset);

  // One frame of the voice's linear envelope; frees the voice when its release reaches 0.
  void ApplyEnvelope(int slot, int voice);
  // Frees the slot's voices at once, without release (slot switched off, slot reloaded).
  void StopSlotVoices(int slot);
  // Frees every voice and empties the held keys of active slots that hold a sample (transport stop,
  // a gap between render calls).
  void SilenceAllVoices();
  // Lowers mVoiceCount past free voices at the top of the table.
  void TrimVoiceCount();
  // Frees all 24 voices and sets mVoiceCount to 0 (the first render call's start-up).
  void ClearVoiceTable();

  // Mixes every sounding voice into out[0] (left) and out[1] (right), writing nFrames frames: frames
  // blockStart .. blockStart + nFrames - 1 of the host's block, whose start the voice offsets count
  // from (a voice sounds from its offset on). nFrames <= 0 mixes nothing. Reads stay inside the slot's
  // data also when a looping voice steps further than the whole sample in one frame; a voice on a
  // slot without frames is freed without a read. Uses a member scratch: one call at a time (the
  // instance mutex).
  void MixPiece(double** out, int nFrames, int blockStart);
  // The host's block is done: every voice offset becomes 0, so voices started for it (also at an
  // offset past its end) play from the first frame of the next one.
  void EndBlock();
  // One whole block: MixPiece from frame 0, then EndBlock.
  void Mix(double** out, int nFrames);
  // MixPiece as a target without SSE2 builds it (plain C++ pairs), for tests on targets with it: the
  // same bits.
  void MixPiecePlain(double** out, int nFrames, int blockStart);

  // Reverses the slot's data in place (each channel's frames in opposite order) and tells the view.
  void ReverseSampleData(int slot);

  void SetViews(EngineViews* views);
  EngineViews* Views() const { return mViews; }

  // Per-slot engine state.
  bool mActive[kNumSlots] = {};
  int16_t mLowNote[kNumSlots] = {};
  int16_t mHighNote[kNumSlots] = {};
  int16_t mRootNote[kNumSlots] = {};
  float mSemitoneMul[kNumSlots] = {};
  double mAttackStep[kNumSlots] = {};
  double mReleaseStep[kNumSlots] = {};
  float mPanLeft[kNumSlots] = {};
  float mPanRight[kNumSlots] = {};
  bool mAltPan[kNumSlots] = {};
  bool mAltPanFlip[kNumSlots] = {};
  float mVolumeGain[kNumSlots] = {};
  bool mReverse[kNumSlots] = {};
  bool mLoop[kNumSlots] = {};

  // Slot sample storage: planar doubles, channel 0's frames first. An empty slot holds one 0.0.
  std::unique_ptr<double[]> mSampleData[kNumSlots];
  uint32_t mSampleFrames[kNumSlots] = {};
  int16_t mSampleChannels[kNumSlots] = {};
  double mRateRatio[kNumSlots] = {};
  // The sample file's own rate, so that a slot loaded before the engine knows its rate still gets
  // ratio = file rate / engine rate once it does.
  double mSampleFileRate[kNumSlots] = {};
  double mEngineSampleRate = 0.0;

  // The voice table.
  int16_t mVoiceSlot[kNumVoices] = {};
  int16_t mVoiceNote[kNumVoices] = {};
  uint16_t mVoiceStage[kNumVoices] = {};
  int32_t mVoiceOffset[kNumVoices] = {};
  double mVoicePos[kNumVoices] = {};
  double mVoiceStep[kNumVoices] = {};
  double mVoiceLevel[kNumVoices] = {};
  double mVoiceAmp[kNumVoices] = {};
  float mVoiceGain[kNumVoices] = {};
  float mVoicePanLeft[kNumVoices] = {};
  float mVoicePanRight[kNumVoices] = {};
  int16_t mVoiceCount = 0;

private:
  // The mixer works through a block in chunks of this many frames, summing into mMixSums.
  static constexpr int kMixChunkFrames = 512;

  // Frees one voice: amplitude, position and level 0, note, stage and slot 0.
  void ClearVoice(int voice);
  // MixPiece with two frames of a voice in one Pair (FramePair.h).
  template <class Pair> void MixPieceWith(double** out, int nFrames, int blockStart);
  // Mixes voice v of slot s (which holds a sample) into the chunk's frames from..to-1 of accLeft and
  // accRight, the chunk's sums (index 0 being the chunk's first frame).
  template <class Pair> void MixVoice(int v, int s, double* accLeft, double* accRight, int from, int to);

  // The right sums start this many doubles after the end of the left ones: two arrays exactly 4 KiB
  // apart would make every load of a right sum wait for the store of the left one before it (the
  // processor compares the low 12 address bits first).
  static constexpr int kMixRightGap = 8;
  // Left sums of the chunk being mixed (kMixChunkFrames), then the gap, then the right sums; aligned
  // for the pairs of frames the mixer adds.
  alignas(16) double mMixSums[2 * kMixChunkFrames + kMixRightGap] = {};

  EngineViews mNoViews;
  EngineViews* mViews = &mNoViews;
};
