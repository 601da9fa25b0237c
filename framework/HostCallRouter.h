#pragma once
// HostCallRouter: decides on which thread the host hears of the user's edits (automation, begin and
// end of a gesture, "the state changed"). Hosts that send effEditIdle run their editor side on the
// thread that sends it and expect these calls there, not on a thread they do not know; so while idle
// calls keep coming, a call made on any other thread is queued and delivered at the next idle call.
// A host that never idles hears them at once, on the editor's own thread. Threads of ours that do
// background work (the sample loader) never call the host: theirs wait for the idle call or the
// editor's next tick.
//
// Any thread but the audio thread (queuing allocates).

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class HostCallRouter
{
public:
  struct Call
  {
    int32_t opCode;
    int32_t index;
    float opt;
  };

  // How recent the last idle call must be for the host to count as one that idles.
  static constexpr int64_t kIdleFreshNs = 250'000'000;

  // effEditIdle arrived on the calling thread.
  void IdleCalled();
  // The host has stopped idling (its editor closed): calls go out at once again.
  void IdleStopped();
  // A call made on this thread may go to the host now.
  bool MayCallHostHere() const;
  void Queue(const Call& call);
  // The queued calls, oldest first; empty unless MayCallHostHere().
  std::vector<Call> TakeDeliverable();

  // The calling thread works in the background and never calls the host itself.
  static void MarkBackgroundThread();

private:
  bool IdleFresh() const;

  std::atomic<int64_t> mLastIdleNs{0};
  std::atomic<std::thread::id> mIdleThread{};
  std::mutex mMutex;
  std::vector<Call> mQueued;
};
