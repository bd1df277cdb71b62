// local_time_posix.cpp: the local date and time through the C library, on POSIX and in the browser.
#include "clock.h"

#include <ctime>

BBLocalTime bbPlatformLocalTime() {
  time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
          local.tm_sec};
}
