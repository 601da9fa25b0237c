#pragma once
// SfzOpcodeSet: what one header level of an SFZ file (<global>, <master>, <group> or <region>) says
// about the opcodes the sampler maps onto a slot, and the slot parameters of a region.
//
// Opcodes and the slot parameter each one sets (names exact, in lower case):
//   lokey, hikey            Low Note, High Note          note: number -1..127, or a name such as c4,
//   pitch_keycenter         Root Note                    C#4, Db4, c-1 or g9 (sharps "#", flats "b",
//   key                     all three                    octaves -1 to 9, c4 = 60)
//   pitch_keytrack          Semitones Multiply           cents per key; 100 gives 1.0
//   ampeg_attack            Attack                       seconds
//   ampeg_release           Release                      seconds
//   pan                     Pan                          -100..100
//   pan_alternate           Alternate Pan                "yes" or "no"
//   volume                  Volume                       dB
//   direction               Reverse                      "reverse" on, "forward" off
//   loop_mode               Loop                         "loop_continuous", "loop_sustain" on;
//                                                        "no_loop", "one_shot" off
//   sample                  the region's sample          a path; "*sine", "*noise" and other names
//                                                        that start with "*" are generators
// Numbers are read without the process locale. A value that is not understood sets nothing.
// Note values get note_offset + 12 x octave_offset of the <control> values in force when they are read;
// sample paths get default_path in front of them unless they are absolute.
// Any thread; allocates.

#include "samplefiles/SfzSlotResult.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The instrument-wide values of <control>.
struct SfzControl
{
  std::string defaultPath; // backslashes as "/"
  int noteOffset = 0;      // semitones
  int octaveOffset = 0;    // octaves
};

struct SfzOpcodeSet
{
  // default path and value joined, backslashes as "/". A flag of its own rather than an optional text:
  // GCC 12 takes an optional string copied at -O3 for uninitialised.
  bool sampleGiven = false;
  std::string sample;
  std::optional<int> lowKey;
  std::optional<int> highKey;
  std::optional<int> keyCenter;
  std::optional<double> keyTrack; // cents per key
  std::optional<double> attack;   // seconds
  std::optional<double> release;  // seconds
  std::optional<double> pan;
  std::optional<int> panAlternate;
  std::optional<double> volume; // dB
  std::optional<int> reverse;
  std::optional<int> loop;
};

// Applies a control opcode (default_path, note_offset, octave_offset). False for any other opcode.
bool ApplySfzControlOpcode(SfzControl& control, std::string_view opcode, std::string_view value);

// Applies one of the mapped opcodes. False (nothing set) for other opcodes and values not understood.
bool ApplySfzOpcode(SfzOpcodeSet& set, std::string_view opcode, std::string_view value,
                    const SfzControl& control);

// The set whose values are those of over where it gives them, else those of under.
SfzOpcodeSet OverlaySfzOpcodes(const SfzOpcodeSet& over, const SfzOpcodeSet& under);

// True when the region's sample is a generator ("*sine", "*noise", ...), which names no file.
bool IsSfzGenerator(std::string_view sample);

// A note value: a whole number -1..127, or a note name with an optional "#" or "b" and an octave from
// -1 to 9 (c4 = 60) that gives a note 0..127. False for anything else.
bool ReadSfzKey(std::string_view text, int& note);

// The slot parameters 1..11 of a region whose opcodes, all levels overlaid, are region: the value it
// gives, else the SFZ default (keys 0..127 with root 60, key tracking 100 cents, no attack or release
// time, centre pan, 0 dB, forward, no loop, no alternate pan), raised to -100 where it is lower (the
// parameters' own ranges clamp further). Index 0 (Active) is kSfzNotGiven.
std::array<double, kSfzSlotParamKinds> SfzSlotParams(const SfzOpcodeSet& region);
