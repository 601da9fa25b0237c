#pragma once
// One plug-in instance driven the way a DAW drives it: created through the module's entry point,
// set up (rate, block size, open, resume), fed MIDI events with their frame offsets and asked for
// audio block by block, with a transport the host callback reports. It also keeps what the plug-in
// sent back to the host (MIDI, automation, gestures) for the validator.
//
// Thread use: one thread drives an instance (set-up, events, processing); SetParameter and the text
// queries may come from a second thread, as host automation and a UI do. Processing and sending
// events allocate nothing on the host side.

#include "framework/VstDefs.h"
#include "tools/kestrune-host/HostCallCensus.h"
#include "tools/kestrune-host/PluginLibrary.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace khost
{

struct RecordedMidi
{
  VstInt32 deltaFrames;
  uint8_t bytes[3];
};

class HostedPlugin
{
public:
  // Creates an instance; Effect() is null when the plug-in refused. The rate and block size are what
  // the host answers when the plug-in asks for them while it is being constructed, as a DAW answers
  // with its engine's settings; effSetSampleRate and effSetBlockSize still follow in Start.
  explicit HostedPlugin(const PluginLibrary& library, double sampleRate = 48000.0, int blockFrames = 512);
  ~HostedPlugin();
  HostedPlugin(const HostedPlugin&) = delete;
  HostedPlugin& operator=(const HostedPlugin&) = delete;

  AEffect* Effect() const { return mEffect; }
  bool Valid() const { return mEffect != nullptr; }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  // The usual set-up order of the common DAWs: open, sample rate, block size, resume, start.
  void Open();
  void SetSampleRate(double rate);
  void SetBlockSize(int frames);
  void Resume();
  void Suspend();
  // Open, rate, block size and resume in one.
  void Start(double rate, int blockFrames);
  // effClose; the instance is gone afterwards. Called by the destructor when not done before.
  void Close();

  double SampleRate() const { return mSampleRate; }
  int BlockSize() const { return mBlockFrames; }
  int NumInputs() const { return mEffect ? mEffect->numInputs : 0; }
  int NumOutputs() const { return mEffect ? mEffect->numOutputs : 0; }
  int NumParams() const { return mEffect ? mEffect->numParams : 0; }
  int NumPrograms() const { return mEffect ? mEffect->numPrograms : 0; }
  bool HasFlag(VstInt32 flag) const { return mEffect && (mEffect->flags & flag) != 0; }
  bool IsSynth() const { return HasFlag(effFlagsIsSynth); }
  bool CanDo(const char* what);
  bool TakesMidi();

  // Texts the plug-in writes into host buffers; the answer is cut at the first terminator.
  std::string DispatchText(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);
  std::string ParamName(int idx) { return DispatchText(effGetParamName, idx); }
  std::string ParamLabel(int idx) { return DispatchText(effGetParamLabel, idx); }
  std::string ParamDisplay(int idx) { return DispatchText(effGetParamDisplay, idx); }
  std::string ProgramName() { return DispatchText(effGetProgramName); }
  std::string ProgramNameIndexed(int idx) { return DispatchText(effGetProgramNameIndexed, idx); }
  std::string EffectName() { return DispatchText(effGetEffectName); }
  std::string VendorString() { return DispatchText(effGetVendorString); }
  std::string ProductString() { return DispatchText(effGetProductString); }
  // Sets a parameter from its display text through effString2Parameter; false when not answered.
  bool SetParamFromText(int idx, const std::string& text);

  void SetParameter(int idx, float value);
  float GetParameter(int idx);

  // State chunks: index 0 is the bank (the whole instance), 1 a program.
  bool HasChunks() const { return HasFlag(effFlagsProgramChunks); }
  std::vector<uint8_t> GetChunk(bool program = false);
  VstIntPtr SetChunk(const std::vector<uint8_t>& bytes, bool program = false);

  // The vendor-specific call that hands an extra-parameter text (a sample path) to text slot idx.
  // True when the plug-in answered that it handled the call.
  bool SetExtraParamText(int idx, const std::string& text);
  // The text the plug-in keeps in text slot idx (the same call with an empty text); false when not answered.
  bool GetExtraParamText(int idx, std::string* text);

  // MIDI for the next process call: events wait until SendEvents hands them over in one list.
  bool QueueMidi(int deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
  void SendEvents();
  int QueuedEvents() const { return mQueued; }

  // Transport reported through audioMasterGetTime for the next block.
  void SetTransport(double samplePos, double tempoBpm, double ppqPos, bool playing);
  const VstTimeInfo& TimeInfo() const { return mTimeInfo; }
  void SetProcessLevel(int level) { mProcessLevel = level; }
  int ProcessLevel() const { return mProcessLevel; }

  // Inputs carry a quiet sine (for effects) instead of silence when this is on.
  void FeedInputSignal(bool on) { mInputSignal = on; }

  // One process call of nFrames (at most kMaxBlockFrames) into the output buffers, single or double
  // precision. Queued events are sent first.
  void Process(int nFrames, bool doublePrecision = false);
  // Output channel ch of the last process call, as doubles whichever precision ran.
  double OutputSample(int ch, int frame) const;
  const float* OutputFloat(int ch) const { return mOutFloat[ch].data(); }

  // Allocations in event and process calls are counted when this is on.
  void CountAllocations(bool on) { mCountAllocations = on; }

  // What the plug-in sent to the host.
  const std::vector<RecordedMidi>& MidiOut() const { return mMidiOut; }
  void ClearRecords();
  int AutomateCalls() const { return mAutomateCalls.load(); }
  // The threads the plug-in reported the user's edits on (automation, gestures, display updates).
  HostCallCensus& Census() { return mCensus; }
  int DroppedMidiOut() const { return mDroppedMidiOut.load(); }

  // The instance being constructed on the calling thread, if any: it answers the host calls that
  // arrive before its record is known.
  static HostedPlugin* BeingCreated();

  // Host callback services for this instance.
  VstIntPtr OnHostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

private:
  void EnsureDoubleBuffers();

  AEffect* mEffect = nullptr;
  double mSampleRate = 44100.0;
  int mBlockFrames = 512;
  int mProcessLevel = kVstProcessLevelRealtime;
  VstTimeInfo mTimeInfo = {};
  bool mCountAllocations = false;

  std::vector<VstMidiEvent> mEventPool;
  std::vector<char> mEventList; // a VstEvents record with room for the pool
  int mQueued = 0;

  std::vector<std::vector<float>> mInFloat, mOutFloat;
  std::vector<std::vector<double>> mInDouble, mOutDouble;
  std::vector<float*> mInPtrs, mOutPtrs;
  std::vector<double*> mInPtrsD, mOutPtrsD;
  bool mLastDouble = false;
  bool mInputSignal = false;
  int64_t mInputFrame = 0;

  std::vector<RecordedMidi> mMidiOut;
  std::atomic<int> mAutomateCalls{0};
  std::atomic<int> mDroppedMidiOut{0};
  HostCallCensus mCensus;
};
} // namespace khost
