#pragma once
// Monotonic time of the Linux editor's timer, in nanoseconds.

#include <chrono>

constexpr long long kNsPerMs = 1000000;
constexpr long long kNsPerSecond = 1000000000;

inline long long SteadyNowNs()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
