#include "samplefiles/FileStamp.h"

#include <sys/stat.h>

FileStamp StampOfFile(const char* path)
{
  FileStamp stamp;
  struct _stat64 info;
  if (path == nullptr || _stat64(path, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return stamp;
  stamp.size = static_cast<int64_t>(info.st_size);
  stamp.modifiedNs = static_cast<int64_t>(info.st_mtime) * 1000000000;
  return stamp;
}
