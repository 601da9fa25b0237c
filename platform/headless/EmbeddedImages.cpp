#include "platform/headless/EmbeddedImages.h"

#include <cstring>

namespace
{
const char* BaseName(const char* path)
{
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  return base;
}
} // namespace

const EmbeddedImage* FindEmbeddedImage(int id, const char* name, int scale)
{
  if (id >= 0)
    for (int i = 0; i < kEmbeddedImageCount; ++i)
      if (kEmbeddedImages[i].mId == id && kEmbeddedImages[i].mScale == scale) return &kEmbeddedImages[i];
  if (!name || !*name) return nullptr;
  const char* base = BaseName(name);
  for (int i = 0; i < kEmbeddedImageCount; ++i)
    if (kEmbeddedImages[i].mScale == scale && std::strcmp(kEmbeddedImages[i].mName, base) == 0)
      return &kEmbeddedImages[i];
  return nullptr;
}
