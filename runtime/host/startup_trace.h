// startup_trace.h: when the first frames appear, for the start-up benchmark.
//
// With ZUDODO_STARTUP_TRACE set in the environment, every event marked here is written once, as
// "startup: EVENT MICROSECONDS" on standard error, right after the buffer swap of the first frame
// that shows it; MICROSECONDS is read from the real-time clock, so a launcher subtracts the time
// at which it started the process. The host marks "first frame", the game "title menu". Without
// the variable nothing is written and a mark costs one test of a flag.
// Depends on: the C library. Must not touch: anything else.
#pragma once

// Marks an event that the next frame shows.
void bbStartupMark(const char* event);
// After a frame's buffer swap: writes the events marked since the last one.
void bbStartupPresented();
