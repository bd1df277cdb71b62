// thread.h: native threads, behind one small interface.
//
// Depends on: POSIX threads (thread_posix.cpp) or CreateThread, WaitForSingleObject and CloseHandle
// (thread_win32.cpp).
// Must not touch: runtime objects.
#pragma once

struct BBPlatformThread;

// Starts fn(arg) on a new thread; null when no thread could be started.
BBPlatformThread* bbPlatformThreadStart(void (*fn)(void*), void* arg);
// Waits without limit for the thread to end and releases its handle.
void bbPlatformThreadJoin(BBPlatformThread* thread);
