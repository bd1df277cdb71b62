// thread_posix.cpp: native threads over POSIX threads.
#include "thread.h"

#include <pthread.h>

#include <new>

struct BBPlatformThread {
  pthread_t id;
  void (*fn)(void*);
  void* arg;
};

namespace {

void* bbThreadMain(void* p) {
  BBPlatformThread* t = static_cast<BBPlatformThread*>(p);
  t->fn(t->arg);
  return nullptr;
}

}  // namespace

BBPlatformThread* bbPlatformThreadStart(void (*fn)(void*), void* arg) {
  BBPlatformThread* t = new (std::nothrow) BBPlatformThread{pthread_t(), fn, arg};
  if (!t) return nullptr;
  if (pthread_create(&t->id, nullptr, bbThreadMain, t) != 0) {
    delete t;
    return nullptr;
  }
  return t;
}

void bbPlatformThreadJoin(BBPlatformThread* thread) {
  if (!thread) return;
  pthread_join(thread->id, nullptr);
  delete thread;
}
