#pragma once
// IParam: one automatable parameter. Holds the value in its own units (seconds, decibels, notes, an
// index), the bounds, step and shape that map it to and from the normalised 0..1 range the host and
// the editor work in, and the texts that show it.
//
// Threads: a parameter has no lock of its own. Writers (host automation, the editor, state restore)
// run under the owning plug-in's mutex; the audio thread reads the plain value. Nothing here allocates
// except the Init*/SetDisplayText calls made by the plug-in's constructor.

#include <cstddef>
#include <vector>

constexpr int MAX_PARAM_NAME_LEN = 32;         // name, label and display text, terminator included
constexpr int MAX_PARAM_DISPLAY_PRECISION = 6; // decimals shown at most

class IParam
{
public:
  enum EParamType
  {
    kTypeNone = 0,
    kTypeBool,
    kTypeInt,
    kTypeEnum,
    kTypeDouble
  };

  // One entry of the value-to-text table.
  struct DisplayText
  {
    int mValue;
    char mText[MAX_PARAM_NAME_LEN];
  };

  IParam() = default;

  // Initialisation, once per parameter from the plug-in's constructor. A name or label of 32 characters
  // or more is a programming error and asserts.
  void InitBool(const char* name, bool defaultVal);
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "");

  // Curve exponent between normalised and real value; exactly 0 is ignored.
  void SetShape(double shape);
  // Chooses the shape that puts the real value at the normalised position (both strictly inside).
  void SetShape(double value, double position);
  // Appends one entry to the value-to-text table (never replaces). Texts longer than 31 characters
  // are cut to fit.
  void SetDisplayText(int value, const char* text);
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }

  // The value in its own units: read and written directly by the base and the plug-in.
  double Value() const { return mValue; }
  void Set(double value) { mValue = value; }
  // Sets the value clamped into [min, max] (state and text restores).
  void SetClamped(double value);
  // The value as a boolean / int (truncated) for plug-in code.
  bool Bool() const { return mValue >= 0.5; }
  int Int() const { return static_cast<int>(mValue); }

  EParamType Type() const { return mType; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  int GetPrecision() const { return mDisplayPrecision; }
  bool GetNegateDisplay() const { return mNegateDisplay; }
  bool GetCanAutomate() const { return mCanAutomate; }
  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const { return mLabel; }
  void GetBounds(double* minVal, double* maxVal) const;

  int GetNDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  // Text of the first entry with this value, or "".
  const char* GetDisplayText(int value) const;
  // Value of the first entry whose text equals text exactly; false (value untouched) if none.
  bool MapDisplayText(const char* text, int* value) const;

  double GetNormalized() const { return GetNormalized(mValue); }
  double GetNormalized(double value) const;
  void SetNormalized(double normalized);

  // Writes the display string of value (real units, or 0..1 when normalized) into out, at most
  // outSize bytes including the terminator. The default size fits every text this class produces
  // for sane values; larger numbers are cut, never overflowed.
  void GetDisplayForHost(double value, bool normalized, char* out, size_t outSize = MAX_PARAM_NAME_LEN) const;
  void GetDisplayForHost(char* out, size_t outSize = MAX_PARAM_NAME_LEN) const
  {
    GetDisplayForHost(mValue, false, out, outSize);
  }

  // The value read as decibels, as a linear amplitude factor.
  double DBToAmp() const;

private:
  EParamType mType = kTypeNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  int mDisplayPrecision = 0;
  char mName[MAX_PARAM_NAME_LEN] = {};
  char mLabel[MAX_PARAM_NAME_LEN] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  std::vector<DisplayText> mDisplayTexts;
};
