#pragma once
// A reference SFZ reader for the tests: plain, slow and written apart from the plug-in's readers, so
// that the two can be compared over a corpus of real instruments. It reads what the sampler maps:
// for each of the first regions that name a sample, the sample's path, key range, root, key tracking,
// attack, release, pan, volume, direction and loop, with the SFZ defaults for what a region leaves out.

#include <string>
#include <vector>

namespace sfzref
{
struct Region
{
  std::string path; // instrument folder + default_path + sample, as written (backslashes as "/")
  int lowKey = 0;
  int highKey = 127;
  int root = 60;
  double keyTrackCents = 100.0;
  double attack = 0.0;
  double release = 0.0;
  double pan = 0.0;
  double volume = 0.0;
  bool reverse = false;
  bool loop = false;
};

// The first count regions of the instrument at sfzPath whose sample is a file (not a "*" generator).
// Sample files are not looked at.
std::vector<Region> ReadRegions(const std::string& sfzPath, size_t count = 5);
} // namespace sfzref
