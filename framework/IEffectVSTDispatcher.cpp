// IEffectVST: the dispatcher, its chunk, event, pin, capability and vendor-specific calls.
#include "framework/IEffectVST.h"

#include "framework/EditorPicture.h"
#include "framework/EditorScale.h"
#include "framework/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
// Bounded sizes of the texts written into host buffers (published field sizes plus the terminator).
constexpr size_t kProgNameBytes = kVstMaxProgNameLen + 1;
constexpr size_t kEffectNameBytes = kVstMaxEffectNameLen + 1;
constexpr size_t kVendorStrBytes = kVstMaxVendorStrLen + 1;
constexpr size_t kProductStrBytes = kVstMaxProductStrLen + 1;
constexpr int kMaxBlockSizeFrames = 1 << 16; // larger announced blocks are processed in pieces of this
constexpr int kParseValueDecimals = 17;      // "%.17f" of a normalised value
constexpr int kChunkVersionBytes = static_cast<int>(sizeof(VstInt32));

constexpr char kCanDoTimeInfo[] = "receiveVstTimeInfo";
constexpr char kCanDoSendEvents[] = "sendVstEvents";
constexpr char kCanDoSendMidi[] = "sendVstMidiEvent";
constexpr char kCanDoReceiveEvents[] = "receiveVstEvents";
constexpr char kCanDoReceiveMidi[] = "receiveVstMidiEvent";

// Does-MIDI values: 1 receive and send, 2 receive only, 3 send only.
constexpr int kMidiReceiveAndSend = 1;
constexpr int kMidiReceiveOnly = 2;
constexpr int kMidiSendOnly = 3;

bool InIntRange(VstIntPtr value, int count)
{
  return value >= 0 && value < count;
}
} // namespace

VstIntPtr IEffectVST::VSTDispatcher(AEffect* effect, VstInt32 opCode, VstInt32 index, VstIntPtr value,
                                    void* ptr, float opt)
{
  IEffectVST* plug = effect ? static_cast<IEffectVST*>(effect->object) : nullptr;
  if (!plug) return 0;
  try
  {
    if (opCode == effClose)
    {
      {
        std::lock_guard<InstanceMutex> lock(plug->mMutex);
        plug->OnInstanceClose();
      }
      if (plug->GetGraphics()) plug->GetGraphics()->Shutdown();
      // The AEffect lives inside the instance: the host must not use it after this call.
      delete plug;
      return 0;
    }
    std::lock_guard<InstanceMutex> lock(plug->mMutex);
    return plug->Dispatch(opCode, index, value, ptr, opt);
  }
  catch (...)
  {
    return 0; // nothing crosses into the host
  }
}

VstIntPtr IEffectVST::Dispatch(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  switch (opCode)
  {
  case effOpen:
    // Repeated opens re-apply every parameter; host-specific init runs once.
    HostSpecificInit();
    OnParamReset();
    return 0;

  case effSetProgram:
    ModifyCurrentPreset();
    if (InIntRange(value, NPresets())) RestorePreset(static_cast<int>(value));
    return 0;
  case effGetProgram:
    return GetCurrentPresetIdx();
  case effSetProgramName:
    if (ptr)
    {
      char name[MAX_PRESET_NAME_LEN];
      CopyText(name, sizeof(name), static_cast<const char*>(ptr)); // host names are cut to 255
      ModifyCurrentPreset(name);
    }
    return 0;
  case effGetProgramName:
    if (ptr) CopyText(static_cast<char*>(ptr), kProgNameBytes, GetPresetName(GetCurrentPresetIdx()));
    return 0;

  case effGetParamLabel:
  case effGetParamDisplay:
  case effGetParamName:
  {
    const IParam* param = GetParam(index);
    if (!param || !ptr) return 0;
    char* out = static_cast<char*>(ptr);
    if (opCode == effGetParamLabel)
      CopyText(out, kHostParamStrBytes, param->GetLabelForHost());
    else if (opCode == effGetParamName)
      CopyText(out, kHostParamStrBytes, param->GetNameForHost());
    else
      param->GetDisplayForHost(param->Value(), false, out, kHostParamStrBytes);
    return 0;
  }

  case effSetSampleRate:
    if (opt > 0.0f) SetSampleRate(opt); // a zero or negative rate is not a rate
    Reset();
    return 0;
  case effSetBlockSize:
    // Zero or negative sizes keep the current buffers; huge ones are capped (pieces cover the rest).
    if (value > 0) SetBlockSize(static_cast<int>(std::min<VstIntPtr>(value, kMaxBlockSizeFrames)));
    Reset();
    return 0;
  case effMainsChanged:
    if (value == 0)
    {
      OnActiveChange(false);
      Reset();
    }
    else
    {
      OnActiveChange(true);
    }
    return 0;

  case effEditGetRect:
    if (!ptr || !GetGraphics()) return 0;
    // A closed editor settles the size it opens at now, so the rectangle is that size.
    GetGraphics()->EditorRectQueried();
    ResizeGraphics(0, 0);
    *static_cast<ERect**>(ptr) = &mEditRect;
    return 1;
  case effEditOpen:
    if (GetGraphics() && GetGraphics()->OpenWindow(ptr))
    {
      OnEditorOpen();
      return 1;
    }
    return 0;
  case effEditIdle:
    // Hosts call it from their UI thread or another one, at their own rate, or never. The thread that
    // calls it is the one that hears of the user's edits from now on.
    mHostCalls.IdleCalled();
    if (GetGraphics()) GetGraphics()->EditIdle();
    DeliverPendingHostCalls();
    return 0;
  case effEditClose:
    // What the editor's last moments changed goes out now; idle calls end with the editor.
    DeliverPendingHostCalls();
    mHostCalls.IdleStopped();
    // Unpaired closes reach the editor too; its CloseWindow is safe without an open window.
    if (!GetGraphics()) return 0;
    OnEditorClose();
    GetGraphics()->CloseWindow();
    return 1;

  case effIdentify:
    return kEffectIdentity;
  case effGetChunk:
    return DispatchGetChunk(index, ptr);
  case effSetChunk:
    return DispatchSetChunk(index, value, ptr);
  case effProcessEvents:
    if (ptr) DispatchProcessEvents(static_cast<const VstEvents*>(ptr));
    return 1;
  case effCanBeAutomated:
    return 1;

  case effString2Parameter:
  {
    IParam* param = GetParam(index);
    if (!param) return 0;
    if (ptr)
    {
      const double v = VSTString2Parameter(param, static_cast<const char*>(ptr));
      if (GetGraphics()) GetGraphics()->ShowParamValue(index, v, false);
      param->SetClamped(v);
      OnParamChange(index);
    }
    return 1;
  }

  case effGetProgramNameIndexed:
    if (!ptr) return 0;
    CopyText(static_cast<char*>(ptr), kProgNameBytes, GetPresetName(index));
    return static_cast<char*>(ptr)[0] != '\0' ? 1 : 0;

  case effGetInputProperties:
    return DispatchPinProperties(true, index, ptr);
  case effGetOutputProperties:
    return DispatchPinProperties(false, index, ptr);
  case effGetPlugCategory:
    return IsInst() ? kPlugCategSynth : kPlugCategEffect;

  case effSetSpeakerArrangement:
  {
    const auto* in = reinterpret_cast<const VstSpeakerArrangement*>(value);
    const auto* out = static_cast<const VstSpeakerArrangement*>(ptr);
    if (in)
    {
      const int n = std::clamp<int>(in->numChannels, 0, NInChannels());
      SetInputChannelConnections(0, n, true);
      SetInputChannelConnections(n, NInChannels() - n, false);
    }
    if (out)
    {
      const int n = std::clamp<int>(out->numChannels, 0, NOutChannels());
      SetOutputChannelConnections(0, n, true);
      SetOutputChannelConnections(n, NOutChannels() - n, false);
    }
    return 1;
  }
  case effGetSpeakerArrangement:
    if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputSpkrArr;
    if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputSpkrArr;
    return 1;

  case effGetEffectName:
    if (!ptr) return 0;
    CopyText(static_cast<char*>(ptr), kEffectNameBytes, GetEffectName());
    return 1;
  case effGetProductString:
    if (!ptr) return 0;
    CopyText(static_cast<char*>(ptr), kProductStrBytes, GetProductName());
    return 1;
  case effGetVendorString:
    if (!ptr) return 0;
    CopyText(static_cast<char*>(ptr), kVendorStrBytes, GetMfrName());
    return 1;
  case effGetVendorVersion:
    return GetEffectVersion(true);
  case effCanDo:
    return DispatchCanDo(static_cast<const char*>(ptr));
  case effVendorSpecific:
    return DispatchVendorSpecific(index, value, ptr, opt);
  case effGetVstVersion:
    return kVstVersion;

  case effGetMidiKeyName:
  {
    if (!ptr) return 0;
    auto* keyName = static_cast<MidiKeyName*>(ptr);
    keyName->keyName[0] = '\0';
    char name[kMidiNoteNameBytes] = {};
    const bool named = GetMidiNoteName(keyName->thisKeyNumber, name);
    CopyText(keyName->keyName, sizeof(keyName->keyName), name);
    return named ? 1 : 0;
  }

  case effSetBypass:
    OnActiveChange(value == 0);
    return 0;
  case effStartProcess:
    OnActiveChange(true);
    return 0;
  case effStopProcess:
    OnActiveChange(false);
    return 0;
  case effGetMidiProgramName:
  case effGetCurrentMidiProgram:
  case effGetMidiProgramCategory:
  case effHasMidiProgramsChanged:
  case effBeginSetProgram:
  case effEndSetProgram:
    OnActiveChange(true);
    return 0;

  default:
    // effGetTailSize, effGetParameterProperties, effKeysRequired, effSetEditKnobMode,
    // the key opcodes, the offline and deprecated opcodes, effShellGetNextPlugin and unknown numbers.
    return 0;
  }
}

VstIntPtr IEffectVST::DispatchGetChunk(VstInt32 index, void* ptr)
{
  if (!ptr) return 0;
  const bool bank = index == 0;
  ByteChunk& chunk = bank ? mBankState : mState;
  chunk.Clear();
  chunk.AppendValue(static_cast<VstInt32>(GetEffectVersion(true)));
  if (bank) ModifyCurrentPreset();
  if (WriteState(&chunk) && chunk.Size() > 0)
  {
    *static_cast<void**>(ptr) = chunk.Bytes();
    return chunk.Size();
  }
  return 0;
}

VstIntPtr IEffectVST::DispatchSetChunk(VstInt32 index, VstIntPtr size, void* ptr)
{
  if (!ptr || size < 0 || size > INT32_MAX) return 0;
  ByteChunk& chunk = index == 0 ? mBankState : mState;
  chunk.Clear();
  chunk.AppendBytes(static_cast<const uint8_t*>(ptr), static_cast<int>(size));
  int pos = -1;
  VstInt32 version = 0;
  if (chunk.ReadValue(&version, 0) == kChunkVersionBytes)
  {
    OnStateVersion(version);
    pos = ReadState(&chunk, kChunkVersionBytes);
  }
  else
  {
    OnStateVersion(0); // fewer than 4 bytes: nothing is read
  }
  if (pos < 0) return 0;
  RedrawParamControls();
  return 1;
}

void IEffectVST::DispatchProcessEvents(const VstEvents* events)
{
  // The list is numEvents long although the record declares two entries: index through a pointer.
  VstEvent* const* list = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i)
  {
    const VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == kVstMidiType)
    {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      IMidiMsg msg(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                   static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2]));
      ProcessMidiMsg(&msg);
    }
    else if (event->type == kVstSysExType)
    {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      const bool hasData = sysex->sysexDump && sysex->dumpBytes > 0;
      ISysEx msg(sysex->deltaFrames, hasData ? reinterpret_cast<const uint8_t*>(sysex->sysexDump) : nullptr,
                 hasData ? sysex->dumpBytes : 0);
      ProcessSysExMsg(&msg);
    }
  }
}

VstIntPtr IEffectVST::DispatchPinProperties(bool input, VstInt32 index, void* ptr)
{
  const int count = input ? NInChannels() : NOutChannels();
  if (!ptr || index < 0 || index >= count) return 0;
  auto* pin = static_cast<VstPinProperties*>(ptr);
  pin->flags = kVstPinIsActive;
  if (index % 2 == 0 && index + 1 < count) pin->flags |= kVstPinIsStereo;
  std::snprintf(pin->label, sizeof(pin->label), input ? "Input %d" : "Output %d", index + 1);
  return 1;
}

VstIntPtr IEffectVST::DispatchCanDo(const char* query)
{
  if (!query) return 0;
  if (std::strcmp(query, kCanDoTimeInfo) == 0) return 1;
  const int midi = DoesMIDI();
  if (midi == kMidiReceiveAndSend || midi == kMidiSendOnly)
  {
    if (std::strcmp(query, kCanDoSendEvents) == 0 || std::strcmp(query, kCanDoSendMidi) == 0) return 1;
  }
  if (midi == kMidiReceiveAndSend || midi == kMidiReceiveOnly)
  {
    if (std::strcmp(query, kCanDoReceiveEvents) == 0 || std::strcmp(query, kCanDoReceiveMidi) == 0) return 1;
  }
  return 0;
}

VstIntPtr IEffectVST::DispatchVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  if (index == kVendorMouseWheelIndex && value == kVendorMouseWheelValue)
    return GetGraphics() ? GetGraphics()->ProcessMouseWheel(opt) : 0;
  if (index == kVendorEditorPictureIndex && value == kVendorEditorPictureValue)
  {
    auto* request = static_cast<EditorPictureRequest*>(ptr);
    if (!request || !GetGraphics()) return 0;
    if (!request->pixels)
    {
      const int scale = request->scale != 0 ? request->scale : GetGraphics()->ScalePercent();
      if (!IsEditorScale(scale)) return 0;
      request->width = UnitsToPixels(GetGraphics()->Width(), scale);
      request->height = UnitsToPixels(GetGraphics()->Height(), scale);
      return kVendorEditorPictureDrawn;
    }
    return GetGraphics()->DrawPicture(request->ticks, request->scale, request->pixels, request->width,
                                      request->height)
               ? kVendorEditorPictureDrawn
               : 0;
  }

  switch (index)
  {
  case kVendorFormatValue:
  {
    if (!ptr) return 0;
    const IParam* param = InIntRange(value, NParams()) ? GetParam(static_cast<int>(value)) : nullptr;
    if (param) param->GetDisplayForHost(opt, true, static_cast<char*>(ptr), kVendorTextBytes);
    return kVendorHandled;
  }
  case kVendorParseValue:
  {
    IParam* param = InIntRange(value, NParams()) ? GetParam(static_cast<int>(value)) : nullptr;
    if (!param || !ptr) return 0;
    char* text = static_cast<char*>(ptr);
    if (text[0] == '\0') return kVendorHandled;
    const double v = VSTString2Parameter(param, text);
    FormatFixed(param->GetNormalized(v), kParseValueDecimals, text, kVendorTextBytes);
    return kVendorHandled;
  }
  case kVendorCountNamedValues:
  {
    const IParam* param = InIntRange(value, NParams()) ? GetParam(static_cast<int>(value)) : nullptr;
    if (!param || param->Type() == IParam::kTypeInt || param->Type() == IParam::kTypeDouble) return 0;
    if (ptr) *static_cast<int*>(ptr) = param->GetNDisplayTexts();
    return kVendorHandled;
  }
  case kVendorExtraParamText:
  {
    if (!ptr || !InIntRange(value, GetExtraParamCount())) return 0;
    const int idx = static_cast<int>(value);
    char* text = static_cast<char*>(ptr);
    const size_t length = strnlen(text, kExtraParamBytes);
    if (length > MAX_EXTRA_PARAM_LEN) return 0; // longer than a stored text can be: refused
    if (length > 0)
    {
      char copy[kExtraParamBytes];
      CopyText(copy, sizeof(copy), text);
      OnExtraParam(idx, copy);
    }
    else
    {
      CopyText(text, kExtraParamBytes, GetExtraParam(idx));
    }
    return kVendorHandled;
  }
  case kVendorStateVersion:
    OnStateVersion(static_cast<int>(value));
    return 0;
  default:
    return 0;
  }
}
