// clock_win32.cpp: clocks and sleep over the Windows API: the high-resolution performance counter,
// a high-resolution waitable timer (or Sleep with a one-millisecond timer period), and the local
// time.
#include "clock.h"

#include <windows.h>
#include <mmsystem.h>

#include <cmath>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

long long bbPlatformCounter() {
  LARGE_INTEGER count;
  if (!QueryPerformanceCounter(&count)) return -1;
  return count.QuadPart;
}

long long bbPlatformCounterFrequency() {
  // Fixed at boot, so read once.
  static const long long frequency = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 1LL;
  }();
  return frequency;
}

void bbPlatformSleep(double seconds) {
  if (!(seconds > 0)) return;
  // A high-resolution waitable timer (Windows 10 1803 on) waits for the time asked, fractions of a
  // millisecond included; one per thread, made on its first sleep.
  thread_local HANDLE timer =
      CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
  if (timer && seconds < 1e6) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(std::ceil(seconds * 1e7));  // relative, in 100 ns
    if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
        WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0)
      return;
  }
  // Otherwise Sleep, which rounds to the system timer's period, 15.6 ms unless asked otherwise: ask
  // for 1 ms for the rest of the process, so that waiting for the next update does not overshoot it
  // by a frame. The wait is rounded up: a remainder under a millisecond must not become Sleep(0),
  // which returns at once and leaves the loop spinning.
  static const bool finePeriod = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)finePeriod;
  double ms = std::ceil(seconds * 1000.0);
  Sleep(ms >= 4294967294.0 ? 4294967294UL : static_cast<DWORD>(ms));
}

BBLocalTime bbPlatformLocalTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}
