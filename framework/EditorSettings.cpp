#include "framework/EditorSettings.h"

#include "framework/EditorScale.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace
{
constexpr const char* kScaleKey = "editor-scale";

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
#else
  std::string config = Env("XDG_CONFIG_HOME");
  // The base directory specification: a relative path there is to be ignored.
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
  std::error_code ec;
  const std::filesystem::path file(path);
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  // Written aside and renamed over the old file, so an editor reading it never sees half of it.
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const std::string& l : lines)
      out << l << '\n';
    if (!out.flush()) return false;
  }
  std::filesystem::rename(temporary, file, ec);
  if (ec)
  {
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}
