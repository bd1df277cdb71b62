// thread.cpp: background threads.
#include "thread.h"

#include "runtime/platform/thread.h"

namespace {
// True on a thread started by BBThread, where the collector must not be touched.
thread_local bool bbOnWorkerThread = false;
}  // namespace

// The collector may be destroying this thread together with its result: join without touching it.
BBThread::~BBThread() {
  if (running != 0) bbPlatformThreadJoin(handle_);
}

void BBThread::mark() { gc_mark_q(result); }

void BBThread::Entry(void* self) {
  BBThread* t = static_cast<BBThread*>(self);
  bbOnWorkerThread = true;
  t->Run__UNSAFE__();
  t->running = 2;
}

void BBThread::Start() {
  if (running == 1) return;
  if (running == 2) {
    bbPlatformThreadJoin(handle_);
    handle_ = nullptr;
  }
  running = 1;
  handle_ = bbPlatformThreadStart(Entry, this);
  if (!handle_) running = 0;
}

bool BBThread::IsRunning() { return running == 1; }
Object* BBThread::Result() { return result; }
// On the thread itself, where the collector's lists must not be touched, the result is stored
// plainly and Wait applies the write barrier on the owning thread; elsewhere it goes through it.
void BBThread::SetResult(Object* r) {
  if (bbOnWorkerThread) {
    result = r;
  } else {
    gc_assign(result, r);
  }
}

void BBThread::Wait() {
  if (running == 0) return;
  bbPlatformThreadJoin(handle_);
  handle_ = nullptr;
  running = 0;
  gc_mark_q(result);
}
