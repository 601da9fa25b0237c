#include "framework/IEffectBase.h"

#include "framework/FrameworkAssert.h"
#include "framework/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
constexpr int kVersionMajorShift = 16;
constexpr int kVersionRevisionShift = 8;
constexpr int kVersionByteMask = 255;
constexpr int kDecimalMajor = 10000;
constexpr int kDecimalRevision = 100;
constexpr double kSecondsPerMinute = 60.0;

// Parses "in-out" tokens separated by single spaces into pairs; false on any malformed token.
bool ParseChannelIO(const char* text, std::vector<std::pair<int, int>>* pairs)
{
  const char* p = text;
  while (*p != '\0')
  {
    const char* tokenEnd = std::strchr(p, ' ');
    if (!tokenEnd) tokenEnd = p + std::strlen(p);
    const std::string token(p, tokenEnd);
    int in = 0;
    int out = 0;
    char tail = '\0';
    if (std::sscanf(token.c_str(), "%d-%d%c", &in, &out, &tail) != 2 || in < 0 || out < 0) return false;
    pairs->emplace_back(in, out);
    p = (*tokenEnd == ' ') ? tokenEnd + 1 : tokenEnd;
  }
  return true;
}
} // namespace

void GetVersionParts(int version, int* major, int* revision, int* minor)
{
  if (major) *major = version >> kVersionMajorShift;
  if (revision) *revision = (version >> kVersionRevisionShift) & kVersionByteMask;
  if (minor) *minor = version & kVersionByteMask;
}

int GetDecimalVersion(int version)
{
  int major = 0, revision = 0, minor = 0;
  GetVersionParts(version, &major, &revision, &minor);
  return major * kDecimalMajor + revision * kDecimalRevision + minor;
}

int VersionFromDecimal(int decimal)
{
  return ((decimal / kDecimalMajor) << kVersionMajorShift) |
         (((decimal % kDecimalMajor) / kDecimalRevision) << kVersionRevisionShift) |
         (decimal % kDecimalRevision);
}

void GetVersionStr(int version, char* out)
{
  int major = 0, revision = 0, minor = 0;
  GetVersionParts(version, &major, &revision, &minor);
  if (out) std::snprintf(out, MAX_VERSION_STR_LEN, "v%d.%02d", major, revision);
}

IEffectBase::IEffectBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                         const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                         int mfrID, int latency, int plugDoesMidi, bool plugDoesChunks, bool plugIsInst)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst), mDoesMIDI(plugDoesMidi), mLatency(latency)
{
  if (!effectName) effectName = "";
  if (!productName) productName = "";
  if (!mfrName) mfrName = "";
  if (!channelIOStr) channelIOStr = "";
  KESTRUNE_ASSERT(plugDoesMidi >= 0 && plugDoesMidi <= 3);
  KESTRUNE_ASSERT(strlen(effectName) < MAX_EFFECT_NAME_LEN);
  KESTRUNE_ASSERT(strlen(productName) < MAX_PRODUCT_NAME_LEN);
  KESTRUNE_ASSERT(strlen(mfrName) < MAX_MFR_NAME_LEN);
  CopyText(mEffectName, sizeof(mEffectName), effectName);
  CopyText(mProductName, sizeof(mProductName), productName);
  CopyText(mMfrName, sizeof(mMfrName), mfrName);

  for (int i = 0; i < nParams; ++i)
    mParams.Add(std::make_unique<IParam>());
  for (int i = 0; i < nPresets; ++i)
    mPresets.Add(std::make_unique<IPreset>(i));

  std::vector<std::pair<int, int>> pairs;
  const bool channelIOStrValid = ParseChannelIO(channelIOStr, &pairs);
  KESTRUNE_ASSERT(channelIOStrValid);
  int nIn = 0;
  int nOut = 0;
  for (const auto& pair : pairs)
  {
    mChannelIO.push_back({pair.first, pair.second});
    nIn = std::max(nIn, pair.first);
    nOut = std::max(nOut, pair.second);
  }
  mInData.assign(static_cast<size_t>(nIn), nullptr);
  mOutData.assign(static_cast<size_t>(nOut), nullptr);
  for (int i = 0; i < nIn; ++i)
  {
    auto channel = std::make_unique<InChannel>();
    channel->mSrc = &mInData[static_cast<size_t>(i)];
    mInChannels.push_back(std::move(channel));
  }
  for (int i = 0; i < nOut; ++i)
  {
    auto channel = std::make_unique<OutChannel>();
    channel->mDest = &mOutData[static_cast<size_t>(i)];
    mOutChannels.push_back(std::move(channel));
  }
}

IEffectBase::~IEffectBase()
{
  mGraphics.reset(); // the editor's controls may still refer to parameters: it goes first
}

// ---- Default hooks ----

void IEffectBase::Reset()
{
  std::lock_guard<InstanceMutex> lock(mMutex);
}

void IEffectBase::MyParamChange(int)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
}

void IEffectBase::OnParamChange(int)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
}

void IEffectBase::OnHostParamChange(int paramIdx, float)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  OnParamChange(paramIdx);
}

void IEffectBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  if (!outputs || nFrames <= 0) return;
  const int nIn = inputs ? NInChannels() : 0;
  const int nOut = NOutChannels();
  const size_t bytes = sizeof(double) * static_cast<size_t>(nFrames);
  for (int i = 0; i < nOut; ++i)
  {
    if (!outputs[i]) continue;
    if (i < nIn && inputs[i])
    {
      if (inputs[i] != outputs[i]) std::memmove(outputs[i], inputs[i], bytes);
    }
    else
    {
      std::fill(outputs[i], outputs[i] + nFrames, 0.0);
    }
  }
}

void IEffectBase::OnActiveChange(bool)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
}

bool IEffectBase::GetMidiNoteName(int, char* name)
{
  if (name) name[0] = '\0';
  return false;
}

void IEffectBase::OnExtraParam(int, char*)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
}

void IEffectBase::OnStateVersion(int)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
}

bool IEffectBase::ShouldRestoreParam(int)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  return true;
}

bool IEffectBase::SendMidiMsgs(std::vector<IMidiMsg>* msgs)
{
  if (!msgs) return false;
  bool allSent = true;
  for (IMidiMsg& msg : *msgs)
    allSent = SendMidiMsg(&msg) && allSent;
  return allSent;
}

void IEffectBase::SetBlockSize(int blockSize)
{
  if (blockSize == mBlockSize) return;
  const size_t n = blockSize > 0 ? static_cast<size_t>(blockSize) : 0;
  // Every slot goes back to its scratch buffer: the old scratch memory is gone and host pointers
  // are attached afresh by every process call.
  for (auto& channel : mInChannels)
  {
    channel->mScratchBuf.assign(n, 0.0);
    *channel->mSrc = channel->mScratchBuf.data();
  }
  for (auto& channel : mOutChannels)
  {
    channel->mScratchBuf.assign(n, 0.0);
    *channel->mDest = channel->mScratchBuf.data();
    channel->mFDest = nullptr;
  }
  mBlockSize = blockSize;
}

// ---- Identity ----

int IEffectBase::GetEffectVersion(bool decimal) const
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

int IEffectBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IEffectBase::GetEffectVersionStr(char* out) const
{
  GetVersionStr(mVersion, out);
}

void IEffectBase::GetHostVersionStr(char* out)
{
  GetHost();
  GetVersionStr(mHostVersion, out);
}

double IEffectBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * kSecondsPerMinute / tempo : 0.0;
}

// ---- Parameters and editor ----

void IEffectBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IEffectBase::DelayEndInformHostOfParamChange(int paramIdx)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  if (!mGraphics)
  {
    EndInformHostOfParamChange(paramIdx);
    return;
  }
  mParamChangeIndex = paramIdx;
  mGraphics->SetParamChangeTimer(std::max(1, mGraphics->FPS() / 2)); // half a second of ticks
}

void IEffectBase::EndDelayedInformHostOfParamChange()
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  if (mGraphics) mGraphics->CancelParamChangeTimer();
  if (mParamChangeIndex >= 0)
  {
    const int idx = mParamChangeIndex;
    mParamChangeIndex = -1;
    EndInformHostOfParamChange(idx);
  }
}

void IEffectBase::RedrawParamControls()
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i)
    mGraphics->ShowParamValue(i, GetParam(i)->Value(), false);
}

void IEffectBase::OnParamReset()
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  for (int i = 0; i < NParams(); ++i)
    OnParamChange(i);
}

void IEffectBase::AttachGraphics(IGraphicsSeam* graphics)
{
  if (!graphics) return;
  std::lock_guard<InstanceMutex> lock(mMutex);
  for (int i = 0; i < NParams(); ++i)
    graphics->ShowParamValue(i, GetParam(i)->GetNormalized(), true);
  graphics->PrepDraw();
  mGraphics.reset(graphics);
}

// ---- Extra-parameter texts ----

void IEffectBase::InitExtraParams(int n)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  mExtraParams.clear();
  for (int i = 0; i < n; ++i)
  {
    auto text = std::make_unique<char[]>(kExtraParamBytes);
    CopyText(text.get(), kExtraParamBytes, kNoExtraParam);
    mExtraParams.push_back(std::move(text));
  }
  mExtraParamCount = static_cast<int>(mExtraParams.size());
}

char* IEffectBase::GetExtraParam(int idx)
{
  if (idx < 0 || idx >= mExtraParamCount) return nullptr;
  return mExtraParams[static_cast<size_t>(idx)].get();
}

bool IEffectBase::SetExtraParam(int idx, const char* text)
{
  char* stored = GetExtraParam(idx);
  if (!stored || !text) return false;
  CopyText(stored, kExtraParamBytes, text);
  return true;
}

void IEffectBase::SetHost(const char* hostName, int version)
{
  mHost = LookUpHost(hostName);
  mHostVersion = version;
}
