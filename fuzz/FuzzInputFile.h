#pragma once
// The file a reader harness hands to the loaders: one per fuzzing process, rewritten with the input's
// bytes for every input and removed at exit.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzzinput
{
class InputFile
{
public:
  // extension: the file name's ending, with its dot (".wav").
  explicit InputFile(const char* extension) : mPath("/tmp/fuzz_input_" + std::to_string(getpid()) + extension)
  {
  }
  ~InputFile() { std::remove(mPath.c_str()); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const char* Path() const { return mPath.c_str(); }

  // Replaces the file's content with size bytes; false when it cannot be written.
  bool Write(const uint8_t* data, size_t size) const
  {
    std::FILE* file = std::fopen(mPath.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
  }

private:
  std::string mPath;
};
} // namespace fuzzinput
