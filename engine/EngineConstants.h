#pragma once
// Sizes, parameter kinds and tunables of the sampler engine.

#include <cstdint>

constexpr int kNumSlots = 5;
constexpr int kParamsPerSlot = 12;
constexpr int kNumParams = kNumSlots * kParamsPerSlot;
constexpr int kNumVoices = 24;
constexpr int kLowestNote = 12; // notes below are neither played nor passed on

// Kind k of slot s is parameter s * kParamsPerSlot + k.
enum ESlotParam
{
  kActive = 0,
  kLowNote,
  kHighNote,
  kRootNote,
  kSemitonesMultiply,
  kAttack,
  kRelease,
  kPan,
  kAlternatePan,
  kVolume,
  kReverse,
  kLoop
};

enum EVoiceStage : uint16_t
{
  kStageIdle = 0,
  kStageAttack = 1,
  kStageSustain = 2,
  kStageRelease = 3
};

// A pause between two render calls longer than this silences every voice.
constexpr double kGapSeconds = 0.5;
