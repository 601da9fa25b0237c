#pragma once
// Reads Standard MIDI Files of format 0 and 1 (and 2, whose tracks are laid one after the other in
// time like those of format 1): header, track chunks, variable-length deltas, running status, tempo
// and time-signature meta events, SysEx skipped. Ticks become seconds through the tempo map, which
// applies to every track; timecode-based files (SMPTE division) count ticks in frames of a second.
// A truncated or malformed file is refused with a reason.

#include "tools/kestrune-host/MidiSong.h"

#include <cstdint>
#include <string>
#include <vector>

namespace khost
{

class SmfReader
{
public:
  static bool Read(const std::vector<uint8_t>& bytes, MidiSong* song, std::string* error);
  static bool ReadFile(const std::string& path, MidiSong* song, std::string* error);
};
} // namespace khost
