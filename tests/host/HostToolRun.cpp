#include "host/HostToolRun.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sndfile.h>
#include <sstream>
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace hosttest
{

#ifdef _WIN32
// Quoted so that the C runtime's command-line parser gives the text back unchanged.
std::string Quote(const std::string& path)
{
  std::string quoted = "\"";
  for (size_t i = 0;; ++i)
  {
    size_t backslashes = 0;
    while (i < path.size() && path[i] == '\\')
    {
      ++i;
      ++backslashes;
    }
    if (i == path.size())
    {
      quoted.append(backslashes * 2, '\\');
      break;
    }
    quoted.append(path[i] == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    quoted += path[i];
  }
  return quoted + "\"";
}

ToolRun RunHost(const std::string& args)
{
  ToolRun run;
#ifdef KESTRUNE_HOST_PATH
  SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE null = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                            0, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::string line = Quote(KESTRUNE_HOST_PATH) + " " + args;
  PROCESS_INFORMATION child = {};
  // A process start can fail for a moment while a fresh Wine prefix is still starting its services: a
  // failure of the machine, not of the tool, so it is tried again before the test is given -1.
  BOOL started = FALSE;
  DWORD startError = 0;
  for (int attempt = 0; attempt < 3 && !started; ++attempt)
  {
    if (attempt > 0) Sleep(200);
    started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    if (!started) startError = GetLastError();
  }
  CloseHandle(writeEnd);
  CloseHandle(null);
  if (!started) run.output = "the tool could not be started: error " + std::to_string(startError) + "\n";
  if (started)
  {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &n, nullptr) && n > 0)
      run.output.append(buffer, n);
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(child.hProcess, &code))
      run.exitCode = static_cast<int>(code);
    else
      run.output += "no exit code: error " + std::to_string(GetLastError()) + "\n";
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  CloseHandle(readEnd);
  // The tool writes text, whose line ends come as CR LF.
  std::string text;
  for (size_t i = 0; i < run.output.size(); ++i)
    if (!(run.output[i] == '\r' && i + 1 < run.output.size() && run.output[i + 1] == '\n'))
      text += run.output[i];
  run.output = text;
#else
  (void)args;
#endif
  return run;
}
#else
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
#endif

std::string SubjectPath(const std::string& fault)
{
#ifdef KESTRUNE_HOST_SUBJECTS
#ifdef _WIN32
  return std::string(KESTRUNE_HOST_SUBJECTS) + "/khost_subject_" + fault + ".dll";
#else
  return std::string(KESTRUNE_HOST_SUBJECTS) + "/khost_subject_" + fault + ".so";
#endif
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
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (error) return;
  std::random_device seed;
  std::mt19937_64 random((uint64_t(seed()) << 32) ^ seed() ^
                         uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100 && mPath.empty(); ++attempt)
  {
    char name[64];
    std::snprintf(name, sizeof(name), "kestrune-hosttest-%016llx", static_cast<unsigned long long>(random()));
    if (std::filesystem::create_directory(temp / name, error)) mPath = (temp / name).string();
  }
}

TempFolder::~TempFolder()
{
  std::error_code ignored;
  if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
}

namespace
{
// Ogg Vorbis through vorbisfile, for a libsndfile built without external codecs (the Windows build's).
bool ReadOggVorbis(const std::string& path, WavData* wav)
{
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) return false;
  const vorbis_info* info = ov_info(&file, -1);
  wav->channels = info->channels;
  wav->sampleRate = static_cast<int>(info->rate);
  wav->format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  wav->interleaved.clear();
  int section = 0;
  for (;;)
  {
    float** pcm = nullptr;
    const long frames = ov_read_float(&file, &pcm, 4096, &section);
    if (frames < 0)
    {
      ov_clear(&file);
      return false;
    }
    if (frames == 0) break;
    for (long i = 0; i < frames; ++i)
      for (int c = 0; c < wav->channels; ++c)
        wav->interleaved.push_back(pcm[c][i]);
  }
  ov_clear(&file);
  return true;
}
} // namespace

bool ReadWav(const std::string& path, WavData* wav)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return ReadOggVorbis(path, wav);
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
