#pragma once
// Encodes planar float samples into an Ogg Vorbis file with libvorbisenc (variable bit rate).

#include <string>
#include <vector>

namespace khost
{

class OggWriter
{
public:
  // channels: one vector per channel, all of the same length. quality: -0.1 .. 1.0.
  static bool Write(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
                    float quality, std::string* error);
};
} // namespace khost
