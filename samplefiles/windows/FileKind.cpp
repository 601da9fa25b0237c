#include "samplefiles/FileKind.h"

#include <windows.h>

FileKind KindOfFile(const std::string& path)
{
  if (path.find('\0') != std::string::npos) return FileKind::kNone;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kNone;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::kFolderLink : FileKind::kFolder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::kOther;
  return FileKind::kFile;
}
