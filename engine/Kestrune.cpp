#include "engine/Kestrune.h"

#include "editor/EditorLayout.h"
#include "editor/MySample.h"
#include "framework/Rounding.h"
#include "framework/VSTEntry.h"

#include <cmath>
#include <cstring>
#include <mutex>

namespace
{
constexpr const char* kNoText = "No";
constexpr const char* kYesText = "Yes";
constexpr double kAttackReleaseShape = 2.0;
constexpr double kHundredthsPerSecond = 100.0;
constexpr double kTenthsPerSemitone = 10.0;
} // namespace

CLS_KESTRUNE::CLS_KESTRUNE(IEffectInstanceInfo info)
    : IEffectVST(info, kNumParams, "0-2", kKestruneNumPresets, kKestruneEffectName, kKestruneProductName,
                 kKestruneMfrName, kKestruneVersion, kKestruneUniqueId, kKestruneMfrId, 0, 1, true, true)
{
  // The engine member starts with a zero rate, free voices and empty slots; the render flags are set
  // by their initialisers. The gap detection counts from construction.
  mLastBlockClock = mClock();

  // Every byte 0x9B: a value no parameter produces, so the first application of each one goes through.
  std::memset(mParamIntCache.data(), 0x9B, sizeof(mParamIntCache));

  for (int s = 0; s < kNumSlots; ++s)
    InitSlotParams(s);

  InitExtraParams(kKestruneExtraTexts);

  PrepareSlots();

  MakeDefaultPreset("---- default ----", 1);
  MakeFactoryPresets();
  mRetired.reserve(kRetiredCapacity);
}

CLS_KESTRUNE::~CLS_KESTRUNE()
{
  // A running load finishes before anything it touches goes; queued ones are dropped.
  mLoader.Stop();
  // The views go with the graphics context, after this object's members: stop talking to them now,
  // and let them no longer point at the slots' file state and the input handler.
  mEngine.SetViews(nullptr);
  for (int s = 0; s < kNumSlots && mSlotViews; ++s)
  {
    if (MySample* view = mSlotViews->SampleView(s))
    {
      view->SetFile(nullptr);
      view->SetListener(nullptr);
    }
  }
}

void CLS_KESTRUNE::InitSlotParams(int slot)
{
  auto param = [&](ESlotParam kind) { return GetParam(slot * kParamsPerSlot + kind); };
  // Hosts list all 60 parameters by name, and some show only the first eight characters: the slot
  // number comes first ("1 Attack" ... "5 Loop"), so that each name tells its slot and kind apart within
  // those eight. Projects store parameters by index, so the names can change freely.
  const std::string prefix = std::string(1, static_cast<char>('1' + slot)) + ' ';
  auto named = [&prefix](const char* kind) { return prefix + kind; };
  auto initNoYes = [&](ESlotParam kind, const char* name, int defaultVal)
  {
    IParam* p = param(kind);
    p->InitEnum(named(name).c_str(), defaultVal, 2);
    p->SetDisplayText(0, kNoText);
    p->SetDisplayText(1, kYesText);
  };

  initNoYes(kActive, "Active", 1);
  param(kLowNote)->InitInt(named("Low Note").c_str(), 36, 12, 127);
  param(kHighNote)->InitInt(named("High Note").c_str(), 127, 12, 127);
  param(kRootNote)->InitInt(named("Root Note").c_str(), 41, 12, 127);
  param(kSemitonesMultiply)->InitDouble(named("Semitones Multiply").c_str(), 1.0, 0.1, 48.0, 0.1);
  param(kAttack)->InitDouble(named("Attack").c_str(), 0.8, 0.0, 16.0, 0.01, "s");
  param(kAttack)->SetShape(kAttackReleaseShape);
  param(kRelease)->InitDouble(named("Release").c_str(), 1.5, 0.0, 16.0, 0.01, "s");
  param(kRelease)->SetShape(kAttackReleaseShape);
  param(kPan)->InitInt(named("Pan").c_str(), 0, -100, 100);
  initNoYes(kAlternatePan, "Alternate Pan", 0);
  param(kVolume)->InitInt(named("Volume").c_str(), 0, -48, 24, "dB");
  initNoYes(kReverse, "Reverse", 0);
  initNoYes(kLoop, "Loop", 1);
}

// Every slot starts empty (one 0.0), then the editor is built: its views point into the slots' sample
// fields and the voice table, and the engine tells them about range, note and sample changes.
void CLS_KESTRUNE::PrepareSlots()
{
  for (int s = 0; s < kNumSlots; ++s)
  {
    mEngine.mSampleData[s] = std::make_unique<double[]>(1); // one 0.0: an empty slot
    mEngine.mSampleFrames[s] = 0;
  }
  mSlotViews = BuildEditor(this, &mEngine);
  mEngine.SetViews(mSlotViews.get());
  // Each sample view shows its slot's file state and hands its clicks and drops to the loading flow.
  for (int s = 0; s < kNumSlots; ++s)
  {
    if (MySample* view = mSlotViews->SampleView(s))
    {
      view->SetFile(&File(s));
      view->SetListener(&mSlotInput);
    }
  }
}

void CLS_KESTRUNE::OnParamChange(int paramIdx)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  if (paramIdx < 0 || paramIdx >= kNumParams) return;

  const int kind = paramIdx % kParamsPerSlot;
  IParam* p = GetParam(paramIdx);
  double x = p->Value();
  // A host can leave a value outside the bounds, or not a number, in the parameter (automation,
  // text entry and chunks all reach here). The engine only sees values inside the bounds, so the
  // integer below cannot overflow; a non-number is replaced by the lower bound in the parameter too,
  // so that the host never reads one back.
  if (std::isnan(x))
  {
    x = p->GetMin();
    p->Set(x);
  }
  if (x < p->GetMin()) x = p->GetMin();
  if (x > p->GetMax()) x = p->GetMax();
  if (kind == kAttack || kind == kRelease)
    x *= kHundredthsPerSecond;
  else if (kind == kSemitonesMultiply)
    x *= kTenthsPerSemitone;
  const int v = RoundHalfAway(x);

  if (mParamIntCache[paramIdx] == v) return;
  mParamIntCache[paramIdx] = v;
  mEngine.ApplySlotParam(paramIdx, v);

  if (!mParamsReady && mParamInitTracker.Mark(paramIdx)) mParamsReady = true;
}

void CLS_KESTRUNE::Reset()
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  const double h = GetSampleRate();
  const double e = mEngine.mEngineSampleRate;
  // A rate of 0, below 0 or not a number (hosts send such rates before they know their own) would
  // make every step infinite and every later rescale 0: the engine keeps its rate until a usable one.
  if (!std::isfinite(h) || h <= 0.0 || h == e)
  {
    for (bool& flip : mEngine.mAltPanFlip)
      flip = false;
    return;
  }

  // Rescales sounding voices; slot ratios are computed from each file's own rate, so a slot loaded
  // before the first usable rate gets file rate / engine rate here as well.
  mEngine.ChangeEngineRate(h);

  for (int s = 0; s < kNumSlots; ++s)
  {
    for (int kind : {kAttack, kRelease})
    {
      const int idx = s * kParamsPerSlot + kind;
      mParamIntCache[idx] = -1;
      OnParamChange(idx);
    }
  }
  for (bool& flip : mEngine.mAltPanFlip)
    flip = false;
}

void CLS_KESTRUNE::ProcessDoubleReplacing(double** /*inputs*/, double** outputs, int nFrames)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  // A host block longer than the announced size arrives in pieces: the clean-ups run once, before the
  // first piece, and the voice offsets (counted from the block's start) are cleared after the last.
  const RenderPiece& piece = CurrentPiece();
  if (piece.mFirst)
  {
    if (!mFirstBlockDone)
    {
      // Notes received before the first render call are dropped.
      mFirstBlockDone = true;
      mEngine.ClearVoiceTable();
      Reset();
    }

    // The transport has just stopped (playing or recording before, neither now): silence at once.
    const bool playing = GetPlaying() != 0;
    if (mWasPlaying && !playing) mEngine.SilenceAllVoices();
    mWasPlaying = playing;

    // A pause of more than kGapSeconds between render calls ends notes that would otherwise hang.
    const Clock::time_point now = mClock();
    if (now - mLastBlockClock > std::chrono::duration<double>(kGapSeconds)) mEngine.SilenceAllVoices();
    mLastBlockClock = now;
  }

  // Mixes the voices (nothing for 0 frames); once the block is done, every voice offset starts over
  // for the next one.
  mEngine.MixPiece(outputs, nFrames > 0 ? nFrames : 0, piece.mStart);
  if (piece.mLast) mEngine.EndBlock();
}

void CLS_KESTRUNE::ProcessMidiMsg(IMidiMsg* msg)
{
  if (!msg) return;
  std::lock_guard<InstanceMutex> lock(Mutex());
  if (mEngine.HandleMidi(msg->mStatus, msg->mData1, msg->mData2, msg->mOffset)) SendMidiMsg(msg);
}

void CLS_KESTRUNE::SetRenderClock(ClockFn clock)
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  mClock = clock ? clock : &Clock::now;
  mLastBlockClock = mClock();
}

IEffectVST* MakePlug(IEffectInstanceInfo info)
{
  return new CLS_KESTRUNE(info);
}
