#include "samplefiles/FileKind.h"

#include <sys/stat.h>

FileKind KindOfFile(const std::string& path)
{
  if (path.find('\0') != std::string::npos) return FileKind::kNone;
  struct stat info
  {
  };
  if (::lstat(path.c_str(), &info) != 0) return FileKind::kNone;
  const bool link = S_ISLNK(info.st_mode);
  if (link && ::stat(path.c_str(), &info) != 0) return FileKind::kNone; // a dangling link
  if (S_ISDIR(info.st_mode)) return link ? FileKind::kFolderLink : FileKind::kFolder;
  if (S_ISREG(info.st_mode)) return FileKind::kFile;
  return FileKind::kOther;
}
