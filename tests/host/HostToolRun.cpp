#include "host/HostToolRun.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sndfile.h>
#include <sstream>
#include <sys/wait.h>

namespace hosttest
{

std::string Quote(const std::string& path)
{
  std::string quoted = "'";
  for (char c : path)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ToolRun RunHost(const std::string& args)
{
  ToolRun run;
#ifdef KESTRUNE_HOST_PATH
  const std::string command = Quote(KESTRUNE_HOST_PATH) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
  (void)args;
#endif
  return run;
}

std::string SubjectPath(const std::string& fault)
{
#ifdef KESTRUNE_HOST_SUBJECTS
  return std::string(KESTRUNE_HOST_SUBJECTS) + "/khost_subject_" + fault + ".so";
#else
  return fault;
#endif
}

std::string KestrunePath()
{
#ifdef KESTRUNE_MODULE_PATH
  return KESTRUNE_MODULE_PATH;
#else
  return "";
#endif
}

TempFolder::TempFolder()
{
  char pattern[] = "/tmp/kestrune-hosttest-XXXXXX";
  if (mkdtemp(pattern)) mPath = pattern;
}

TempFolder::~TempFolder()
{
  std::error_code ignored;
  if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
}

bool ReadWav(const std::string& path, WavData* wav)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  wav->channels = info.channels;
  wav->sampleRate = info.samplerate;
  wav->format = info.format;
  wav->interleaved.assign(static_cast<size_t>(info.frames) * info.channels, 0.0f);
  const sf_count_t got = sf_readf_float(file, wav->interleaved.data(), info.frames);
  sf_close(file);
  return got == info.frames;
}

bool WriteSine(const std::string& path, double hz, int sampleRate, double seconds, double level)
{
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const int frames = static_cast<int>(seconds * sampleRate);
  std::vector<float> samples(frames);
  for (int i = 0; i < frames; ++i)
    samples[i] = static_cast<float>(level * std::sin(2.0 * M_PI * hz * i / sampleRate));
  const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
  sf_close(file);
  return ok;
}

long FirstAbove(const WavData& wav, size_t from, double level)
{
  for (size_t i = from; i < wav.Frames(); ++i)
    if (std::fabs(wav.At(i, 0)) > level) return static_cast<long>(i);
  return -1;
}

double MeasureHz(const WavData& wav, size_t from, size_t frames)
{
  double first = -1.0, last = -1.0;
  int crossings = 0;
  for (size_t i = from + 1; i < from + frames && i < wav.Frames(); ++i)
  {
    const double a = wav.At(i - 1, 0), b = wav.At(i, 0);
    if (a < 0.0 && b >= 0.0)
    {
      const double at = double(i - 1) + (-a) / (b - a);
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return (crossings - 1) * wav.sampleRate / (last - first);
}

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

bool HasLineStartingWith(const std::string& text, const std::string& start)
{
  for (const std::string& line : Lines(text))
    if (line.compare(0, start.size(), start) == 0) return true;
  return false;
}
} // namespace hosttest
