#include "samplefiles/FolderListing.h"

#include <windows.h>

bool ListFolder(const std::string& folder, const std::function<bool(std::string_view name)>& visit)
{
  std::string pattern = folder;
  if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(pattern.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  do
  {
    if (!visit(std::string_view(found.cFileName))) break;
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return true;
}
