#include "samplefiles/FolderListing.h"

#include <dirent.h>

#include <memory>

namespace
{
struct DirCloser
{
  void operator()(DIR* dir) const { closedir(dir); }
};
} // namespace

bool ListFolder(const std::string& folder, const std::function<bool(std::string_view name)>& visit)
{
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get()))
    if (!visit(std::string_view(entry->d_name))) break;
  return true;
}
