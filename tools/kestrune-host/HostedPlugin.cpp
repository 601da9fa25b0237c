#include "tools/kestrune-host/HostedPlugin.h"

#include "tools/kestrune-host/AllocationCounter.h"
#include "tools/kestrune-host/HostCallback.h"
#include "tools/kestrune-host/HostTunables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace khost
{

namespace
{
// The vendor-specific call numbers of the extra-parameter text and the "handled" answer.
constexpr VstInt32 kVendorExtraParamText = 56;
constexpr VstIntPtr kVendorHandled = 0xBEEF;

// The input signal for effects: a sine at -12 dBFS.
constexpr double kInputSignalHz = 441.0;
constexpr double kInputSignalLevel = 0.25;

// Channels the host gives buffers for; a plug-in that declares more is not processed.
constexpr int kMaxChannels = 1024;
} // namespace

namespace
{
thread_local HostedPlugin* tBeingCreated = nullptr;
}

HostedPlugin* HostedPlugin::BeingCreated()
{
  return tBeingCreated;
}

HostedPlugin::HostedPlugin(const PluginLibrary& library, double sampleRate, int blockFrames)
    : mSampleRate(sampleRate), mBlockFrames(blockFrames)
{
  mTimeInfo.sampleRate = mSampleRate;
  mTimeInfo.tempo = 120.0;
  mTimeInfo.timeSigNumerator = 4;
  mTimeInfo.timeSigDenominator = 4;
  mTimeInfo.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid | kVstBarsValid;

  mEventPool.resize(kMaxEventsPerBlock);
  mEventList.resize(offsetof(VstEvents, events) + sizeof(VstEvent*) * kMaxEventsPerBlock);
  mMidiOut.reserve(kMaxRecordedOutputEvents);

  tBeingCreated = this;
  mEffect = library.CreateEffect();
  tBeingCreated = nullptr;
  if (!mEffect) return;
  RegisterHostedPlugin(mEffect, this);
  // A buffer for every declared channel (at least two each way, for plug-ins that touch a stereo
  // pair whatever they declare); doubles only once a double-precision call asks for them.
  const int ins = std::max(std::clamp(mEffect->numInputs, 0, kMaxChannels), 2);
  const int outs = std::max(std::clamp(mEffect->numOutputs, 0, kMaxChannels), 2);
  mInFloat.assign(ins, std::vector<float>(kMaxBlockFrames, 0.0f));
  mOutFloat.assign(outs, std::vector<float>(kMaxBlockFrames, 0.0f));
  for (auto& c : mInFloat)
    mInPtrs.push_back(c.data());
  for (auto& c : mOutFloat)
    mOutPtrs.push_back(c.data());
}

void HostedPlugin::EnsureDoubleBuffers()
{
  if (!mInDouble.empty()) return;
  mInDouble.assign(mInFloat.size(), std::vector<double>(kMaxBlockFrames, 0.0));
  mOutDouble.assign(mOutFloat.size(), std::vector<double>(kMaxBlockFrames, 0.0));
  for (auto& c : mInDouble)
    mInPtrsD.push_back(c.data());
  for (auto& c : mOutDouble)
    mOutPtrsD.push_back(c.data());
}

HostedPlugin::~HostedPlugin()
{
  Close();
}

VstIntPtr HostedPlugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  if (!mEffect) return 0;
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void HostedPlugin::Open()
{
  Dispatch(effOpen);
}

void HostedPlugin::SetSampleRate(double rate)
{
  mSampleRate = rate;
  mTimeInfo.sampleRate = rate;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void HostedPlugin::SetBlockSize(int frames)
{
  mBlockFrames = frames;
  Dispatch(effSetBlockSize, 0, frames);
}

void HostedPlugin::Resume()
{
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
}

void HostedPlugin::Suspend()
{
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
}

void HostedPlugin::Start(double rate, int blockFrames)
{
  Open();
  SetSampleRate(rate);
  SetBlockSize(blockFrames);
  Resume();
}

void HostedPlugin::Close()
{
  if (!mEffect) return;
  AEffect* effect = mEffect;
  mEffect = nullptr;
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  RegisterHostedPlugin(effect, nullptr);
}

bool HostedPlugin::CanDo(const char* what)
{
  return Dispatch(effCanDo, 0, 0, const_cast<char*>(what)) > 0;
}

bool HostedPlugin::TakesMidi()
{
  return IsSynth() || CanDo("receiveVstEvents") || CanDo("receiveVstMidiEvent");
}

std::string HostedPlugin::DispatchText(VstInt32 opcode, VstInt32 index, VstIntPtr value)
{
  char text[kHostTextBufferBytes];
  std::memset(text, 0, sizeof(text));
  Dispatch(opcode, index, value, text);
  text[sizeof(text) - 1] = '\0';
  return text;
}

bool HostedPlugin::SetParamFromText(int idx, const std::string& text)
{
  char buffer[kHostTextBufferBytes];
  std::memset(buffer, 0, sizeof(buffer));
  std::strncpy(buffer, text.c_str(), sizeof(buffer) - 1);
  return Dispatch(effString2Parameter, idx, 0, buffer) != 0;
}

void HostedPlugin::SetParameter(int idx, float value)
{
  if (mEffect) mEffect->setParameter(mEffect, idx, value);
}

float HostedPlugin::GetParameter(int idx)
{
  return mEffect ? mEffect->getParameter(mEffect, idx) : 0.0f;
}

std::vector<uint8_t> HostedPlugin::GetChunk(bool program)
{
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr HostedPlugin::SetChunk(const std::vector<uint8_t>& bytes, bool program)
{
  // Plug-ins may keep reading the host's buffer while they restore, so it lives for the call; an
  // empty chunk still comes with a valid pointer.
  std::vector<uint8_t> copy(std::max<size_t>(bytes.size(), 1), 0);
  std::copy(bytes.begin(), bytes.end(), copy.begin());
  return Dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), copy.data());
}

bool HostedPlugin::SetExtraParamText(int idx, const std::string& text)
{
  if (text.size() >= static_cast<size_t>(kExtraParamTextBytes)) return false;
  char buffer[kExtraParamTextBytes];
  std::memset(buffer, 0, sizeof(buffer));
  std::memcpy(buffer, text.data(), text.size());
  return Dispatch(effVendorSpecific, kVendorExtraParamText, idx, buffer) == kVendorHandled;
}

bool HostedPlugin::GetExtraParamText(int idx, std::string* text)
{
  // An empty text asks for the one the plug-in keeps.
  char buffer[kExtraParamTextBytes];
  std::memset(buffer, 0, sizeof(buffer));
  if (Dispatch(effVendorSpecific, kVendorExtraParamText, idx, buffer) != kVendorHandled) return false;
  text->assign(buffer, strnlen(buffer, sizeof(buffer)));
  return true;
}

bool HostedPlugin::QueueMidi(int deltaFrames, uint8_t status, uint8_t data1, uint8_t data2)
{
  if (mQueued >= kMaxEventsPerBlock) return false;
  VstMidiEvent& e = mEventPool[mQueued];
  std::memset(&e, 0, sizeof(e));
  e.type = kVstMidiType;
  e.byteSize = sizeof(VstMidiEvent);
  e.deltaFrames = deltaFrames;
  e.midiData[0] = static_cast<char>(status);
  e.midiData[1] = static_cast<char>(data1);
  e.midiData[2] = static_cast<char>(data2);
  ++mQueued;
  return true;
}

void HostedPlugin::SendEvents()
{
  if (!mEffect || mQueued == 0) return;
  auto* list = reinterpret_cast<VstEvents*>(mEventList.data());
  list->numEvents = mQueued;
  list->reserved = 0;
  VstEvent** entries = list->events;
  for (int i = 0; i < mQueued; ++i)
    entries[i] = reinterpret_cast<VstEvent*>(&mEventPool[i]);
  {
    AllocationCounter::Scope counting(mCountAllocations);
    mEffect->dispatcher(mEffect, effProcessEvents, 0, 0, list, 0.0f);
  }
  mQueued = 0;
}

void HostedPlugin::SetTransport(double samplePos, double tempoBpm, double ppqPos, bool playing)
{
  mTimeInfo.samplePos = samplePos;
  mTimeInfo.sampleRate = mSampleRate;
  mTimeInfo.tempo = tempoBpm;
  mTimeInfo.ppqPos = ppqPos;
  const double beatsPerBar =
      mTimeInfo.timeSigNumerator * 4.0 / std::max(1, static_cast<int>(mTimeInfo.timeSigDenominator));
  mTimeInfo.barStartPos = beatsPerBar > 0 ? static_cast<long long>(ppqPos / beatsPerBar) * beatsPerBar : 0.0;
  mTimeInfo.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid | kVstBarsValid;
  if (playing) mTimeInfo.flags |= kVstTransportPlaying;
}

void HostedPlugin::Process(int nFrames, bool doublePrecision)
{
  if (!mEffect) return;
  nFrames = std::clamp(nFrames, 0, kMaxBlockFrames);
  SendEvents();
  mLastDouble = doublePrecision && mEffect->processDoubleReplacing && HasFlag(effFlagsCanDoubleReplacing);
  if (mLastDouble) EnsureDoubleBuffers();
  // Plug-ins may process in place or scribble on their inputs: both are filled anew every block.
  for (size_t c = 0; c < mInFloat.size(); ++c)
    for (int i = 0; i < nFrames; ++i)
    {
      const double phase = 2.0 * M_PI * kInputSignalHz * double(mInputFrame + i) / mSampleRate + double(c);
      const double v = mInputSignal ? kInputSignalLevel * std::sin(phase) : 0.0;
      if (mLastDouble)
        mInDouble[c][i] = v;
      else
        mInFloat[c][i] = static_cast<float>(v);
    }
  for (size_t c = 0; c < mOutFloat.size(); ++c)
  {
    if (mLastDouble)
      std::fill_n(mOutDouble[c].begin(), nFrames, 0.0);
    else
      std::fill_n(mOutFloat[c].begin(), nFrames, 0.0f);
  }
  mInputFrame += nFrames;
  // Channel counts beyond what the host gives buffers for are not processed.
  const bool fits = mEffect->numInputs <= kMaxChannels && mEffect->numOutputs <= kMaxChannels;
  {
    AllocationCounter::Scope counting(mCountAllocations);
    if (!fits)
    {
    }
    else if (mLastDouble)
      mEffect->processDoubleReplacing(mEffect, mInPtrsD.data(), mOutPtrsD.data(), nFrames);
    else if (mEffect->processReplacing)
      mEffect->processReplacing(mEffect, mInPtrs.data(), mOutPtrs.data(), nFrames);
    else if (mEffect->process)
      mEffect->process(mEffect, mInPtrs.data(), mOutPtrs.data(), nFrames);
  }
  mTimeInfo.samplePos += nFrames;
}

double HostedPlugin::OutputSample(int ch, int frame) const
{
  return mLastDouble ? mOutDouble[ch][frame] : static_cast<double>(mOutFloat[ch][frame]);
}

void HostedPlugin::ClearRecords()
{
  mMidiOut.clear();
  mAutomateCalls = 0;
  mDroppedMidiOut = 0;
}

VstIntPtr HostedPlugin::OnHostCall(VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* ptr,
                                   float /*opt*/)
{
  mCensus.Record(opcode);
  switch (opcode)
  {
  case audioMasterAutomate:
    mAutomateCalls.fetch_add(1);
    (void)index;
    return 0;
  case audioMasterBeginEdit:
  case audioMasterEndEdit:
    return 0;
  case audioMasterUpdateDisplay:
    return 1;
  case audioMasterGetTime:
    return reinterpret_cast<VstIntPtr>(&mTimeInfo);
  case audioMasterGetSampleRate:
    return static_cast<VstIntPtr>(mSampleRate);
  case audioMasterGetBlockSize:
    return mBlockFrames;
  case audioMasterGetCurrentProcessLevel:
    return mProcessLevel;
  case audioMasterProcessEvents:
  {
    const auto* events = static_cast<const VstEvents*>(ptr);
    for (int i = 0; events && i < events->numEvents; ++i)
    {
      const VstEvent* e = events->events[i];
      if (!e || e->type != kVstMidiType) continue;
      const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
      if (mMidiOut.size() >= mMidiOut.capacity())
      {
        mDroppedMidiOut.fetch_add(1);
        continue;
      }
      mMidiOut.push_back({m->deltaFrames,
                          {static_cast<uint8_t>(m->midiData[0]), static_cast<uint8_t>(m->midiData[1]),
                           static_cast<uint8_t>(m->midiData[2])}});
    }
    return 1;
  }
  default:
    return 0;
  }
}
} // namespace khost
