#include "samplefiles/SlotFile.h"

#include <cstring>

namespace
{
constexpr const char* kNoFileText = "...";

// Copies text with its terminator into a field of kSlotPathBytes; refuses null and what does not fit.
bool StoreText(char (&field)[kSlotPathBytes], const char* text)
{
  if (text == nullptr) return false;
  const size_t length = strnlen(text, kSlotPathBytes);
  if (length >= static_cast<size_t>(kSlotPathBytes)) return false;
  std::memmove(field, text, length + 1);
  return true;
}
} // namespace

SlotFile::SlotFile()
{
  StoreText(mPath, kNoFileText);
  StoreText(mDisplayName, kNoFileText);
}

bool SlotFile::SetPath(const char* path)
{
  return StoreText(mPath, path);
}

bool SlotFile::SetPreviousPath(const char* path)
{
  return StoreText(mPreviousPath, path);
}

bool SlotFile::SetNextPath(const char* path)
{
  return StoreText(mNextPath, path);
}

bool SlotFile::SetDisplayName(const char* name)
{
  return StoreText(mDisplayName, name);
}

bool SlotFile::SetExtension(const char* extension)
{
  return StoreText(mExtension, extension);
}
