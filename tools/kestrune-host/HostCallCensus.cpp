#include "tools/kestrune-host/HostCallCensus.h"

namespace khost
{

namespace
{
const char* const kOpcodeNames[HostCallCensus::kOpcodes] = {"audioMasterAutomate", "audioMasterBeginEdit",
                                                            "audioMasterEndEdit", "audioMasterUpdateDisplay"};
const char* const kKindNames[HostCallCensus::kThreadKinds] = {"idle thread", "loop thread", "audio thread",
                                                              "other threads"};

int OpcodeIndex(VstInt32 opcode)
{
  switch (opcode)
  {
  case audioMasterAutomate:
    return HostCallCensus::kAutomate;
  case audioMasterBeginEdit:
    return HostCallCensus::kBeginEdit;
  case audioMasterEndEdit:
    return HostCallCensus::kEndEdit;
  case audioMasterUpdateDisplay:
    return HostCallCensus::kUpdateDisplay;
  default:
    return -1;
  }
}
} // namespace

HostCallCensus::ThreadKind HostCallCensus::KindOfThisThread() const
{
  const std::thread::id self = std::this_thread::get_id();
  if (self == mIdle.load()) return kIdleThread;
  if (self == mLoop.load()) return kLoopThread;
  if (self == mAudio.load()) return kAudioThread;
  return kOtherThread;
}

void HostCallCensus::Record(VstInt32 opcode)
{
  const int op = OpcodeIndex(opcode);
  if (op < 0) return;
  const ThreadKind kind = KindOfThisThread();
  mCounts[op][kind].fetch_add(1);
  if (kind != kOtherThread) return;
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(mOthersMutex);
  for (int i = 0; i < mOtherCount; ++i)
    if (mOthers[i] == self) return;
  if (mOtherCount < kMaxOtherThreads) mOthers[mOtherCount++] = self;
}

long HostCallCensus::Count(Opcode opcode, ThreadKind kind) const
{
  return mCounts[opcode][kind].load();
}

int HostCallCensus::OtherThreads() const
{
  std::lock_guard<std::mutex> lock(mOthersMutex);
  return mOtherCount;
}

std::vector<std::string> HostCallCensus::Describe() const
{
  std::vector<std::string> lines;
  for (int op = 0; op < kOpcodes; ++op)
  {
    std::string line = std::string("calls ") + kOpcodeNames[op] + ":";
    for (int kind = 0; kind < kThreadKinds; ++kind)
      line += std::string(kind ? ", " : " ") + kKindNames[kind] + " " +
              std::to_string(Count(static_cast<Opcode>(op), static_cast<ThreadKind>(kind)));
    lines.push_back(line);
  }
  lines.push_back("calls came from " + std::to_string(OtherThreads()) + " other threads");
  return lines;
}
} // namespace khost
