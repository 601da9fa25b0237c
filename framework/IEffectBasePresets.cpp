// IEffectBase: state serialisation and the preset list.
#include "framework/IEffectBase.h"

#include "framework/FrameworkAssert.h"
#include "framework/TextUtil.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{
constexpr const char* kDefaultPresetName = "Default";
constexpr const char* kUserPresetPrefix = "user preset";
} // namespace

bool IEffectBase::SerializeParams(ByteChunk* chunk)
{
  if (!chunk) return false;
  std::lock_guard<InstanceMutex> lock(mMutex);
  for (int i = 0; i < NParams(); ++i)
    chunk->AppendValue(GetParam(i)->Value());
  for (int i = 0; i < mExtraParamCount; ++i)
  {
    char* text = GetExtraParam(i);
    if (text[0] == '\0') CopyText(text, kExtraParamBytes, kNoExtraParam);
    chunk->AppendStr(text);
  }
  return chunk->Size() > 0;
}

int IEffectBase::UnserializeParams(ByteChunk* chunk, int startPos)
{
  if (!chunk) return -1;
  std::lock_guard<InstanceMutex> lock(mMutex);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double value = 0.0;
    pos = chunk->ReadValue(&value, pos);
    if (pos < 0) value = 0.0;
    if (ShouldRestoreParam(i))
    {
      GetParam(i)->SetClamped(value);
      OnParamChange(i);
    }
  }
  const int result = pos;

  char text[kExtraParamBytes];
  for (int i = 0; i < mExtraParamCount && pos >= 0; ++i)
  {
    std::string read;
    pos = chunk->GetStr(&read, pos);
    // Texts longer than the field cannot be stored: they are skipped, not cut (a cut path is wrong).
    if (pos < 0 || read.empty() || read == kNoExtraParam || read.size() > MAX_EXTRA_PARAM_LEN) continue;
    CopyText(text, sizeof(text), read.c_str());
    OnExtraParam(i, text);
  }
  return result;
}

void IEffectBase::MakePreset(const char* name, ...)
{
  if (!name) name = "";
  KESTRUNE_ASSERT(strlen(name) < MAX_PRESET_NAME_LEN);
  std::lock_guard<InstanceMutex> lock(mMutex);
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.Clear();
  va_list values;
  va_start(values, name);
  for (int i = 0; i < NParams(); ++i)
  {
    double value = 0.0;
    switch (GetParam(i)->Type())
    {
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      value = static_cast<double>(va_arg(values, int));
      break;
    default:
      value = va_arg(values, double);
      break;
    }
    preset->mChunk.AppendValue(value);
  }
  va_end(values);
}

void IEffectBase::MakeDefaultPreset(const char* name, int nPresets)
{
  KESTRUNE_ASSERT(name ? strlen(name) < MAX_PRESET_NAME_LEN : MAX_PRESET_NAME_LEN >= 8);
  std::lock_guard<InstanceMutex> lock(mMutex);
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* preset = GetNextUninitializedPreset(&mPresets);
    if (!preset) return;
    preset->mInitialized = true;
    preset->SetName(name ? name : kDefaultPresetName);
  }
}

void IEffectBase::EnsureDefaultPreset()
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  if (mPresets.GetSize() > 0) return;
  IPreset* preset = mPresets.Add(std::make_unique<IPreset>(0));
  preset->mInitialized = true;
  preset->SetName(kDefaultPresetName);
}

IPreset* IEffectBase::GetNextUninitializedPreset(PtrList<IPreset>* presets)
{
  if (!presets) return nullptr;
  for (int i = 0; i < presets->GetSize(); ++i)
  {
    if (!presets->Get(i)->mInitialized) return presets->Get(i);
  }
  return nullptr;
}

const char* IEffectBase::GetPresetName(int idx) const
{
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->GetName() : "";
}

bool IEffectBase::RestorePreset(int idx)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;
  if (preset->mInitialized)
  {
    // A preset that holds no data yet (made by MakeDefaultPreset, never left) keeps the running
    // state, as an uninitialised one does: reading its empty chunk would zero the first parameter.
    if (preset->mChunk.Size() > 0 && !(UnserializeParams(&preset->mChunk, 0) > 0)) return false;
  }
  else
  {
    preset->mInitialized = true;
    char name[MAX_PRESET_NAME_LEN];
    MakeDefaultUserPresetName(&mPresets, name);
    preset->SetName(name);
  }
  mCurrentPresetIdx = idx;
  RedrawParamControls();
  return true;
}

bool IEffectBase::RestorePreset(const char* name)
{
  if (!name || name[0] == '\0') return false;
  std::lock_guard<InstanceMutex> lock(mMutex);
  for (int i = 0; i < mPresets.GetSize(); ++i)
  {
    if (std::strcmp(mPresets.Get(i)->GetName(), name) == 0) return RestorePreset(i);
  }
  return false;
}

void IEffectBase::ModifyCurrentPreset(const char* name)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeParams(&preset->mChunk);
  if (name && name[0] != '\0')
  {
    KESTRUNE_ASSERT(strlen(name) < MAX_PRESET_NAME_LEN);
    preset->SetName(name);
  }
}

void IEffectBase::MakeDefaultUserPresetName(PtrList<IPreset>* presets, char* name)
{
  if (!name) return;
  int count = 0;
  if (presets)
  {
    for (int i = 0; i < presets->GetSize(); ++i)
    {
      if (std::strstr(presets->Get(i)->GetName(), kUserPresetPrefix)) ++count;
    }
  }
  char str[MAX_PRESET_NAME_LEN];
  std::snprintf(str, sizeof(str), "%s %d", kUserPresetPrefix, count + 1);
  KESTRUNE_ASSERT(strlen(str) < MAX_PRESET_NAME_LEN);
  CopyText(name, MAX_PRESET_NAME_LEN, str);
}
