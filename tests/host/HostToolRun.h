#pragma once
// Runs the built kestrune-host as a user does, and reads what it wrote.

#include <string>
#include <vector>

namespace hosttest
{

struct ToolRun
{
  int exitCode = -1;
  std::string output; // standard output and error together
};

// Runs kestrune-host with the given arguments (already quoted where needed); its output with LF line ends.
ToolRun RunHost(const std::string& args);
// The path of a test-subject plug-in: "none", "nan", "chunk", "block1", "alloc" or "hang".
std::string SubjectPath(const std::string& fault);
std::string KestrunePath();
std::string Quote(const std::string& path);

// A fresh folder in the system's temporary folder, removed with its files when the object goes.
class TempFolder
{
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string Path(const std::string& name) const { return mPath + "/" + name; }
  const std::string& Root() const { return mPath; }

private:
  std::string mPath;
};

struct WavData
{
  int channels = 0;
  int sampleRate = 0;
  int format = 0;
  std::vector<float> interleaved;
  size_t Frames() const { return channels ? interleaved.size() / channels : 0; }
  float At(size_t frame, int ch) const { return interleaved[frame * channels + ch]; }
};
// Any file libsndfile reads, and Ogg Vorbis.
bool ReadWav(const std::string& path, WavData* wav);
// Writes a mono sine of the given frequency and length.
bool WriteSine(const std::string& path, double hz, int sampleRate, double seconds, double level);

// First frame at or after from whose magnitude on channel 0 exceeds level; -1 when none.
long FirstAbove(const WavData& wav, size_t from, double level);
// Frequency on channel 0 over [from, from + frames), from positive-going zero crossings.
double MeasureHz(const WavData& wav, size_t from, size_t frames);

// Lines of a text.
std::vector<std::string> Lines(const std::string& text);
bool HasLineStartingWith(const std::string& text, const std::string& start);
} // namespace hosttest
