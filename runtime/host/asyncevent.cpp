// asyncevent.cpp: the asynchronous-event pump.
#include "asyncevent.h"

c_IAsyncEventSource* c_Stack::m_NIL = nullptr;
c_IAsyncEventSource* bb_asyncevent__current = nullptr;
c_Stack* bb_asyncevent__sources = nullptr;

void c_Stack::mark() { gc_mark_q(m_data); }

c_Stack* c_Stack::m_new2(Array<c_IAsyncEventSource*> data) {
  gc_assign(m_data, data.Slice(0, data.Length()));
  m_length = data.Length();
  return this;
}

void c_Stack::p_Length(int newLength) {
  if (newLength < 0) newLength = 0;
  if (newLength < m_length) {
    for (int i = newLength; i < m_length; ++i) m_data[i] = m_NIL;
  } else if (newLength > m_data.Length()) {
    int capacity = m_length * 2 + 10;
    if (capacity < newLength) capacity = newLength;
    Array<c_IAsyncEventSource*> grown(capacity);
    for (int i = 0; i < m_length; ++i) grown[i] = m_data[i];
    gc_assign(m_data, grown);
  }
  m_length = newLength;
}

void c_Stack::p_Push(c_IAsyncEventSource* source) {
  p_Length(m_length + 1);
  gc_mark_q(source);
  m_data[m_length - 1] = source;
}

void c_Stack::p_Remove(int index) {
  if (index < 0 || index >= m_length) return;
  for (int i = index; i + 1 < m_length; ++i) m_data[i] = m_data[i + 1];
  p_Length(m_length - 1);
}

int bb_asyncevent_UpdateAsyncEvents() {
  if (bb_asyncevent__current) return 0;
  int i = 0;
  while (i < bb_asyncevent__sources->p_Length2()) {
    bb_asyncevent__current = bb_asyncevent__sources->p_Get(i);
    gc_mark_q(bb_asyncevent__current);
    bb_asyncevent__current->p_UpdateAsyncEvents();
    if (bb_asyncevent__current) ++i;
  }
  bb_asyncevent__current = nullptr;
  return 0;
}
