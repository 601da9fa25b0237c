#include "tools/kestrune-host/PacedClock.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <time.h>

namespace khost
{

namespace
{
constexpr int64_t kNsPerSecond = 1000000000;
} // namespace

PacedClock::PacedClock() = default;
PacedClock::~PacedClock() = default;

int64_t PacedClock::NowNs()
{
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

void PacedClock::SleepUntil(int64_t deadlineNs)
{
  timespec deadline = {};
  deadline.tv_sec = static_cast<time_t>(deadlineNs / kNsPerSecond);
  deadline.tv_nsec = static_cast<long>(deadlineNs % kNsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR)
  {
  }
}

bool PacedClock::RaiseToAudioPriority()
{
  // Low in the real-time range, as audio servers and DAWs run their audio threads.
  sched_param param = {};
  param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}
} // namespace khost
