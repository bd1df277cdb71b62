// asyncevent.cpp: the asynchronous-event pump.
#include "asyncevent.h"

c_IAsyncEventSource* c_Stack::m_NIL = nullptr;
c_IAsyncEventSource* bb_asyncevent__current = nullptr;
c_Stack* bb_asyncevent__sources = nullptr;

void c_Stack::mark() { gc_mark_q(m_data); }

void c_Stack::p_Push(c_IAsyncEventSource* source) {
  if (m_length == m_data.Length()) {
    Array<c_IAsyncEventSource*> grown(m_length * 2 + 10);
    for (int i = 0; i < m_length; ++i) grown[i] = m_data[i];
    gc_assign(m_data, grown);
  }
  gc_mark_q(source);
  m_data[m_length++] = source;
}

void c_Stack::p_Remove(int index) {
  for (int i = index; i + 1 < m_length; ++i) m_data[i] = m_data[i + 1];
  m_data[--m_length] = m_NIL;
}

int bb_asyncevent_UpdateAsyncEvents() {
  if (bb_asyncevent__current) return 0;
  int i = 0;
  while (i < bb_asyncevent__sources->p_Length()) {
    bb_asyncevent__current = bb_asyncevent__sources->p_Get(i);
    gc_mark_q(bb_asyncevent__current);
    bb_asyncevent__current->p_UpdateAsyncEvents();
    if (bb_asyncevent__current) ++i;
  }
  bb_asyncevent__current = nullptr;
  return 0;
}
