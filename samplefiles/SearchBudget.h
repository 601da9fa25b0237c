#pragma once
// SearchBudget: what a folder search may still spend, in entries visited and time.

#include "samplefiles/SampleSearchLimits.h"

#include <chrono>
#include <cstddef>

class SearchBudget
{
public:
  explicit SearchBudget(const SampleSearchBounds& bounds)
      : mEntriesLeft(bounds.maxEntries), mDeadline(std::chrono::steady_clock::now() + bounds.maxTime)
  {
  }

  // Counts one folder entry. False once the entries or the time are used up; the search then stops.
  bool Spend()
  {
    if (mEntriesLeft == 0 || std::chrono::steady_clock::now() >= mDeadline)
    {
      mEntriesLeft = 0;
      return false;
    }
    --mEntriesLeft;
    return true;
  }

  bool Exhausted() const { return mEntriesLeft == 0; }

private:
  size_t mEntriesLeft;
  std::chrono::steady_clock::time_point mDeadline;
};
