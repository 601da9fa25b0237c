#include "editor/MySample.h"

#include "editor/BarLabel.h"
#include "editor/EditorTextStyles.h"
#include "editor/SampleViewListener.h"
#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"
#include "framework/TextUtil.h"

#include <cstring>
#include <mutex>

namespace
{
constexpr int kDurationLeftPx = 2;
constexpr int kDurationRightPx = 80;
constexpr int kInfoHeightPx = 18;
constexpr int kChannelLeftPx = 30;
constexpr int kChannelRightPx = 4;
constexpr int kNameGapPx = 4;
constexpr double kSecondsShownInMs = 1.0; // durations up to this are shown in milliseconds
constexpr double kMsPerSecond = 1000.0;
constexpr const char* kSecondsUnit = " sec";
constexpr const char* kMsUnit = " msec";

bool CopyField(char* field, size_t size, const char* text)
{
  if (!text) text = "";
  const size_t length = std::strlen(text);
  if (length >= size) return false;
  std::memcpy(field, text, length + 1);
  return true;
}

void FormatDuration(double seconds, char* out, size_t size)
{
  char number[24];
  const char* unit;
  if (seconds > kSecondsShownInMs)
  {
    FormatFixed(seconds, 2, number, sizeof(number));
    unit = kSecondsUnit;
  }
  else
  {
    const double ms = seconds * kMsPerSecond;
    FormatInt(static_cast<long long>(ms >= 0.0 ? ms + 0.5 : ms - 0.5), number, sizeof(number));
    unit = kMsUnit;
  }
  out[0] = '\0';
  if (std::strlen(number) + std::strlen(unit) < size)
  {
    std::strcpy(out, number);
    std::strcat(out, unit);
  }
}
} // namespace

MySample::MySample(IEffectBase* plug, const IRECT& rect, int slot, const SlotSampleRefs& refs,
                   BarLabel* messageBar)
    : IControl(plug, rect), mSlot(slot), mRefs(refs), mMessageBar(messageBar),
      mTitleRect(rect.L, rect.B - kTitleTopFromBottomPx, rect.R, rect.B - kTitleBottomFromBottomPx),
      mDurationStyle(EditorTextStyle(kDurationTextPx, kSampleInfoColor, IText::kAlignNear)),
      mChannelStyle(EditorTextStyle(kChannelTextPx, kSampleInfoColor, IText::kAlignFar)),
      mNameStyle(EditorTextStyle(kNameTextPx, kSampleNameColor, IText::kAlignCenter)),
      mPrepared(rect.L, rect.T, rect.R, rect.B - kTitleTopFromBottomPx),
      mAdopted(rect.L, rect.T, rect.R, rect.B - kTitleTopFromBottomPx),
      mPicture(rect.L, rect.T, rect.R, rect.B - kTitleTopFromBottomPx)
{
  CopyField(mShownName, sizeof(mShownName), kNoSampleName);
}

void MySample::Initialise(IGraphics* graphics)
{
  if (mInitialised || !graphics) return;
  mInitialised = true;
  mClose = graphics->LoadBitmap(kImgCloseId, kImgClose, 1);
  mPrevious = graphics->LoadBitmap(kImgPrevId, kImgPrev, 1);
  mNext = graphics->LoadBitmap(kImgNextId, kImgNext, 1);
}

// ---- Change flags ----

void MySample::SetChanged()
{
  mDataChanged.store(true, std::memory_order_relaxed);
  mChangedFlag.store(true, std::memory_order_relaxed);
}

void MySample::DataReplaced()
{
  mHasAdopted = false;
  SetChanged();
}

void MySample::PrepareWaveform(const double* data, uint32_t frames, int channels)
{
  mPrepared.Build(data, frames, channels, mDrawnScale.load(std::memory_order_relaxed));
  mPreparedSource = {data, frames, channels};
}

void MySample::AdoptWaveform(const double* data)
{
  if (!data || data != mPreparedSource.data) return;
  std::swap(mPrepared, mAdopted);
  mAdoptedSource = mPreparedSource;
  mPreparedSource = {};
  mHasAdopted = true;
}

void MySample::MarkPlayed()
{
  if (!mPlayed.exchange(true, std::memory_order_relaxed)) mChangedFlag.store(true, std::memory_order_relaxed);
}

bool MySample::ClearPlayedMark()
{
  const bool was = mPlayed.exchange(false, std::memory_order_relaxed);
  if (was) mChangedFlag.store(true, std::memory_order_relaxed);
  return was;
}

bool MySample::IsDirty()
{
  // The loading flow marks the file state changed as well: the picture's texts are renewed for it.
  if (mFile->TakeChanged())
  {
    mTextsChanged.store(true, std::memory_order_relaxed);
    mChangedFlag.store(true, std::memory_order_relaxed);
  }
  return mChangedFlag.exchange(false, std::memory_order_relaxed);
}

// ---- Input ----

void MySample::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mListener && mod) mListener->OnSampleViewMouseDown(*this, x, y, *mod);
}

void MySample::OnDrop(int x, int y, const char* path)
{
  if (mListener && path && mRECT.Contains(x, y)) mListener->OnSampleViewDrop(*this, path);
}

// ---- Drawing ----

void MySample::RefreshPicture()
{
  if (mDataChanged.exchange(false, std::memory_order_relaxed)) mStale = true;
  if (mTextsChanged.exchange(false, std::memory_order_relaxed)) mTextsStale = true;
  if (!mStale && !mTextsStale) return;
  std::unique_lock<InstanceMutex> lock;
  if (mPlug)
  {
    lock = std::unique_lock<InstanceMutex>(mPlug->Mutex(), std::try_to_lock);
    if (!lock.owns_lock())
    {
      // Busy: keep showing the old picture and come back on the next tick.
      mChangedFlag.store(true, std::memory_order_relaxed);
      return;
    }
  }
  if (!mStale)
    BuildTexts();
  else if (TakeAdoptedWaveform())
  {
    // The loader's picture of the current buffer: the buffer is not read here.
    mShownFrames = mAdoptedSource.frames;
    BuildTexts();
  }
  else
    BuildPicture();
  mStale = false;
  mTextsStale = false;
}

bool MySample::TakeAdoptedWaveform()
{
  if (!mHasAdopted) return false;
  mHasAdopted = false;
  const uint32_t frames = mRefs.mFrames ? *mRefs.mFrames : 0;
  const int channels = mRefs.mChannels ? *mRefs.mChannels : 1;
  const double* data = (mRefs.mData && *mRefs.mData) ? mRefs.mData->get() : nullptr;
  if (!data || frames == 0 || data != mAdoptedSource.data || frames != mAdoptedSource.frames ||
      channels != mAdoptedSource.channels || mAdopted.Scale() != mDrawnScale.load(std::memory_order_relaxed))
    return false;
  std::swap(mPicture, mAdopted);
  return true;
}

void MySample::BuildPicture()
{
  const uint32_t frames = mRefs.mFrames ? *mRefs.mFrames : 0;
  const int channels = mRefs.mChannels ? *mRefs.mChannels : 1;
  const double* data = (mRefs.mData && *mRefs.mData) ? mRefs.mData->get() : nullptr;
  mShownFrames = data ? frames : 0;
  if (mShownFrames != 0)
    mPicture.Build(data, frames, channels, mDrawnScale.load(std::memory_order_relaxed));
  else
    mPicture.Clear();
  BuildTexts();
}

void MySample::BuildTexts()
{
  const int channels = mRefs.mChannels ? *mRefs.mChannels : 1;
  mShownDuration[0] = '\0';
  mShownChannels[0] = '\0';
  if (mShownFrames != 0)
  {
    FormatDuration(mFile->Duration(), mShownDuration, sizeof(mShownDuration));
    CopyField(mShownChannels, sizeof(mShownChannels), channels < 2 ? "1chn" : "2chn");
  }
  mShownPrevious = mFile->PreviousPath()[0] != '\0';
  mShownNext = mFile->NextPath()[0] != '\0';
  CopyField(mShownName, sizeof(mShownName), mFile->DisplayName());
}

bool MySample::Draw(IGraphics* graphics)
{
  Initialise(graphics);
  if (graphics && graphics->ScalePercent() != mDrawnScale.load(std::memory_order_relaxed))
  {
    // The editor changed size: the waveform's columns are rebuilt for the new pixels.
    mDrawnScale.store(graphics->ScalePercent(), std::memory_order_relaxed);
    mDataChanged.store(true, std::memory_order_relaxed);
  }
  RefreshPicture();
  const int L = mRECT.L, T = mRECT.T, R = mRECT.R, B = mRECT.B;
  const int waveBottom = mTitleRect.T;
  if (mShownFrames != 0)
  {
    mPicture.Draw(graphics);
    IRECT durationRect(L + kDurationLeftPx, B - kInfoHeightPx, L + kDurationRightPx, B);
    graphics->DrawText(&mDurationStyle, mShownDuration, &durationRect);
    IRECT channelRect(R - kChannelLeftPx, B - kInfoHeightPx, R - kChannelRightPx, B);
    graphics->DrawText(&mChannelStyle, mShownChannels, &channelRect);

    mCloseRect = IRECT(R - mClose.W, T, R, T + mClose.H);
    graphics->DrawBitmapFrame(&mClose, &mCloseRect, 1);
    if (mShownPrevious)
    {
      mPreviousRect = IRECT(L, waveBottom - mPrevious.H, L + mPrevious.W, waveBottom);
      graphics->DrawBitmapFrame(&mPrevious, &mPreviousRect, 1);
    }
    if (mShownNext)
    {
      mNextRect = IRECT(R - mNext.W, waveBottom - mNext.H, R, waveBottom);
      graphics->DrawBitmapFrame(&mNext, &mNextRect, 1);
    }
  }
  if (mShownName[0] != '\0')
  {
    IRECT nameRect(L, waveBottom + kNameGapPx, R, B - kTitleBottomFromBottomPx);
    graphics->DrawText(&mNameStyle, mShownName, &nameRect);
  }
  return true;
}
