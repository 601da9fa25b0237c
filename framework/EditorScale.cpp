#include "framework/EditorScale.h"

#include "framework/FloatChars.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace
{
// Division rounding towards minus infinity (the C++ operator truncates towards zero).
long long FloorDiv(long long a, long long b)
{
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
} // namespace

bool IsEditorScale(int percent)
{
  return percent == kScale100 || percent == kScale150 || percent == kScale200;
}

int NearestEditorScale(double factor)
{
  if (!std::isfinite(factor) || factor <= 0.0) return 0;
  if (factor < 1.25) return kScale100;
  if (factor < 1.75) return kScale150;
  return kScale200;
}

int ParseEditorScale(const char* text)
{
  if (!text) return 0;
  const char* end = text + std::strlen(text);
  double value = 0.0;
  auto result = float_chars::FromChars(text, end, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr == text) return 0;
  const char* rest = result.ptr;
  bool percentSign = false;
  if (rest != end && *rest == '%')
  {
    percentSign = true;
    ++rest;
  }
  if (rest != end) return 0;
  // Factors up to 4 (a 400 % desktop), percentages from 50 on.
  if (!percentSign && value <= 4.0) return NearestEditorScale(value);
  if (value < 50.0) return 0;
  return NearestEditorScale(value / 100.0);
}

int UnitsToPixels(int units, int percent)
{
  // round(units * percent / 100), halves up: floor((2 * units * percent + 100) / 200).
  return static_cast<int>(FloorDiv(2LL * units * percent + 100, 200));
}

int PixelsToUnits(int pixels, int percent)
{
  if (percent <= 0) return pixels;
  return static_cast<int>(FloorDiv(100LL * pixels, percent));
}

int ScaledImageId(int id, int percent)
{
  switch (percent)
  {
  case kScale150:
    return id + kScaledImageIdStep;
  case kScale200:
    return id + 2 * kScaledImageIdStep;
  default:
    return id;
  }
}
