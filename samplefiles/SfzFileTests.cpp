#include "samplefiles/SfzFileTests.h"

#include "samplefiles/Keyword.h"
#include "samplefiles/SfzLimits.h"

#include <cstdio>
#include <sys/stat.h>

bool IsRegularFile(const std::string& path)
{
  if (path.find('\0') != std::string::npos) return false; // C text would name another file
  struct stat info
  {
  };
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsInstrumentPath(std::string_view path)
{
  const size_t dot = path.rfind('.');
  return MatchesKeyword(dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1), "sfz");
}

bool SfzSampleFileOpens(const std::string& path)
{
  if (path.size() >= kSfzMaxPathBytes || IsInstrumentPath(path) || !IsRegularFile(path)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

std::string SlashesForBackslashes(std::string_view text)
{
  std::string out(text);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}
