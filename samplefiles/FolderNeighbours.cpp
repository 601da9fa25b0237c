#include "samplefiles/FolderNeighbours.h"

#include "samplefiles/SampleFileNames.h"

#include <dirent.h>

#include <memory>
#include <string_view>

namespace
{
struct DirCloser
{
  void operator()(DIR* dir) const { closedir(dir); }
};

std::string JoinPath(std::string_view folder, std::string_view name)
{
  std::string joined(folder);
  joined += kPathSeparator;
  joined += name;
  return joined;
}
} // namespace

FolderNeighbours FindFolderNeighbours(const std::string& path)
{
  FolderNeighbours result;
  const std::string_view name = FileNameOf(path);
  const std::string_view folder = FolderOf(path);
  // "/a.wav" has the empty folder in front of its separator: the root folder is listed as "/".
  const bool inRoot = folder.empty() && !path.empty() && path[0] == kPathSeparator;
  if (folder.empty() && !inRoot) return result;

  const std::string listed = inRoot ? std::string(1, kPathSeparator) : std::string(folder);
  std::unique_ptr<DIR, DirCloser> dir(opendir(listed.c_str()));
  if (!dir) return result;

  bool met = false;
  while (const dirent* entry = readdir(dir.get()))
  {
    const std::string_view entryName(entry->d_name);
    if (!IsSteppableSampleName(entryName)) continue;
    if (met)
    {
      result.next = JoinPath(folder, entryName);
      break;
    }
    if (entryName == name)
      met = true;
    else
      result.previous = JoinPath(folder, entryName);
  }
  return result;
}
