// clock_win32.cpp: clocks and sleep over the Windows API: the high-resolution performance counter,
// Sleep with a one-millisecond timer period, and the local time.
#include "clock.h"

#include <windows.h>
#include <mmsystem.h>

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
  // Sleep rounds to the system timer's period, 15.6 ms unless asked otherwise: ask for 1 ms for the
  // rest of the process, so that waiting for the next update does not overshoot it by a frame.
  static const bool finePeriod = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)finePeriod;
  double ms = seconds * 1000.0;
  Sleep(ms >= 4294967294.0 ? 4294967294UL : static_cast<DWORD>(ms));
}

BBLocalTime bbPlatformLocalTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}
