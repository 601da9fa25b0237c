#include "engine/ParamInitTracker.h"

bool ParamInitTracker::Mark(int paramIdx)
{
  if (paramIdx >= 0 && paramIdx < kNumParams && !mMarked[paramIdx])
  {
    mMarked[paramIdx] = true;
    --mUnapplied;
  }
  return AllApplied();
}
