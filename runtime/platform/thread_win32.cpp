// thread_win32.cpp: native threads over Windows threads.
#include "thread.h"

#include <windows.h>

#include <new>

struct BBPlatformThread {
  HANDLE handle;
  void (*fn)(void*);
  void* arg;
};

namespace {

DWORD WINAPI bbThreadMain(LPVOID p) {
  BBPlatformThread* t = static_cast<BBPlatformThread*>(p);
  t->fn(t->arg);
  return 0;
}

}  // namespace

BBPlatformThread* bbPlatformThreadStart(void (*fn)(void*), void* arg) {
  BBPlatformThread* t = new (std::nothrow) BBPlatformThread{nullptr, fn, arg};
  if (!t) return nullptr;
  t->handle = CreateThread(nullptr, 0, bbThreadMain, t, 0, nullptr);
  if (!t->handle) {
    delete t;
    return nullptr;
  }
  return t;
}

void bbPlatformThreadJoin(BBPlatformThread* thread) {
  if (!thread) return;
  WaitForSingleObject(thread->handle, INFINITE);
  CloseHandle(thread->handle);
  delete thread;
}
