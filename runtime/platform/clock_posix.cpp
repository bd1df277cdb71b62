// clock_posix.cpp: clocks and sleep over POSIX.
#include "clock.h"

#include <cerrno>
#include <ctime>

long long bbPlatformCounter() {
  timespec ts;
  if (clock_gettime(CLOCK_MONOTONIC, &ts) != 0) return -1;
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long long bbPlatformCounterFrequency() { return 1000000000LL; }

void bbPlatformSleep(double seconds) {
  if (!(seconds > 0)) return;
  timespec ts;
  ts.tv_sec = static_cast<time_t>(seconds);
  ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}
