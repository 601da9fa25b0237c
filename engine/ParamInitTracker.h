#pragma once
// Remembers which of the instance's parameters have been applied at least once. The instance marks a
// parameter each time OnParamChange applies it; once every parameter carries a mark the instance lets
// the base render. Runs under the instance mutex; allocates nothing.

#include "engine/EngineConstants.h"

#include <array>

class ParamInitTracker
{
public:
  // Marks paramIdx as applied (indexes outside 0..kNumParams-1 are ignored). Returns true once no
  // parameter is left unapplied, also on every later call.
  bool Mark(int paramIdx);

  bool AllApplied() const { return mUnapplied <= 0; }
  int Unapplied() const { return mUnapplied; }

private:
  std::array<bool, kNumParams> mMarked = {};
  int mUnapplied = kNumParams;
};
