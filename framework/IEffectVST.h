#pragma once
// IEffectVST: binds the plug-in base to the VST 2.4 interface. Fills the AEffect record the host
// holds, answers every dispatcher opcode, moves audio and MIDI between the host's formats and the
// base's, reads the host's transport and reports parameter edits and program changes to the host.
//
// Host quirks handled here (one per line where they are handled): repeated effOpen, zero or negative
// block size and rate, process before resume, process calls longer than the announced block, unpaired
// editor open/close, indexes outside [0, count), null pointers, short or truncated chunks, over-long
// program names. Every dispatcher, parameter and process call holds the instance mutex; no exception
// leaves these calls.

#include "framework/HostCallRouter.h"
#include "framework/IEffectBase.h"
#include "framework/VstDefs.h"

// What the entry point hands the plug-in class's constructor.
struct IEffectInstanceInfo
{
  audioMasterCallback mHostCallback = nullptr;
};

// Speaker arrangement type of a channel count.
VstInt32 VSTSpkrArrType(int nChannels);

// The host's vendor-specific extensions served by effVendorSpecific.
constexpr VstInt32 kVendorMouseWheelIndex = VstFourCC('s', 't', 'C', 'A');
constexpr VstIntPtr kVendorMouseWheelValue = VstFourCC('W', 'h', 'e', 'e');
constexpr VstInt32 kVendorFormatValue = 7;      // value = param, opt = normalised, ptr = text out
constexpr VstInt32 kVendorCountNamedValues = 8; // value = param, ptr = int out
constexpr VstInt32 kVendorParseValue = 27;      // value = param, ptr = text in, normalised out
constexpr VstInt32 kVendorExtraParamText = 56;  // value = text index, ptr = text in or out
constexpr VstInt32 kVendorStateVersion = 58;    // value = version
constexpr VstIntPtr kVendorHandled = 0xBEEF;    // answer of a served vendor call
constexpr VstIntPtr kEffectIdentity = VstFourCC('N', 'v', 'E', 'f');
constexpr int kDefaultBlockSize = 1024;                // frames the buffers are sized for at construction
constexpr int kHostProductStrBytes = 256;              // buffer for the host's product string
constexpr int kVendorTextBytes = 64;                   // bound of texts written for the vendor calls
constexpr int kHostParamStrBytes = MAX_PARAM_NAME_LEN; // bound of parameter name/label/display copies

class IEffectVST : public IEffectBase
{
public:
  IEffectVST(IEffectInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
             int uniqueID, int mfrID, int latency, int plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
  ~IEffectVST() override;

  // Host notifications (editor thread, loader thread or dispatcher, under the mutex). They reach the
  // host on the thread that sends effEditIdle while it sends it, else at once (HostCallRouter).
  void BeginInformHostOfParamChange(int idx) override;
  void BeginDelayedInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override;
  void InformHostOfStateChange() override;
  // Sends the notifications that waited for this thread, if it is the one they wait for.
  void DeliverPendingHostCalls() override;

  // Transport via audioMasterGetTime (audio thread, from the render).
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  // 1 playing, 2 recording without playing, else 0.
  int GetPlaying();
  bool IsRenderingOffline();

  // Identifies the host on first use.
  int GetHost() override;
  void HostSpecificInit() override;
  void AttachGraphics(IGraphicsSeam* graphics) override;
  void ResizeGraphics(int w, int h) override;
  // audioMasterSizeWindow; hosts that resize answer 1 (most answer 0 when they do not).
  bool SizeHostWindow(int w, int h) override;
  void SetLatency(int samples) override;

  // Each sends one event with audioMasterProcessEvents; true when the host answered 1.
  bool SendMidiMsg(IMidiMsg* msg) override;
  bool SendSysEx(ISysEx* msg) override;
  bool SendVSTEvent(VstEvent* event);

  audioMasterCallback GetHostCallback() const { return mHostCallback; }
  AEffect* GetAEffect() { return &mAEffect; }

  // The callbacks stored in the AEffect.
  static VstIntPtr VSTDispatcher(AEffect* effect, VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
  static void VSTSetParameter(AEffect* effect, VstInt32 idx, float value);
  static float VSTGetParameter(AEffect* effect, VstInt32 idx);
  static void VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, VstInt32 nFrames);

protected:
  // One dispatcher call with the mutex held (effClose is handled by VSTDispatcher).
  VstIntPtr Dispatch(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr DispatchVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr DispatchCanDo(const char* query);
  VstIntPtr DispatchGetChunk(VstInt32 index, void* ptr);
  VstIntPtr DispatchSetChunk(VstInt32 index, VstIntPtr size, void* ptr);
  void DispatchProcessEvents(const VstEvents* events);
  VstIntPtr DispatchPinProperties(bool input, VstInt32 index, void* ptr);
  VstIntPtr CallHost(VstInt32 opCode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  const VstTimeInfo* GetTimeInfo(VstInt32 filter);
  // A notification of the user's edits, on the thread the host expects it (see HostCallRouter).
  void CallHostForEdit(VstInt32 opCode, VstInt32 index, float opt);
  // Shared body of the three process callbacks: audio in pieces of at most the block size.
  template <class Sample>
  void ProcessInPieces(Sample** inputs, Sample** outputs, int nFrames, bool accumulate);

  ERect mEditRect = {};
  audioMasterCallback mHostCallback = nullptr;
  VstSpeakerArrangement mInputSpkrArr = {};
  VstSpeakerArrangement mOutputSpkrArr = {};
  bool mHostSpecificInitDone = false;
  ByteChunk mState;     // answer of program chunk requests
  ByteChunk mBankState; // answer of bank chunk requests
  AEffect mAEffect = {};
  HostCallRouter mHostCalls;
  // Pointer scratch for process calls split into pieces (sized at construction, no allocation later).
  std::vector<float*> mPieceInF;
  std::vector<float*> mPieceOutF;
  std::vector<double*> mPieceInD;
  std::vector<double*> mPieceOutD;
};

// Text-to-value for host text entry: a matching display text's value, else the number in text
// (locale-independent), negated when the parameter shows negated values. 0 for null arguments.
double VSTString2Parameter(IParam* param, const char* text);
