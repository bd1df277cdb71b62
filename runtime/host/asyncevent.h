// asyncevent.h: sources of asynchronous events, updated once per game update.
//
// No source is registered in this program; the pump still walks the (empty) list each update.
// Depends on: the object runtime.
#pragma once

#include "runtime/object/array.h"
#include "runtime/object/object.h"

class c_IAsyncEventSource : public virtual gc_interface {
 public:
  virtual int p_UpdateAsyncEvents() = 0;
};

// A growable stack of sources.
class c_Stack : public Object {
 public:
  static c_IAsyncEventSource* m_NIL;

  c_Stack* m_new() { return this; }
  // A stack holding a copy of the whole array.
  c_Stack* m_new2(Array<c_IAsyncEventSource*> data);
  void mark() override;
  int p_Length2() const { return m_length; }
  c_IAsyncEventSource* p_Get(int index) { return m_data[index]; }
  // Shrinking clears the dropped slots; growing past the capacity reallocates to
  // max(length * 2 + 10, newLength).
  void p_Length(int newLength);
  void p_Push(c_IAsyncEventSource* source);
  // Removes the element at index, moving the later ones down.
  void p_Remove(int index);

  Array<c_IAsyncEventSource*> m_data;
  int m_length = 0;
};

extern c_IAsyncEventSource* bb_asyncevent__current;
extern c_Stack* bb_asyncevent__sources;

// Runs every source once; a source that removes itself clears bb_asyncevent__current.
int bb_asyncevent_UpdateAsyncEvents();
