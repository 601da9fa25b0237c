#include "framework/IEffectVST.h"

#include "framework/TextUtil.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace
{
IEffectVST* Instance(AEffect* effect)
{
  return effect ? static_cast<IEffectVST*>(effect->object) : nullptr;
}
} // namespace

VstInt32 VSTSpkrArrType(int nChannels)
{
  switch (nChannels)
  {
  case 0:
    return kSpeakerArrEmpty;
  case 1:
    return kSpeakerArrMono;
  case 2:
    return kSpeakerArrStereo;
  default:
    return kSpeakerArrUserDefined;
  }
}

double VSTString2Parameter(IParam* param, const char* text)
{
  if (!param || !text) return 0.0;
  int mapped = 0;
  if (param->GetNDisplayTexts() > 0 && param->MapDisplayText(text, &mapped)) return mapped;
  const double value = ParseDouble(text);
  return param->GetNegateDisplay() ? -value : value;
}

IEffectVST::IEffectVST(IEffectInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                       const char* effectName, const char* productName, const char* mfrName,
                       int vendorVersion, int uniqueID, int mfrID, int latency, int plugDoesMidi,
                       bool plugDoesChunks, bool plugIsInst)
    : IEffectBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID,
                  mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mHostCallback(instanceInfo.mHostCallback)
{
  mAEffect.magic = kEffectMagic;
  mAEffect.dispatcher = VSTDispatcher;
  mAEffect.process = VSTProcess;
  mAEffect.setParameter = VSTSetParameter;
  mAEffect.getParameter = VSTGetParameter;
  mAEffect.processReplacing = VSTProcessReplacing;
  mAEffect.processDoubleReplacing = VSTProcessDoubleReplacing;
  mAEffect.numPrograms = nPresets;
  mAEffect.numParams = nParams;
  mAEffect.numInputs = NInChannels();
  mAEffect.numOutputs = NOutChannels();
  mAEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plugDoesChunks) mAEffect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) mAEffect.flags |= effFlagsCanMono;
  if (plugIsInst) mAEffect.flags |= effFlagsIsSynth;
  mAEffect.initialDelay = latency;
  mAEffect.ioRatio = 1.0f;
  mAEffect.object = this;
  mAEffect.uniqueID = uniqueID;
  mAEffect.version = GetEffectVersion(true);

  mInputSpkrArr.type = VSTSpkrArrType(NInChannels());
  mInputSpkrArr.numChannels = NInChannels();
  mOutputSpkrArr.type = VSTSpkrArrType(NOutChannels());
  mOutputSpkrArr.numChannels = NOutChannels();

  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  SetBlockSize(kDefaultBlockSize);

  mPieceInF.assign(static_cast<size_t>(NInChannels()), nullptr);
  mPieceOutF.assign(static_cast<size_t>(NOutChannels()), nullptr);
  mPieceInD.assign(static_cast<size_t>(NInChannels()), nullptr);
  mPieceOutD.assign(static_cast<size_t>(NOutChannels()), nullptr);
}

IEffectVST::~IEffectVST() = default;

VstIntPtr IEffectVST::CallHost(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  return mHostCallback ? mHostCallback(&mAEffect, opCode, index, value, ptr, opt) : 0;
}

// ---- Notifications ----

void IEffectVST::CallHostForEdit(VstInt32 opCode, VstInt32 index, float opt)
{
  if (!mHostCalls.MayCallHostHere())
  {
    mHostCalls.Queue({opCode, index, opt});
    return;
  }
  DeliverPendingHostCalls(); // what waited goes first, in order
  CallHost(opCode, index, 0, nullptr, opt);
}

void IEffectVST::DeliverPendingHostCalls()
{
  for (const HostCallRouter::Call& call : mHostCalls.TakeDeliverable())
    CallHost(call.opCode, call.index, 0, nullptr, call.opt);
}

void IEffectVST::InformHostOfParamChange(int idx, double normalizedValue)
{
  CallHostForEdit(audioMasterAutomate, idx, static_cast<float>(normalizedValue));
}

void IEffectVST::BeginInformHostOfParamChange(int idx)
{
  EndDelayedInformHostOfParamChange();
  CallHostForEdit(audioMasterBeginEdit, idx, 0.0f);
}

void IEffectVST::BeginDelayedInformHostOfParamChange(int idx)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  if (mParamChangeIndex == idx) return; // the pending gesture on this parameter goes on
  EndDelayedInformHostOfParamChange();
  CallHostForEdit(audioMasterBeginEdit, idx, 0.0f);
}

void IEffectVST::EndInformHostOfParamChange(int idx)
{
  CallHostForEdit(audioMasterEndEdit, idx, 0.0f);
}

void IEffectVST::InformHostOfProgramChange()
{
  CallHostForEdit(audioMasterUpdateDisplay, 0, 0.0f);
}

void IEffectVST::InformHostOfStateChange()
{
  // Hosts differ in what tells them that their project changed: some count a display update, others
  // only automation. Both are sent; the automation carries parameter 0's value unchanged.
  CallHostForEdit(audioMasterUpdateDisplay, 0, 0.0f);
  if (const IParam* param = GetParam(0))
    CallHostForEdit(audioMasterAutomate, 0, static_cast<float>(param->GetNormalized()));
}

// ---- Transport ----

const VstTimeInfo* IEffectVST::GetTimeInfo(VstInt32 filter)
{
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter));
}

int IEffectVST::GetSamplePos()
{
  const VstTimeInfo* info = GetTimeInfo(0);
  if (!info || !(info->samplePos >= 0.0)) return 0;
  const double pos = info->samplePos + 0.5;
  return pos < static_cast<double>(INT_MAX) ? static_cast<int>(pos) : INT_MAX;
}

double IEffectVST::GetTempo()
{
  if (!mHostCallback) return 0.0;
  const VstTimeInfo* info = GetTimeInfo(kVstTempoValid);
  if (info && (info->flags & kVstTempoValid)) return std::max(info->tempo, 0.0);
  return 0.0;
}

void IEffectVST::GetTimeSig(int* numerator, int* denominator)
{
  int num = 0;
  int den = 0;
  const VstTimeInfo* info = GetTimeInfo(kVstTimeSigValid);
  if (info && (info->flags & kVstTimeSigValid) && info->timeSigNumerator >= 0 &&
      info->timeSigDenominator >= 0)
  {
    num = info->timeSigNumerator;
    den = info->timeSigDenominator;
  }
  if (numerator) *numerator = num;
  if (denominator) *denominator = den;
}

int IEffectVST::GetPlaying()
{
  const VstTimeInfo* info = GetTimeInfo(0);
  if (!info) return 0;
  if (info->flags & kVstTransportPlaying) return 1;
  if (info->flags & kVstTransportRecording) return 2;
  return 0;
}

bool IEffectVST::IsRenderingOffline()
{
  return CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

// ---- Host identity and set-up ----

int IEffectVST::GetHost()
{
  if (mHost == kHostUnknown)
  {
    char product[kHostProductStrBytes] = {};
    CallHost(audioMasterGetProductString, 0, 0, product);
    product[kHostProductStrBytes - 1] = '\0'; // a host that fills the whole buffer
    int version = 0;
    if (product[0] != '\0')
    {
      const VstIntPtr v = CallHost(audioMasterGetVendorVersion);
      if (v > 0 && v <= INT_MAX)
      {
        version = VersionFromDecimal(static_cast<int>(v));
      }
    }
    SetHost(product, version);
  }
  return mHost;
}

void IEffectVST::HostSpecificInit()
{
  if (mHostSpecificInitDone) return;
  mHostSpecificInitDone = true;
  switch (GetHost())
  {
  case kHostForte:
  case kHostAudition:
  case kHostBias:
  case kHostSAWStudio:
    LimitToStereoIO();
    break;
  default:
    break;
  }
  mAEffect.numInputs = mInputSpkrArr.numChannels = NInChannels();
  mAEffect.numOutputs = mOutputSpkrArr.numChannels = NOutChannels();
}

void IEffectVST::AttachGraphics(IGraphicsSeam* graphics)
{
  if (!graphics) return;
  IEffectBase::AttachGraphics(graphics);
  mAEffect.flags |= effFlagsHasEditor;
  ResizeGraphics(0, 0);
}

void IEffectVST::ResizeGraphics(int, int)
{
  IGraphicsSeam* graphics = GetGraphics();
  if (!graphics) return;
  mEditRect.top = 0;
  mEditRect.left = 0;
  mEditRect.bottom = static_cast<VstInt16>(graphics->WindowHeight());
  mEditRect.right = static_cast<VstInt16>(graphics->WindowWidth());
}

bool IEffectVST::SizeHostWindow(int w, int h)
{
  if (w <= 0 || h <= 0) return false;
  return CallHost(audioMasterSizeWindow, w, h) != 0;
}

void IEffectVST::SetLatency(int samples)
{
  mAEffect.initialDelay = samples;
  IEffectBase::SetLatency(samples);
}

// ---- MIDI out ----

bool IEffectVST::SendVSTEvent(VstEvent* event)
{
  if (!event) return false;
  VstEvents events = {};
  events.numEvents = 1;
  events.events[0] = event;
  return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IEffectVST::SendMidiMsg(IMidiMsg* msg)
{
  if (!msg) return false;
  VstMidiEvent event = {};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = msg->mOffset;
  event.midiData[0] = static_cast<char>(msg->mStatus);
  event.midiData[1] = static_cast<char>(msg->mData1);
  event.midiData[2] = static_cast<char>(msg->mData2);
  return SendVSTEvent(reinterpret_cast<VstEvent*>(&event));
}

bool IEffectVST::SendSysEx(ISysEx* msg)
{
  if (!msg) return false;
  VstMidiSysexEvent event = {};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = msg->mOffset;
  event.dumpBytes = msg->mSize;
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(msg->mData));
  return SendVSTEvent(reinterpret_cast<VstEvent*>(&event));
}

// ---- Parameter and process callbacks ----

void IEffectVST::VSTSetParameter(AEffect* effect, VstInt32 idx, float value)
{
  IEffectVST* plug = Instance(effect);
  if (!plug) return;
  try
  {
    std::lock_guard<InstanceMutex> lock(plug->mMutex);
    IParam* param = plug->GetParam(idx);  // null outside [0, numParams)
    if (!param || value != value) return; // NaN from a host is not a value
    const double normalized = std::clamp(static_cast<double>(value), 0.0, 1.0);
    if (IGraphicsSeam* graphics = plug->GetGraphics()) graphics->ShowParamValue(idx, normalized, true);
    param->SetNormalized(normalized);
    plug->OnHostParamChange(idx, static_cast<float>(normalized));
  }
  catch (...)
  {
  }
}

float IEffectVST::VSTGetParameter(AEffect* effect, VstInt32 idx)
{
  IEffectVST* plug = Instance(effect);
  if (!plug) return 0.0f;
  try
  {
    std::lock_guard<InstanceMutex> lock(plug->mMutex);
    const IParam* param = plug->GetParam(idx);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
  }
  catch (...)
  {
    return 0.0f;
  }
}

template <class Sample>
void IEffectVST::ProcessInPieces(Sample** inputs, Sample** outputs, int nFrames, bool accumulate)
{
  std::lock_guard<InstanceMutex> lock(mMutex);
  if (DoesMIDI()) CallHost(audioMasterWantMidi);
  const int blockSize = GetBlockSize();
  if (blockSize <= 0) return;
  // A call of 0 frames (or a negative count) is rendered as one empty piece: the render's per-call
  // work runs and no buffer is written.
  const int frames = nFrames > 0 ? nFrames : 0;
  std::vector<Sample*>& pieceIn = [this]() -> std::vector<Sample*>&
  {
    if constexpr (std::is_same<Sample, float>::value)
      return mPieceInF;
    else
      return mPieceInD;
  }();
  std::vector<Sample*>& pieceOut = [this]() -> std::vector<Sample*>&
  {
    if constexpr (std::is_same<Sample, float>::value)
      return mPieceOutF;
    else
      return mPieceOutD;
  }();
  // A host block longer than the announced block size is rendered in pieces of that size; the render
  // learns each piece's place in the block (CurrentPiece), since MIDI offsets count from its start.
  int done = 0;
  do
  {
    const int piece = std::min(blockSize, frames - done);
    const bool write = piece > 0;
    for (size_t i = 0; i < pieceIn.size(); ++i)
      pieceIn[i] = (write && inputs && inputs[i]) ? inputs[i] + done : nullptr;
    for (size_t i = 0; i < pieceOut.size(); ++i)
      pieceOut[i] = (write && outputs && outputs[i]) ? outputs[i] + done : nullptr;
    AttachInputBuffers(0, NInChannels(), pieceIn.data(), piece);
    AttachOutputBuffers(0, NOutChannels(), pieceOut.data());
    mPiece.mStart = done;
    mPiece.mFirst = done == 0;
    mPiece.mLast = done + piece >= frames;
    if constexpr (std::is_same<Sample, double>::value)
      ProcessBuffers(0.0, piece);
    else if (accumulate)
      ProcessBuffersAccumulating(0.0f, piece);
    else
      ProcessBuffers(0.0f, piece);
    done += piece;
  } while (done < frames);
  mPiece = RenderPiece();
}

void IEffectVST::VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames)
{
  IEffectVST* plug = Instance(effect);
  if (!plug) return;
  try
  {
    plug->ProcessInPieces(inputs, outputs, nFrames, true);
  }
  catch (...)
  {
  }
}

void IEffectVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames)
{
  IEffectVST* plug = Instance(effect);
  if (!plug) return;
  try
  {
    plug->ProcessInPieces(inputs, outputs, nFrames, false);
  }
  catch (...)
  {
  }
}

void IEffectVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                           VstInt32 nFrames)
{
  IEffectVST* plug = Instance(effect);
  if (!plug) return;
  try
  {
    plug->ProcessInPieces(inputs, outputs, nFrames, false);
  }
  catch (...)
  {
  }
}
