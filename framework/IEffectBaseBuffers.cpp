// IEffectBase: channel connections, host buffer attachment and the process paths.
#include "framework/IEffectBase.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr int kStereoChannels = 2;
constexpr int kAnyCount = -1; // LegalIO: matches every count
} // namespace

bool IEffectBase::LegalIO(int nIn, int nOut) const
{
  for (const IOPair& pair : mChannelIO)
  {
    if ((nIn == kAnyCount || nIn == pair.mIn) && (nOut == kAnyCount || nOut == pair.mOut)) return true;
  }
  return false;
}

void IEffectBase::LimitToStereoIO()
{
  const int nIn = NInChannels();
  const int nOut = NOutChannels();
  if (nIn > kStereoChannels) SetInputChannelConnections(kStereoChannels, nIn - kStereoChannels, false);
  if (nOut > kStereoChannels) SetOutputChannelConnections(kStereoChannels, nOut - kStereoChannels, true);
}

void IEffectBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  const int end = std::min(idx + std::max(n, 0), NInChannels());
  for (int i = std::max(idx, 0); i < end; ++i)
  {
    InChannel& channel = *mInChannels[static_cast<size_t>(i)];
    channel.mConnected = connected;
    if (!connected) *channel.mSrc = channel.mScratchBuf.data();
  }
}

void IEffectBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  const int end = std::min(idx + std::max(n, 0), NOutChannels());
  for (int i = std::max(idx, 0); i < end; ++i)
  {
    OutChannel& channel = *mOutChannels[static_cast<size_t>(i)];
    channel.mConnected = connected;
    if (!connected)
    {
      *channel.mDest = channel.mScratchBuf.data();
      channel.mFDest = nullptr;
    }
  }
}

bool IEffectBase::IsInChannelConnected(int chIdx) const
{
  return chIdx >= 0 && chIdx < NInChannels() && mInChannels[static_cast<size_t>(chIdx)]->mConnected;
}

bool IEffectBase::IsOutChannelConnected(int chIdx) const
{
  return chIdx >= 0 && chIdx < NOutChannels() && mOutChannels[static_cast<size_t>(chIdx)]->mConnected;
}

int IEffectBase::ClampFrames(int nFrames) const
{
  return std::clamp(nFrames, 0, std::max(mBlockSize, 0));
}

void IEffectBase::AttachInputBuffers(int idx, int n, double** data, int)
{
  const int end = std::min(idx + std::max(n, 0), NInChannels());
  for (int i = std::max(idx, 0); i < end; ++i)
  {
    InChannel& channel = *mInChannels[static_cast<size_t>(i)];
    if (!channel.mConnected) continue;
    double* host = data ? *data++ : nullptr;
    // A missing host buffer reads as the scratch buffer (silence after SetBlockSize).
    *channel.mSrc = host ? host : channel.mScratchBuf.data();
  }
}

void IEffectBase::AttachInputBuffers(int idx, int n, float** data, int nFrames)
{
  const int frames = ClampFrames(nFrames);
  const int end = std::min(idx + std::max(n, 0), NInChannels());
  for (int i = std::max(idx, 0); i < end; ++i)
  {
    InChannel& channel = *mInChannels[static_cast<size_t>(i)];
    if (!channel.mConnected) continue;
    const float* host = data ? *data++ : nullptr;
    double* scratch = channel.mScratchBuf.data();
    if (host)
      std::copy(host, host + frames, scratch);
    else
      std::fill(scratch, scratch + frames, 0.0);
    *channel.mSrc = scratch;
  }
}

void IEffectBase::AttachOutputBuffers(int idx, int n, double** data)
{
  const int end = std::min(idx + std::max(n, 0), NOutChannels());
  for (int i = std::max(idx, 0); i < end; ++i)
  {
    OutChannel& channel = *mOutChannels[static_cast<size_t>(i)];
    if (!channel.mConnected) continue;
    double* host = data ? *data++ : nullptr;
    *channel.mDest = host ? host : channel.mScratchBuf.data();
    channel.mFDest = nullptr;
  }
}

void IEffectBase::AttachOutputBuffers(int idx, int n, float** data)
{
  const int end = std::min(idx + std::max(n, 0), NOutChannels());
  for (int i = std::max(idx, 0); i < end; ++i)
  {
    OutChannel& channel = *mOutChannels[static_cast<size_t>(i)];
    if (!channel.mConnected) continue;
    *channel.mDest = channel.mScratchBuf.data();
    channel.mFDest = data ? *data++ : nullptr;
  }
}

void IEffectBase::ConvertOutputsToFloat(int nFrames, bool accumulate)
{
  for (auto& channel : mOutChannels)
  {
    if (!channel->mConnected || !channel->mFDest) continue;
    const double* src = channel->mScratchBuf.data();
    float* dest = channel->mFDest;
    if (accumulate)
    {
      for (int s = 0; s < nFrames; ++s)
        dest[s] += static_cast<float>(src[s]);
    }
    else
    {
      for (int s = 0; s < nFrames; ++s)
        dest[s] = static_cast<float>(src[s]);
    }
  }
}

void IEffectBase::FlushTinyOutputs(int nFrames)
{
  // Below the smallest normal float the signal is more than 750 dB down; as a float it would be a
  // subnormal, which hosts and the effects after us process at a fraction of their speed.
  constexpr double kSmallestNormalFloat = std::numeric_limits<float>::min();
  for (double* out : mOutData)
  {
    if (!out) continue;
    for (int s = 0; s < nFrames; ++s)
      if (std::fabs(out[s]) < kSmallestNormalFloat) out[s] = 0.0;
  }
}

void IEffectBase::RenderOutputs(int frames)
{
  // 0 frames still reaches the render: its start-up and clean-ups belong to every process call.
  if (!mParamsReady) return;
  ProcessDoubleReplacing(mInData.data(), mOutData.data(), frames < 0 ? 0 : frames);
  FlushTinyOutputs(frames);
}

void IEffectBase::ProcessBuffers(double, int nFrames)
{
  RenderOutputs(ClampFrames(nFrames));
}

void IEffectBase::ProcessBuffers(float, int nFrames)
{
  const int frames = ClampFrames(nFrames);
  RenderOutputs(frames);
  ConvertOutputsToFloat(frames, false);
}

void IEffectBase::ProcessBuffersAccumulating(float, int nFrames)
{
  const int frames = ClampFrames(nFrames);
  RenderOutputs(frames);
  ConvertOutputsToFloat(frames, true);
}

void IEffectBase::PassThroughBuffers(double, int nFrames)
{
  const int frames = ClampFrames(nFrames);
  IEffectBase::ProcessDoubleReplacing(mInData.data(), mOutData.data(), frames);
}

void IEffectBase::PassThroughBuffers(float, int nFrames)
{
  const int frames = ClampFrames(nFrames);
  IEffectBase::ProcessDoubleReplacing(mInData.data(), mOutData.data(), frames);
  ConvertOutputsToFloat(frames, false);
}
