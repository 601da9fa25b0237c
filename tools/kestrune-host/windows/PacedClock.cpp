#include "tools/kestrune-host/PacedClock.h"

#include <windows.h>

namespace khost
{

namespace
{
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

int64_t Frequency()
{
  static const int64_t frequency = []
  {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<int64_t>(f.QuadPart);
  }();
  return frequency;
}
} // namespace

PacedClock::PacedClock()
{
  // A high-resolution timer where the system has one; an ordinary one (coarser) elsewhere.
  mTimer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
  if (!mTimer) mTimer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
}

PacedClock::~PacedClock()
{
  if (mTimer) CloseHandle(static_cast<HANDLE>(mTimer));
}

int64_t PacedClock::NowNs()
{
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const int64_t f = Frequency();
  const int64_t ticks = static_cast<int64_t>(now.QuadPart);
  return ticks / f * 1000000000 + ticks % f * 1000000000 / f;
}

void PacedClock::SleepUntil(int64_t deadlineNs)
{
  const int64_t waitNs = deadlineNs - NowNs();
  if (waitNs <= 0) return;
  if (mTimer)
  {
    LARGE_INTEGER due;
    due.QuadPart = -(waitNs / 100); // relative, in units of 100 ns
    if (due.QuadPart < 0 && SetWaitableTimer(static_cast<HANDLE>(mTimer), &due, 0, nullptr, nullptr, FALSE))
    {
      WaitForSingleObject(static_cast<HANDLE>(mTimer), INFINITE);
      return;
    }
  }
  Sleep(static_cast<DWORD>(waitNs / 1000000));
}

bool PacedClock::RaiseToAudioPriority()
{
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL) != FALSE;
}
} // namespace khost
