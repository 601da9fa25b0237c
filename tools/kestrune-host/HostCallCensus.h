#pragma once
// Which threads the plug-in calls the host from when it reports the user's edits: automation, the
// begin and end of a gesture, and display updates (a changed sample, a changed program). A DAW runs
// its editor side on the thread that sends effEditIdle and expects these calls there; a call on a
// thread the host does not know (a plug-in's loader or its own window thread) may reach code that is
// not ready for it. Each call is counted by opcode and by the kind of thread it came on: the thread
// that sends effEditIdle, the host's loop thread when another one sends the idle calls (or none
// does), the audio thread, or any other thread.
//
// Record and the thread notes are for any thread and allocate nothing.

#include "framework/VstDefs.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace khost
{

class HostCallCensus
{
public:
  enum Opcode
  {
    kAutomate,
    kBeginEdit,
    kEndEdit,
    kUpdateDisplay,
    kOpcodes
  };
  enum ThreadKind
  {
    kIdleThread,
    kLoopThread,
    kAudioThread,
    kOtherThread,
    kThreadKinds
  };

  // The calling thread is the host's event loop / is about to send effEditIdle / renders audio.
  void SetLoopThread() { mLoop.store(std::this_thread::get_id()); }
  void NoteIdleThread() { mIdle.store(std::this_thread::get_id()); }
  void SetAudioThread() { mAudio.store(std::this_thread::get_id()); }

  // Counts a host call made on the calling thread; opcodes other than the four are not counted.
  void Record(VstInt32 opcode);
  long Count(Opcode opcode, ThreadKind kind) const;
  // How many different threads the calls counted as "other" came from.
  int OtherThreads() const;
  // One line per opcode, "calls audioMasterAutomate: idle thread N, loop thread N, audio thread N,
  // other threads N", and "calls came from N other threads".
  std::vector<std::string> Describe() const;

private:
  static constexpr int kMaxOtherThreads = 16;

  ThreadKind KindOfThisThread() const;

  std::atomic<std::thread::id> mLoop{}, mIdle{}, mAudio{};
  std::atomic<long> mCounts[kOpcodes][kThreadKinds] = {};
  mutable std::mutex mOthersMutex;
  std::thread::id mOthers[kMaxOtherThreads] = {};
  int mOtherCount = 0;
};
} // namespace khost
