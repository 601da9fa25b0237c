#pragma once
// IPreset: one program of the plug-in: a name and a chunk holding the parameter values (and, once
// refreshed from the running state, the extra-parameter texts) in the state layout without version.

#include "framework/ByteChunk.h"

constexpr int MAX_PRESET_NAME_LEN = 256; // terminator included

class IPreset
{
public:
  // A new preset is uninitialised and named "- N -" with its 1-based position.
  explicit IPreset(int idx);

  // Sets the name; longer than 255 characters asserts ("strlen(mName) < MAX_PRESET_NAME_LEN").
  void SetName(const char* name);
  const char* GetName() const { return mName; }

  bool mInitialized = false;
  char mName[MAX_PRESET_NAME_LEN] = {};
  ByteChunk mChunk;
};
