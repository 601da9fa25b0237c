#include "framework/ISysEx.h"

#include "framework/FrameworkAssert.h"
#include <algorithm>

void ISysEx::Clear()
{
  mOffset = mSize = 0;
  mData = nullptr;
}

void SysExStr(char* str, int maxlen, const uint8_t* data, int size)
{
  KESTRUNE_ASSERT(str != NULL && maxlen >= 3);
  if (!str || maxlen < 1) return;
  static const char kHex[] = "0123456789ABCDEF";
  const int n = (data && size > 0) ? std::min(maxlen / 3, size) : 0;
  char* p = str;
  for (int i = 0; i < n; ++i)
  {
    // Each byte takes "XX " (3 characters); the last one's blank becomes the terminator.
    if (i > 0) *p++ = ' ';
    *p++ = kHex[data[i] >> 4];
    *p++ = kHex[data[i] & 0xF];
  }
  *p = '\0';
}
