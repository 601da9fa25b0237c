#include "framework/IPreset.h"

#include "framework/TextUtil.h"

#include "framework/FrameworkAssert.h"
#include <cstdio>

IPreset::IPreset(int idx)
{
  std::snprintf(mName, sizeof(mName), "- %d -", idx + 1);
}

void IPreset::SetName(const char* name)
{
  if (!name) name = "";
  KESTRUNE_ASSERT(strlen(name) < MAX_PRESET_NAME_LEN);
  CopyText(mName, sizeof(mName), name);
}
