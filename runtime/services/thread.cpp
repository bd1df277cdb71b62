// thread.cpp: background threads.
#include "thread.h"

#include "runtime/platform/thread.h"

BBThread::~BBThread() { Wait(); }

void BBThread::mark() { gc_mark_q(result); }

void BBThread::Entry(void* self) {
  BBThread* t = static_cast<BBThread*>(self);
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
// May run on the thread itself, where the collector's lists must not be touched: store plainly
// and let Wait apply the write barrier on the owning thread.
void BBThread::SetResult(Object* r) { result = r; }

void BBThread::Wait() {
  if (running == 0) return;
  bbPlatformThreadJoin(handle_);
  handle_ = nullptr;
  running = 0;
  gc_mark_q(result);
}
