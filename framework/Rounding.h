#pragma once
// Rounding half away from zero (2.5 -> 3, -2.5 -> -3), as the parameters' whole values and the editor's
// numbers round.

inline int RoundHalfAway(double v)
{
  return static_cast<int>(v >= 0.0 ? v + 0.5 : v - 0.5);
}
