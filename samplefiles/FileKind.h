#pragma once
// What a path names, as a folder search needs to know it: posix/ (lstat, stat), windows/
// (GetFileAttributesA). Any thread; one system call or two.

#include <string>

enum class FileKind
{
  kNone,       // nothing there, or it cannot be examined
  kFile,       // a regular file, also through a link
  kFolder,     // a folder
  kFolderLink, // a folder reached through a symbolic link or junction: searches do not enter it
  kOther       // a device, pipe or socket
};

FileKind KindOfFile(const std::string& path);
