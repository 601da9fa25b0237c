// Joined to getcwd's answer; "./" at the front is dropped, nothing else is rewritten (links stay as named).

#include "samplefiles/AbsolutePath.h"

#include "samplefiles/PathRules.h"

#include <climits>
#include <unistd.h>

std::string AbsolutePathOf(const std::string& path)
{
  if (path.empty() || IsAbsolutePath(path)) return path;
  char folder[PATH_MAX];
  if (getcwd(folder, sizeof(folder)) == nullptr) return path;
  std::string relative = path;
  while (relative.size() > 2 && relative[0] == '.' && relative[1] == '/')
    relative.erase(0, 2);
  std::string absolute = folder;
  if (absolute.empty() || absolute.back() != '/') absolute += '/';
  return absolute + relative;
}
