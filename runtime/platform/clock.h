// clock.h: the operating system's clocks and sleep, behind one small interface.
//
// Depends on: POSIX clocks (clock_posix.cpp) or the Windows performance counter, Sleep and local
// time (clock_win32.cpp). Must not touch: any runtime object.
#pragma once

// Ticks of the high-resolution monotonic counter, or -1 when it cannot be read.
long long bbPlatformCounter();
// Ticks per second of that counter.
long long bbPlatformCounterFrequency();
// Blocks the calling thread for the given number of seconds (nothing for 0 or less).
void bbPlatformSleep(double seconds);

// The local calendar time, broken down.
struct BBLocalTime {
  int year, month, day, hour, minute, second;  // month 1-12, day 1-31
};
BBLocalTime bbPlatformLocalTime();
