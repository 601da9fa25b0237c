#include "framework/EditorSettings.h"

#include "framework/EditorScale.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#ifdef _WIN32
#include <filesystem>
#else
#include <sys/stat.h>
#endif

namespace
{
constexpr const char* kScaleKey = "editor-scale";

// The folder part of path ("" when it names a file in the current folder).
std::string FolderOf(const std::string& path)
{
#ifdef _WIN32
  const auto last = path.find_last_of("/\\");
#else
  const auto last = path.find_last_of('/');
#endif
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

// Creates folder and the folders above it that are missing. The macOS deployment targets predate the
// C++ library's file-system calls, so POSIX does it there and on Linux.
void MakeFolders(const std::string& folder)
{
  if (folder.empty()) return;
#ifdef _WIN32
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(folder), ec);
#else
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
    mkdir(folder.substr(0, slash).c_str(), 0755);
  mkdir(folder.c_str(), 0755);
#endif
}

// Moves from over to, replacing it.
bool ReplaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
  std::error_code ec;
  std::filesystem::rename(std::filesystem::path(from), std::filesystem::path(to), ec);
  return !ec;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::string Trim(const std::string& s)
{
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// The value of key in a "key=value" line, or false when the line holds another key.
bool ValueOf(const std::string& line, const char* key, std::string* value)
{
  const auto eq = line.find('=');
  if (eq == std::string::npos || Trim(line.substr(0, eq)) != key) return false;
  *value = Trim(line.substr(eq + 1));
  return true;
}

std::string Env(const char* name)
{
  const char* v = std::getenv(name);
  return v ? v : "";
}
} // namespace

std::string DefaultEditorSettingsPath()
{
#ifdef _WIN32
  const std::string appData = Env("APPDATA");
  if (appData.empty()) return {};
  return appData + "\\Kestrune\\settings.ini";
#elif defined(__APPLE__)
  const std::string home = Env("HOME");
  if (home.empty()) return {};
  return home + "/Library/Application Support/Kestrune/settings.ini";
#else
  std::string config = Env("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is ignored, as the XDG folders rule, and the default taken.
  if (config.empty() || config[0] != '/')
  {
    const std::string home = Env("HOME");
    if (home.empty()) return {};
    config = home + "/.config";
  }
  return config + "/kestrune/settings.ini";
#endif
}

int ReadScaleSetting(const std::string& path)
{
  if (path.empty()) return 0;
  std::ifstream in(path);
  std::string line, value;
  int scale = 0;
  while (std::getline(in, line))
    if (ValueOf(line, kScaleKey, &value)) scale = ParseEditorScale(value.c_str());
  return IsEditorScale(scale) ? scale : 0;
}

bool WriteScaleSetting(const std::string& path, int percent)
{
  if (path.empty() || !IsEditorScale(percent)) return false;
  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    std::string line, value;
    while (std::getline(in, line))
      if (!ValueOf(line, kScaleKey, &value)) lines.push_back(line);
  }
  lines.push_back(std::string(kScaleKey) + "=" + std::to_string(percent));
  MakeFolders(FolderOf(path));
  // Written aside and renamed over the old file, so an editor reading it never sees half of it.
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const std::string& l : lines)
      out << l << '\n';
    if (!out.flush()) return false;
  }
  if (ReplaceFile(temporary, path)) return true;
  std::remove(temporary.c_str());
  return false;
}
