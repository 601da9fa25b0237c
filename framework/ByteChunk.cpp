#include "framework/ByteChunk.h"

int ByteChunk::AppendStr(const char* text)
{
  const int32_t n = text ? static_cast<int32_t>(std::strlen(text)) : 0;
  AppendValue(n);
  if (n > 0) mBytes.insert(mBytes.end(), text, text + n);
  return Size();
}

int ByteChunk::AppendBytes(const ByteChunk& other)
{
  // A copy first: other may be this chunk.
  const std::vector<uint8_t> bytes = other.mBytes;
  mBytes.insert(mBytes.end(), bytes.begin(), bytes.end());
  return Size();
}

int ByteChunk::AppendBytes(const uint8_t* data, int size)
{
  if (data && size > 0) mBytes.insert(mBytes.end(), data, data + size);
  return Size();
}

int ByteChunk::GetStr(std::string* text, int startPos) const
{
  int32_t n = 0;
  const int textPos = ReadValue(&n, startPos);
  if (textPos < 0 || n < 0) return -1;
  const int64_t end = static_cast<int64_t>(textPos) + n;
  if (end > INT32_MAX) return -1;
  if (n >= 1 && end <= Size() && text)
  {
    const char* p = reinterpret_cast<const char*>(mBytes.data() + textPos);
    text->assign(p, strnlen(p, static_cast<size_t>(n)));
  }
  return static_cast<int>(end);
}

void ByteChunk::Resize(int size)
{
  mBytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
}
