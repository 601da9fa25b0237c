#include "editor/SampleRange.h"

#include "editor/EditorText.h"
#include "editor/EditorTextStyles.h"
#include "editor/NoteNumberField.h"
#include "framework/IGraphics.h"
#include "framework/Rounding.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr double kNoteScale = 1.0 / kViewNoteMax; // k: one view note of the usable width
constexpr int kBarInsetTopPx = 5;
constexpr int kFieldTopPx = 8;
constexpr int kFieldBottomPx = 26;
constexpr int kLabelHeightPx = 20;
constexpr int kLabelSidePx = 50;
constexpr int kLabelInsetPx = 4;
constexpr int kMarkCentringPx = 3;
constexpr int kMarkOutsidePx = 2;
constexpr int kNameBytes = 16;
constexpr const char* kRootPrefix = "root: ";

} // namespace

SampleRange::SampleRange(IEffectBase* plug, const IRECT& rect, int slot, MySample* sampleView)
    : IControl(plug, rect), mSlot(slot), mSampleView(sampleView),
      mFieldStyle(EditorTextStyle(kRangeTextPx, kRangeFieldTextColor, IText::kAlignCenter))
{
}

void SampleRange::Initialise(IGraphics* graphics)
{
  if (mInitialised || !graphics) return;
  mInitialised = true;
  mNoteOn = graphics->LoadBitmap(kImgNoteOnId, kImgNoteOn, 1);
  mNoteOff = graphics->LoadBitmap(kImgNoteOffId, kImgNoteOff, 1);
  const int cx = static_cast<int>((mRECT.R + mRECT.L) * 0.5f);
  IRECT r(cx - kRangeFieldHalfPx, mRECT.T + kFieldTopPx, cx + kRangeFieldHalfPx, mRECT.T + kFieldBottomPx);
  mField = new NoteNumberField(mPlug, r, &mFieldStyle);
  graphics->AddControl(mField);
  mField->Hide(true);
}

// ---- Geometry ----

int SampleRange::BarLeft() const
{
  return static_cast<short>(RoundHalfAway(Low() * UsableWidth() * kNoteScale) + 1);
}

int SampleRange::BarRight() const
{
  return static_cast<short>(std::ceil(High() * UsableWidth() * kNoteScale) + 10);
}

IRECT SampleRange::RangeBarRect() const
{
  return IRECT(mRECT.L + BarLeft(), mRECT.T + kBarInsetTopPx, mRECT.L + BarRight(),
               mRECT.T + kRangeBandBottomPx);
}

IRECT SampleRange::RootMarkerRect() const
{
  const double r = Root() * UsableWidth() * kNoteScale;
  return IRECT(mRECT.L + 1 + RoundHalfAway(r), mRECT.T + kBarInsetTopPx,
               mRECT.L + 10 + static_cast<int>(std::ceil(r)), mRECT.T + kRangeBandBottomPx);
}

int SampleRange::HeldMarkX(int n, bool* inRange) const
{
  const int low = Low(), high = High();
  const int a = BarLeft(), b = BarRight();
  const int L = mRECT.L, R = mRECT.R;
  if (inRange) *inRange = false;
  if (n < low)
  {
    // With the low end at view note 0 nothing lies left of it; a stray note goes to the left edge.
    if (low <= 0) return L - kMarkOutsidePx;
    return L - kMarkOutsidePx + (n * a) / low;
  }
  if (n > high)
  {
    if (high >= kViewNoteMax) return L - kMarkOutsidePx + b;
    return L - kMarkOutsidePx + b +
           RoundHalfAway(((R - b) - L) * (n - high) / (static_cast<double>(kViewNoteMax) - high));
  }
  if (inRange) *inRange = true;
  if (low == high) return RoundHalfAway(L + (b + a) * 0.5f - kMarkCentringPx);
  return L + a - kMarkCentringPx + ((n - low) * (b - a)) / (high - low);
}

int SampleRange::HeldNote(int i) const
{
  if (i < 0 || i >= kMaxHeldNotes || i >= HeldCount()) return -1;
  return mHeld[i].load(std::memory_order_relaxed) - 1;
}

// ---- Drawing ----

bool SampleRange::Draw(IGraphics* graphics)
{
  Initialise(graphics);
  const int low = Low(), high = High(), root = Root();
  if (low < 0 || high < 0 || root < 0) return true;

  IRECT bar = RangeBarRect();
  graphics->FillRect(&kRangeBarColor, &bar);
  IRECT marker = RootMarkerRect();
  graphics->FillRect(&kRootMarkerColor, &marker);

  const int count = HeldCount();
  for (int i = 0; i < count && i < kMaxHeldNotes; ++i)
  {
    const int n = mHeld[i].load(std::memory_order_relaxed) - 1;
    if (n < 0) continue; // an entry cleared under our feet
    bool inRange = false;
    const int x = HeldMarkX(n, &inRange);
    graphics->DrawBitmapAt(inRange ? &mNoteOn : &mNoteOff, x, mRECT.T);
  }

  char lowName[kNameBytes], highName[kNameBytes], rootName[kNameBytes];
  FormatViewNoteName(low, lowName, sizeof(lowName));
  FormatViewNoteName(high, highName, sizeof(highName));
  FormatViewNoteName(root, rootName, sizeof(rootName));
  char rootText[kNameBytes + 8];
  std::strcpy(rootText, kRootPrefix);
  std::strcat(rootText, rootName);

  const int top = mRECT.B - kLabelHeightPx;
  IText lowStyle = EditorTextStyle(kRangeTextPx, kRangeEndTextColor, IText::kAlignNear);
  IRECT lowRect(mRECT.L + kLabelInsetPx, top, mRECT.L + kLabelSidePx, mRECT.B);
  graphics->DrawText(&lowStyle, lowName, &lowRect);
  IText rootStyle = EditorTextStyle(kRangeTextPx, kRootTextColor, IText::kAlignCenter);
  IRECT rootRect(mRECT.L + kLabelSidePx, top, mRECT.R - kLabelSidePx, mRECT.B);
  graphics->DrawText(&rootStyle, rootText, &rootRect);
  IText highStyle = EditorTextStyle(kRangeTextPx, kRangeEndTextColor, IText::kAlignFar);
  IRECT highRect(mRECT.R - kLabelSidePx, top, mRECT.R - kLabelInsetPx, mRECT.B);
  graphics->DrawText(&highStyle, highName, &highRect);
  return true;
}

bool SampleRange::IsDirty()
{
  return mRedraw.exchange(false, std::memory_order_relaxed);
}

// ---- Engine side ----

void SampleRange::SetLowKey(int key)
{
  mLow.store(static_cast<int16_t>(key), std::memory_order_relaxed);
  mRedraw.store(true, std::memory_order_relaxed);
}

void SampleRange::SetHighKey(int key)
{
  mHigh.store(static_cast<int16_t>(key), std::memory_order_relaxed);
  mRedraw.store(true, std::memory_order_relaxed);
}

void SampleRange::SetRootKey(int key)
{
  mRoot.store(static_cast<int16_t>(key), std::memory_order_relaxed);
  mRedraw.store(true, std::memory_order_relaxed);
}

void SampleRange::SetNoteHeld(int midiNote, bool on)
{
  const int n = midiNote - kViewNoteOffset;
  if (n < 0 || n > kViewNoteMax) return; // not a key of the strip
  const int16_t entry = static_cast<int16_t>(n + 1);
  const int count = HeldCount();
  if (on)
  {
    for (int i = 0; i < count; ++i)
    {
      if (mHeld[i].load(std::memory_order_relaxed) == entry) return; // already shown
    }
    for (int i = 0; i < kMaxHeldNotes; ++i)
    {
      if (mHeld[i].load(std::memory_order_relaxed) == 0)
      {
        mHeld[i].store(entry, std::memory_order_relaxed);
        if (i + 1 > count) mHeldCount.store(static_cast<int16_t>(i + 1), std::memory_order_relaxed);
        break;
      }
    }
    // With all twelve entries in use the note is not shown.
  }
  else
  {
    for (int i = 0; i < count; ++i)
    {
      if (mHeld[i].load(std::memory_order_relaxed) != entry) continue;
      const int newCount = count - 1;
      mHeldCount.store(static_cast<int16_t>(newCount), std::memory_order_relaxed);
      if (i < newCount)
      {
        mHeld[i].store(mHeld[newCount].load(std::memory_order_relaxed), std::memory_order_relaxed);
        mHeld[newCount].store(0, std::memory_order_relaxed);
      }
      else
      {
        mHeld[i].store(0, std::memory_order_relaxed);
      }
      break;
    }
  }
  mRedraw.store(true, std::memory_order_relaxed);
}

void SampleRange::ClearHeldNotes()
{
  for (auto& entry : mHeld)
    entry.store(0, std::memory_order_relaxed);
  mHeldCount.store(0, std::memory_order_relaxed);
  mRedraw.store(true, std::memory_order_relaxed);
}
