#include "framework/IParam.h"

#include "framework/TextUtil.h"

#include "framework/FrameworkAssert.h"
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace
{
constexpr double kLn10Over20 = 0.11512925464970228; // ln(10) / 20: decibels to amplitude exponent
}

void IParam::InitBool(const char* name, bool defaultVal)
{
  if (mType == kTypeNone) mType = kTypeBool;
  InitDouble(name, defaultVal ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label)
{
  if (mType == kTypeNone) mType = kTypeEnum;
  InitDouble(name, defaultVal, 0.0, nEnums - 1, 1.0, label);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label)
{
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label)
{
  if (!name) name = "";
  if (!label) label = "";
  KESTRUNE_ASSERT(strlen(name) < MAX_PARAM_NAME_LEN);
  KESTRUNE_ASSERT(strlen(label) < MAX_PARAM_NAME_LEN);
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyText(mName, sizeof(mName), name);
  CopyText(mLabel, sizeof(mLabel), label);
  mValue = defaultVal;
  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);
  mStep = step;
  int p = 0;
  double x = step;
  while (p < MAX_PARAM_DISPLAY_PRECISION && std::floor(x) != x)
  {
    ++p;
    x *= 10.0;
  }
  mDisplayPrecision = p;
}

void IParam::SetShape(double shape)
{
  if (shape != 0.0) mShape = shape;
}

void IParam::SetShape(double value, double position)
{
  if (!(value > mMin && value < mMax && position > 0.0 && position < 1.0)) return;
  const double s = std::log((value - mMin) / (mMax - mMin)) / std::log(position);
  if (s != 0.0) mShape = s;
}

void IParam::SetDisplayText(int value, const char* text)
{
  DisplayText entry{value, {}};
  CopyText(entry.mText, sizeof(entry.mText), text);
  mDisplayTexts.push_back(entry);
}

void IParam::SetClamped(double value)
{
  // Not-a-number (a damaged chunk) passes every comparison: it becomes the minimum.
  mValue = std::isnan(value) ? mMin : std::clamp(value, mMin, mMax);
}

void IParam::GetBounds(double* minVal, double* maxVal) const
{
  if (minVal) *minVal = mMin;
  if (maxVal) *maxVal = mMax;
}

const char* IParam::GetDisplayText(int value) const
{
  for (const DisplayText& entry : mDisplayTexts)
  {
    if (entry.mValue == value) return entry.mText;
  }
  return "";
}

bool IParam::MapDisplayText(const char* text, int* value) const
{
  if (!text) return false;
  for (const DisplayText& entry : mDisplayTexts)
  {
    if (std::strcmp(entry.mText, text) == 0)
    {
      if (value) *value = entry.mValue;
      return true;
    }
  }
  return false;
}

double IParam::GetNormalized(double value) const
{
  const double v = std::clamp(value, mMin, mMax);
  const double x = (v - mMin) / (mMax - mMin);
  return std::pow(x, 1.0 / mShape);
}

void IParam::SetNormalized(double normalized)
{
  double v = mMin + (mMax - mMin) * std::pow(normalized, mShape);
  if (mType != kTypeDouble) v = mStep * std::floor(v / mStep + 0.5);
  if (v >= mMax) v = mMax;
  mValue = v;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* out, size_t outSize) const
{
  if (!out || outSize == 0) return;
  if (normalized) value = mMin + (mMax - mMin) * std::pow(value, mShape);

  if (!mDisplayTexts.empty() && std::isfinite(value) && std::fabs(value) < INT_MAX)
  {
    const int key = static_cast<int>(value > 0.0 ? value + 0.5 : value - 0.5);
    const char* text = GetDisplayText(key);
    if (text[0] != '\0')
    {
      CopyText(out, outSize, text);
      return;
    }
  }

  const double d = mNegateDisplay ? -value : value;
  if (d == 0.0)
  {
    CopyText(out, outSize, "0");
  }
  else if (mDisplayPrecision == 0)
  {
    // Truncation toward zero, as "%d" of the int part; numbers beyond int keep their integer digits.
    const double t = std::trunc(d);
    if (std::fabs(t) < static_cast<double>(LLONG_MAX))
      FormatInt(static_cast<long long>(t), out, outSize);
    else
      FormatFixed(t, 0, out, outSize);
  }
  else
  {
    FormatFixed(d, mDisplayPrecision, out, outSize);
  }
}

double IParam::DBToAmp() const
{
  return std::exp(mValue * kLn10Over20);
}
