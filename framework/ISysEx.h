#pragma once
// ISysEx: one system-exclusive message with its frame offset. The data is not owned: it points into
// the host's event list and is valid only during the call that delivers it.

#include <cstdint>

class ISysEx
{
public:
  ISysEx() = default;
  ISysEx(int offset, const uint8_t* data, int size) : mOffset(offset), mSize(size), mData(data) {}

  void Clear();

  int32_t mOffset = 0;
  int32_t mSize = 0;
  const uint8_t* mData = nullptr;
};

// Writes min(maxLen / 3, size) bytes as "%02X" separated by single spaces into out and terminates it;
// maxLen counts the terminator, so nothing is written past out[maxLen - 1]. Needs maxLen >= 3.
void SysExStr(char* out, int maxLen, const uint8_t* data, int size);
