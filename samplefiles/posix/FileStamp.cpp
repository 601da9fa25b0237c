#include "samplefiles/FileStamp.h"

#include <sys/stat.h>

FileStamp StampOfFile(const char* path)
{
  FileStamp stamp;
  struct stat info;
  if (path == nullptr || stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
  stamp.size = static_cast<int64_t>(info.st_size);
#if defined(__APPLE__)
  const struct timespec& modified = info.st_mtimespec;
#else
  const struct timespec& modified = info.st_mtim;
#endif
  stamp.modifiedNs = static_cast<int64_t>(modified.tv_sec) * 1000000000 + modified.tv_nsec;
  return stamp;
}
