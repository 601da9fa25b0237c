#pragma once
// The neighbouring sample files of a slot's file, for its previous and next buttons.
//
// Runs on the loading thread, without the instance mutex: it reads the folder and nothing else.

#include <string>

struct FolderNeighbours
{
  std::string previous; // full path of the sample file listed before the current one; empty if none
  std::string next;     // full path of the sample file listed after it; empty if none
};

// Lists the folder of path (the part before its last separator) in the order the system delivers its
// entries, nothing sorted. Only names ending in ".wav" or ".ogg" (any case) count. Until the current
// file name (exact, case-sensitive) is met, every other counted entry becomes the previous path; once
// it is met, the next counted entry becomes the next path and the listing stops. When the current name
// is never met, previous is the last sample file of the folder and next stays empty. A folder that
// cannot be listed (or a path without a folder) gives two empty paths. Paths are formed as
// folder + "/" + name; a file directly in the root folder is listed from "/".
FolderNeighbours FindFolderNeighbours(const std::string& path);
