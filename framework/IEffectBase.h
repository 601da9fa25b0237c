#pragma once
// IEffectBase: the host-independent core of one plug-in instance. It owns the parameter array, the
// preset list, the channel configuration and the audio buffers handed between the host binding and
// the render call, the sample rate and block size, the instance mutex, the attached editor context,
// the host's identity and the extra-parameter texts, and declares the hooks a plug-in overrides.
//
// Lifecycle: constructed by the plug-in class's constructor (parameters uninitialised, presets named
// "- N -", not ready) -> the plug-in initialises parameters, presets, extra texts and its editor ->
// the host binding opens the instance and applies every parameter (OnParamReset); the plug-in sets
// mParamsReady once all have passed OnParamChange -> process calls render -> the host closes the
// instance (OnInstanceClose, then destruction; the editor context is destroyed first).
//
// Threads: one recursive mutex per instance (Mutex()). The binding holds it for every dispatcher,
// parameter and process call; the default hooks and the parameter/state paths take it again.

#include "framework/ByteChunk.h"
#include "framework/HostCodes.h"
#include "framework/IGraphicsSeam.h"
#include "framework/IMidiMsg.h"
#include "framework/IParam.h"
#include "framework/IPreset.h"
#include "framework/ISysEx.h"
#include "framework/InstanceMutex.h"
#include "framework/PtrList.h"

#include <memory>
#include <mutex>
#include <vector>

constexpr int MAX_EFFECT_NAME_LEN = 128;
constexpr int MAX_PRODUCT_NAME_LEN = 128;
constexpr int MAX_MFR_NAME_LEN = 128;
constexpr int MAX_EXTRA_PARAM_LEN = 1024;                 // characters of one extra-parameter text
constexpr int kExtraParamBytes = MAX_EXTRA_PARAM_LEN + 1; // with the terminator
constexpr const char* kNoExtraParam = "0";                // an extra-parameter text without a value
constexpr int MAX_VERSION_STR_LEN = 32;                   // "v%d.%02d" fits with room to spare

// The editor framework's graphics context; the base reaches it through IGraphicsSeam.
class IGraphics;

// Versions 0xVVVVRRMM: major in the upper 16 bits, revision byte, minor byte.
void GetVersionParts(int version, int* major, int* revision, int* minor);
int GetDecimalVersion(int version);
// The version 0xVVVVRRMM of a decimal one (VVVVRRMM read as major * 10000 + revision * 100 + minor).
int VersionFromDecimal(int decimal);
// Writes "v%d.%02d" (major, revision) into out, at most MAX_VERSION_STR_LEN bytes.
void GetVersionStr(int version, char* out);

class IEffectBase
{
public:
  // nParams fresh parameters, channelIOStr like "0-2" or "1-1 2-2" (inputs-outputs pairs separated by
  // single spaces), nPresets numbered placeholders; vendorVersion is 0xVVVVRRMM; plugDoesMidi: 0 none,
  // 1 receive and send, 2 receive only, 3 send only. Bad names, MIDI values or I/O strings assert.
  IEffectBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
              int latency, int plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
  virtual ~IEffectBase();
  IEffectBase(const IEffectBase&) = delete;
  IEffectBase& operator=(const IEffectBase&) = delete;

  // ---- Hooks the plug-in overrides (defaults marked "locked" only take and release the mutex) ----
  virtual void Reset();                     // locked; after rate / block size changes and suspend
  virtual void MyParamChange(int idx);      // locked; the plug-in's own rebuild request
  virtual void OnParamChange(int paramIdx); // locked; apply one parameter's value
  // After a host automation write: locks and calls OnParamChange.
  virtual void OnHostParamChange(int paramIdx, float normalizedValue);
  // The render call, made with the mutex held. Default: inputs copied to outputs, other outputs zeroed.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnEditorOpen() {}
  virtual void OnEditorClose() {}
  virtual void OnInstanceClose() {}
  virtual void OnActiveChange(bool active); // locked
  virtual void ProcessMidiMsg(IMidiMsg* msg) { (void)msg; }
  virtual void ProcessSysExMsg(ISysEx* msg) { (void)msg; }
  // Name of a MIDI note for the host; default writes an empty name and answers false. name holds at
  // least kMidiNoteNameBytes bytes.
  virtual bool GetMidiNoteName(int noteNumber, char* name);
  virtual bool WriteState(ByteChunk* chunk) { return SerializeParams(chunk); }
  virtual int ReadState(ByteChunk* chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  virtual void OnExtraParam(int idx, char* text); // locked; a restored extra-parameter text
  virtual void OnStateVersion(int version);       // locked; version word of a chunk being loaded
  virtual bool ShouldRestoreParam(int paramIdx);  // locked; true

  // Host-facing notifications, supplied by the binding.
  virtual void BeginInformHostOfParamChange(int idx) = 0;
  virtual void BeginDelayedInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfParamChange(int idx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  // The plug-in's state changed in a way no parameter shows (a sample loaded in the editor).
  virtual void InformHostOfStateChange() = 0;
  // Notifications that waited for the host's editor thread go out if this is that thread (editor
  // ticks and idle calls).
  virtual void DeliverPendingHostCalls() {}
  // Transport, supplied by the binding.
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual int GetHost() { return mHost; }
  // The editor's size changed (w x h pixels; 0 x 0: ask the graphics context): the binding's editor
  // rectangle follows. Editor thread or constructor.
  virtual void ResizeGraphics(int w, int h) = 0;
  // Asks the host to resize the window around an open editor to w x h (pixels; points on macOS: the
  // measure of IGraphicsSeam::WindowWidth); true when it did.
  // Editor thread, instance mutex held.
  virtual bool SizeHostWindow(int w, int h) { return (void)w, (void)h, false; }
  virtual void HostSpecificInit() = 0;
  // Attaches the editor's graphics context (owned from now on); null is ignored. Editor thread or
  // constructor.
  virtual void AttachGraphics(IGraphicsSeam* graphics);
  virtual void SetBlockSize(int blockSize);
  virtual void SetLatency(int samples) { mLatency = samples; }
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendMidiMsgs(std::vector<IMidiMsg>* msgs);
  virtual bool SendSysEx(ISysEx* msg) = 0;

  // ---- State and presets (under the mutex) ----
  virtual bool SerializeParams(ByteChunk* chunk);
  // Position after the parameter values, or -1 if they ran short.
  virtual int UnserializeParams(ByteChunk* chunk, int startPos);

  // MakePreset(name, v0, v1, ...): one value per parameter in index order, an int for bool, int and
  // enum parameters and a double for the others. Construction time only.
  void MakePreset(const char* name, ...);
  // Marks the next nPresets uninitialised presets initialised, named name (or "Default").
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  // Adds one initialised "Default" preset when there are none.
  void EnsureDefaultPreset();
  IPreset* GetNextUninitializedPreset(PtrList<IPreset>* presets);
  const char* GetPresetName(int idx) const;
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  // Refreshes the current preset from the running state and renames it when name is not empty.
  void ModifyCurrentPreset(const char* name = nullptr);
  // Writes "user preset N" into name (at least MAX_PRESET_NAME_LEN bytes).
  void MakeDefaultUserPresetName(PtrList<IPreset>* presets, char* name);
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }

  // ---- Identity ----
  int GetEffectVersion(bool decimal) const;
  int GetHostVersion(bool decimal);
  void GetEffectVersionStr(char* out) const;
  void GetHostVersionStr(char* out);
  // Stores LookUpHost(hostName) (null counts as empty) and the 0xVVVVRRMM version.
  void SetHost(const char* hostName, int version);
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  int DoesMIDI() const { return mDoesMIDI; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }

  // ---- Audio set-up (binding, under the dispatcher's lock; no lock of their own) ----
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  double GetSamplesPerBeat();

  // ---- Channels and buffers (binding, around each process call) ----
  bool LegalIO(int nIn, int nOut) const;
  void LimitToStereoIO();
  int NInChannels() const { return static_cast<int>(mInChannels.size()); }
  int NOutChannels() const { return static_cast<int>(mOutChannels.size()); }
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  // Host pointer arrays: one pointer per connected channel of idx .. idx+n-1 (null arrays or null
  // pointers leave the channel on its scratch buffer). nFrames is at most the block size.
  void AttachInputBuffers(int idx, int n, double** data, int nFrames);
  void AttachInputBuffers(int idx, int n, float** data, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** data);
  void AttachOutputBuffers(int idx, int n, float** data);
  // Where the frames of the render in progress lie in the host's process call. A host block longer
  // than the announced block size is rendered in pieces of that size (the binding sets this around
  // each piece); MIDI offsets count from the start of the host's block, not of the piece. Outside a
  // process call, and for a direct call of the render, it describes one whole block.
  struct RenderPiece
  {
    int mStart = 0;     // the piece's first frame in the host's block
    bool mFirst = true; // the process call's first piece (clean-ups run once per call)
    bool mLast = true;  // the process call's last piece (the block is done after it)
  };
  const RenderPiece& CurrentPiece() const { return mPiece; }

  // The first argument only selects the sample type. nFrames is at most the block size; a call of
  // 0 frames still runs the render (its per-call clean-ups) and writes no buffer.
  void ProcessBuffers(double, int nFrames);
  void ProcessBuffers(float, int nFrames);
  void ProcessBuffersAccumulating(float, int nFrames);
  void PassThroughBuffers(double, int nFrames);
  void PassThroughBuffers(float, int nFrames);

  // ---- Parameters and editor ----
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  int NParams() const { return mParams.GetSize(); }
  // Editor gesture: under the mutex sets the parameter, informs the host, applies it.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // Ends a gesture now without an editor, else half a second of editor ticks after the last edit.
  void DelayEndInformHostOfParamChange(int paramIdx);
  void EndDelayedInformHostOfParamChange();
  void RedrawParamControls();
  // Applies every parameter in index order through OnParamChange.
  void OnParamReset();
  IGraphicsSeam* GetGraphics() const { return mGraphics.get(); }

  // ---- Extra-parameter texts ----
  // Creates n texts of kExtraParamBytes bytes holding "0" (constructor only).
  void InitExtraParams(int n);
  int GetExtraParamCount() const { return mExtraParamCount; }
  // The stored text of extra parameter idx, or null outside the list. Writable: kExtraParamBytes.
  char* GetExtraParam(int idx);
  // Stores text (cut to MAX_EXTRA_PARAM_LEN characters); false outside the list or for null text.
  bool SetExtraParam(int idx, const char* text);

  InstanceMutex& Mutex() { return mMutex; }

  // Set by the plug-in once each parameter has passed OnParamChange; the render waits for it.
  bool mParamsReady = false;
  int mExtraParamCount = 0;
  std::vector<std::unique_ptr<char[]>> mExtraParams;

protected:
  struct IOPair
  {
    int mIn;
    int mOut;
  };
  struct InChannel
  {
    bool mConnected = false;
    double** mSrc = nullptr; // slot in mInData
    std::vector<double> mScratchBuf;
  };
  struct OutChannel
  {
    bool mConnected = false;
    double** mDest = nullptr; // slot in mOutData
    float* mFDest = nullptr;  // host float buffer, or null
    std::vector<double> mScratchBuf;
  };

  // Frames a process call may touch: nFrames clipped into 0 .. block size.
  int ClampFrames(int nFrames) const;
  void ConvertOutputsToFloat(int nFrames, bool accumulate);
  // The plug-in's render when it is ready (also for 0 frames), then FlushTinyOutputs.
  void RenderOutputs(int frames);
  // Output values smaller in size than the smallest normal float become 0.
  void FlushTinyOutputs(int nFrames);

  std::vector<IOPair> mChannelIO;
  PtrList<IParam> mParams;
  PtrList<IPreset> mPresets;
  int mCurrentPresetIdx = 0;
  int mParamChangeIndex = -1;
  InstanceMutex mMutex;

  char mEffectName[MAX_EFFECT_NAME_LEN] = {};
  char mProductName[MAX_PRODUCT_NAME_LEN] = {};
  char mMfrName[MAX_MFR_NAME_LEN] = {};
  int mUniqueID = 0;
  int mMfrID = 0;
  int mVersion = 0;
  int mHost = kHostUnknown;
  int mHostVersion = 0;
  bool mStateChunks = false;
  bool mIsInst = false;
  int mDoesMIDI = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency = 0;
  std::unique_ptr<IGraphicsSeam> mGraphics;
  std::vector<double*> mInData;
  std::vector<double*> mOutData;
  std::vector<std::unique_ptr<InChannel>> mInChannels;
  std::vector<std::unique_ptr<OutChannel>> mOutChannels;
  RenderPiece mPiece;
};

constexpr int kMidiNoteNameBytes = 64; // a host's MIDI key name field (published kVstMaxNameLen)
