#pragma once
// A host for the plug-in tests: a host callback that records what the plug-in tells the host and
// answers the questions it asks (time information, product string), the loaded Kestrune module, and
// an instance wrapper that drives the AEffect the way a host does.

#include "framework/VstDefs.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace plugintest
{

struct HostCall
{
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  float opt;
  std::thread::id thread; // the thread the plug-in called from
};

struct SentMidi
{
  VstInt32 deltaFrames;
  uint8_t bytes[3];
};

// The recording host. One is current at a time (the callback has no context pointer of its own);
// constructing one makes it current, destroying it clears that.
class TestHost
{
public:
  TestHost();
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);

  int Count(VstInt32 opcode) const;
  void ClearRecord();

  std::mutex mCallsMutex; // the plug-in may call from several threads
  std::vector<HostCall> mCalls;
  std::vector<SentMidi> mMidiOut;
  VstTimeInfo mTimeInfo = {}; // what audioMasterGetTime answers
};

// The built module, opened once per process.
class PluginModule
{
public:
  using Entry = AEffect* (*)(audioMasterCallback);
  static PluginModule& Get();
  static const char* Path();

  bool Loaded() const { return mHandle != nullptr; }
  std::string Error() const { return mError; }
  Entry mVSTPluginMain = nullptr;
  Entry mMain = nullptr;

private:
  PluginModule();
  void* mHandle = nullptr;
  std::string mError;
};

// One instance of the module, created through VSTPluginMain and closed with effClose.
class PluginInstance
{
public:
  explicit PluginInstance(PluginModule::Entry entry = nullptr);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  AEffect* Effect() const { return mEffect; }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // Set-up as a host does it: rate, block size, open, resume.
  void Open(float sampleRate = 44100.0f, int blockSize = 512);

  void SetParameter(int idx, float value) { mEffect->setParameter(mEffect, idx, value); }
  float GetParameter(int idx) { return mEffect->getParameter(mEffect, idx); }
  std::string ParamText(VstInt32 opcode, int idx);
  std::string ProgramName();
  std::string ProgramNameIndexed(int idx);

  // The state chunk (index 1: program chunk; 0: bank chunk) copied out of the plug-in.
  std::vector<uint8_t> GetChunk(int index = 1);
  VstIntPtr SetChunk(const std::vector<uint8_t>& bytes, int index = 1);

  // Sends MIDI events of (deltaFrames, three bytes) through effProcessEvents.
  VstIntPtr SendMidi(const std::vector<SentMidi>& events);

private:
  AEffect* mEffect = nullptr;
};
} // namespace plugintest
