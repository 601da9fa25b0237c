#pragma once
// ByteChunk: growable byte buffer of native (little-endian) values and length-prefixed texts, the
// carrier of state chunks and presets. Reads are positional: the caller keeps the position, and every
// read answers the position after what it read, or -1 when the chunk ends first.

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

class ByteChunk
{
public:
  template <class T> int AppendValue(const T& value)
  {
    static_assert(std::is_trivially_copyable<T>::value, "raw values only");
    // Grown, then copied into: GCC 12 at -O3 mistakes a range insert of a few bytes into an empty
    // vector for an overflow (-Wstringop-overflow); this says the same without the range insert.
    const size_t at = mBytes.size();
    mBytes.resize(at + sizeof(T));
    std::memcpy(mBytes.data() + at, &value, sizeof(T));
    return Size();
  }

  // Reads one value at startPos; the position after it, or -1 (value untouched) if it does not fit.
  template <class T> int ReadValue(T* value, int startPos) const
  {
    static_assert(std::is_trivially_copyable<T>::value, "raw values only");
    if (!value || startPos < 0 || static_cast<size_t>(startPos) + sizeof(T) > mBytes.size()) return -1;
    std::memcpy(value, mBytes.data() + startPos, sizeof(T));
    return startPos + static_cast<int>(sizeof(T));
  }

  // Appends strlen(text) as int32 and the bytes without terminator (a null text counts as empty).
  int AppendStr(const char* text);
  // Appends the other chunk's bytes without a length.
  int AppendBytes(const ByteChunk& other);
  int AppendBytes(const uint8_t* data, int size);

  // Reads a length-prefixed text at startPos. -1 if startPos < 0 or fewer than 4 bytes remain.
  // Otherwise answers startPos + 4 + n for the stored length n: the text is taken only when n >= 1
  // and the whole text lies inside the chunk (stopping at a zero byte), so a length-0 text leaves text
  // untouched and a text running past the end answers a position past the end (the next read fails).
  // A negative length answers -1.
  int GetStr(std::string* text, int startPos) const;

  void Resize(int size);
  void Clear() { mBytes.clear(); }
  int Size() const { return static_cast<int>(mBytes.size()); }
  uint8_t* Bytes() { return mBytes.data(); }
  const uint8_t* Bytes() const { return mBytes.data(); }
  bool IsEqual(const ByteChunk& other) const { return mBytes == other.mBytes; }

private:
  std::vector<uint8_t> mBytes;
};
