#include "samplefiles/SampleFileNames.h"

#include "samplefiles/SampleFileLimits.h"

namespace
{
// ASCII lower case, whatever the process locale says.
char LowerAscii(char c)
{
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithNoCase(std::string_view text, std::string_view ending)
{
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (size_t i = 0; i < ending.size(); ++i)
    if (LowerAscii(tail[i]) != ending[i]) return false;
  return true;
}
} // namespace

std::string_view FileExtension(std::string_view path)
{
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  return path.substr(dot + 1);
}

std::string_view FileNameOf(std::string_view path)
{
  const size_t sep = LastPathSeparator(path);
  if (sep == std::string_view::npos) return path;
  return path.substr(sep + 1);
}

std::string_view FolderOf(std::string_view path)
{
  const size_t sep = LastPathSeparator(path);
  if (sep == std::string_view::npos) return {};
  return path.substr(0, sep);
}

std::string DisplayNameOf(std::string_view path)
{
  std::string_view name = FileNameOf(path);
  if (name.size() > static_cast<size_t>(kDisplayNameMaxChars)) name = name.substr(0, kDisplayNameCutChars);
  return std::string(name);
}

bool IsSteppableSampleName(std::string_view name)
{
  return EndsWithNoCase(name, ".wav") || EndsWithNoCase(name, ".ogg") || EndsWithNoCase(name, ".flac");
}
