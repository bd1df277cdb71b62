// clock_web.cpp: clocks and sleep in the browser.
#include "clock.h"

#include <emscripten.h>

// The page's high-resolution clock (performance.now), in microseconds.
long long bbPlatformCounter() { return static_cast<long long>(emscripten_get_now() * 1000.0); }

long long bbPlatformCounterFrequency() { return 1000000LL; }

// The page's main thread must never block: a wait there freezes the page, and time would not pass
// during it anyway. The host's loop waits between the browser's frames instead (RunLoop), so a
// sleep returns at once.
void bbPlatformSleep(double) {}
