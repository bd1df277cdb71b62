// startup_trace.cpp: the start-up timestamps (see startup_trace.h).
#include "startup_trace.h"

#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kEvents = 8;
bool Enabled() {
  static const bool enabled = std::getenv("ZUDODO_STARTUP_TRACE") != nullptr;
  return enabled;
}
const char* gMarked[kEvents];  // events waiting for the next swap
int gMarkedCount = 0;
const char* gWritten[kEvents];  // events already written
int gWrittenCount = 0;

bool Contains(const char* const* list, int count, const char* event) {
  for (int i = 0; i < count; ++i)
    if (std::strcmp(list[i], event) == 0) return true;
  return false;
}

}  // namespace

void bbStartupMark(const char* event) {
  if (!Enabled() || Contains(gWritten, gWrittenCount, event) || Contains(gMarked, gMarkedCount, event)) return;
  if (gMarkedCount < kEvents && gWrittenCount + gMarkedCount < kEvents) gMarked[gMarkedCount++] = event;
}

void bbStartupPresented() {
  if (!Enabled() || gMarkedCount == 0) return;
  timeval now;
  gettimeofday(&now, nullptr);
  long long us = static_cast<long long>(now.tv_sec) * 1000000 + now.tv_usec;
  for (int i = 0; i < gMarkedCount; ++i) {
    std::fprintf(stderr, "startup: %s %lld\n", gMarked[i], us);
    gWritten[gWrittenCount++] = gMarked[i];
  }
  std::fflush(stderr);
  gMarkedCount = 0;
}
