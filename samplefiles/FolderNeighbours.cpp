#include "samplefiles/FolderNeighbours.h"

#include "samplefiles/FolderListing.h"
#include "samplefiles/SampleFileNames.h"

#include <string_view>

namespace
{
// An entry's path from the folder as FolderOf gives it (empty for the root folder, hence always a
// separator).
std::string EntryPath(std::string_view folder, std::string_view name)
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
  const bool inRoot = folder.empty() && !path.empty() && IsPathSeparator(path[0]);
  if (folder.empty() && !inRoot) return result;

  const std::string listed = inRoot ? std::string(1, kPathSeparator) : std::string(folder);
  bool met = false;
  ListFolder(listed,
             [&](std::string_view entryName)
             {
               if (!IsSteppableSampleName(entryName)) return true;
               if (met)
               {
                 result.next = EntryPath(folder, entryName);
                 return false;
               }
               if (entryName == name)
                 met = true;
               else
                 result.previous = EntryPath(folder, entryName);
               return true;
             });
  return result;
}
