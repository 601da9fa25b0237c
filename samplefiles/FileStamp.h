#pragma once
// FileStamp: what tells that a file on disk is still the one that was loaded: its size and its last
// modification time. A loaded slot keeps the stamp of its file, so that a program change or a restored
// state naming the same, unchanged file keeps the decoded buffer instead of decoding it again.
//
// Any thread but the audio thread (a system call).

#include <cstdint>

struct FileStamp
{
  int64_t size = -1;      // bytes; -1: no stamp (the file could not be examined)
  int64_t modifiedNs = 0; // last modification, nanoseconds since the epoch where the system says
  bool Valid() const { return size >= 0; }
  bool operator==(const FileStamp& other) const
  {
    return Valid() && size == other.size && modifiedNs == other.modifiedNs;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The stamp of the regular file at path; an invalid stamp when it is missing or not a regular file.
FileStamp StampOfFile(const char* path);
