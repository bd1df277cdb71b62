// thread.h: BBThread, one background thread running Run__UNSAFE__.
//
// The work on the new thread must not touch collected objects' links or the devices; the
// loaders marked __UNSAFE__ are the ones meant for it. Start, Wait and destruction happen on the
// owning thread.
// Depends on: the object runtime, the platform thread layer.
#pragma once

#include <atomic>

#include "runtime/object/object.h"

struct BBPlatformThread;

class BBThread : public Object {
 public:
  ~BBThread() override;
  void mark() override;

  // Starts a run unless one is running; a finished run's handle is released first.
  virtual void Start();
  virtual bool IsRunning();
  virtual Object* Result();
  virtual void SetResult(Object* result);
  // The thread's work; nothing here.
  virtual void Run__UNSAFE__() {}
  // Waits for the run to end and releases the handle.
  virtual void Wait();

  // 0 never started or joined, 1 running, 2 finished. Written by both threads, hence atomic.
  std::atomic<int> running{0};
  Object* result = nullptr;

 private:
  static void Entry(void* self);
  BBPlatformThread* handle_ = nullptr;
};
