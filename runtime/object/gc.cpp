// gc.cpp: allocation, marking, sweeping and lazy destruction for the collector.
#include "gc.h"

#include <cstdlib>
#include <vector>

#include "runtime/platform/clock.h"  // the high-resolution counter behind gc_micros

gc_object gc_unmarked_list(0);
gc_object gc_queued_list(0);
gc_object gc_marked_list(0);
gc_object gc_free_list(0);
int gc_markbit = 1;
int gc_new_bytes = 0;
int gc_alloced_bytes = 0;
int gc_max_alloced_bytes = 0;
int gc_marked_bytes = 0;
int gc_free_bytes = 0;
gc_cached_block* gc_cache[8];
bool gc_force_sweep = false;
gc_object* gc_locals[gc_locals_max];
gc_object** gc_locals_sp = gc_locals;

namespace {

// Blocks handed out by gc_object_alloc whose constructors have not run yet. Usually one; a
// constructor argument that allocates (new A(new B)) makes two, constructed in reverse order.
struct gc_pending_block {
  char* block;
  int size;
};
constexpr int gc_pending_max = 64;
gc_pending_block gc_pending[gc_pending_max];
int gc_pending_count = 0;

// Claims the pending block that holds p, or returns 0 when p came from elsewhere.
int gc_claim_pending(const void* p) {
  const char* c = static_cast<const char*>(p);
  for (int i = gc_pending_count - 1; i >= 0; --i) {
    if (c >= gc_pending[i].block && c < gc_pending[i].block + gc_pending[i].size) {
      int size = gc_pending[i].size;
      gc_pending[i] = gc_pending[--gc_pending_count];
      return size;
    }
  }
  return 0;
}

std::vector<gc_root_fn>& gc_roots() {
  static std::vector<gc_root_fn> roots;
  return roots;
}

void gc_make_empty(gc_object& head) {
  head.succ = &head;
  head.pred = &head;
}

void gc_unlink(gc_object* p) {
  p->pred->succ = p->succ;
  p->succ->pred = p->pred;
}

// Returns a block to its size cache, or to the system when it is too big to cache.
void gc_free_block(void* block, int size) {
  if (size <= gc_max_cached) {
    gc_cached_block* p = static_cast<gc_cached_block*>(block);
    p->next = gc_cache[size >> 3];
    gc_cache[size >> 3] = p;
  } else {
    std::free(block);
  }
}

}  // namespace

gc_object::gc_object() {
  int size = gc_claim_pending(this);
  if (size == 0) {
    // Not from the allocator: permanent, never listed.
    succ = pred = this;
    flags = gc_static_colour;
    return;
  }
  flags = size | gc_markbit;
  succ = &gc_unmarked_list;
  pred = gc_unmarked_list.pred;
  gc_unmarked_list.pred->succ = this;
  gc_unmarked_list.pred = this;
  gc_alloced_bytes += size;
  if (gc_alloced_bytes > gc_max_alloced_bytes) gc_max_alloced_bytes = gc_alloced_bytes;
}

void* gc_object::operator new(std::size_t size) { return gc_object_alloc(static_cast<int>(size)); }

// Only reached when a constructor throws. Past gc_object's own constructor the object is in a
// list: it leaves it (its links are read after its destructors have run, which the vptr sanitizer
// would report). Before it (a constructor argument threw) the block is still pending.
__attribute__((no_sanitize("vptr"))) void gc_object::operator delete(void* p, std::size_t size) {
  const int bytes = static_cast<int>((size + 7) & ~std::size_t(7));
  if (gc_claim_pending(p) == 0) {
    gc_object* o = static_cast<gc_object*>(p);
    o->pred->succ = o->succ;
    o->succ->pred = o->pred;
    gc_alloced_bytes -= o->flags & ~7;
  }
  gc_free_block(p, bytes);
}

void gc_init() {
  gc_make_empty(gc_unmarked_list);
  gc_make_empty(gc_queued_list);
  gc_make_empty(gc_marked_list);
  gc_make_empty(gc_free_list);
  gc_markbit = 1;
  gc_new_bytes = gc_alloced_bytes = gc_max_alloced_bytes = gc_marked_bytes = gc_free_bytes = 0;
  gc_locals_sp = gc_locals;
  gc_pending_count = 0;
}

void* gc_object_alloc(int size) {
  size = (size + 7) & ~7;
  gc_new_bytes += size;
  gc_flush_free(size);
  void* block = nullptr;
  if (size <= gc_max_cached && gc_cache[size >> 3]) {
    gc_cached_block* p = gc_cache[size >> 3];
    gc_cache[size >> 3] = p->next;
    block = p;
  } else {
    block = std::malloc(static_cast<std::size_t>(size));
    if (!block) std::abort();
  }
  if (gc_pending_count == gc_pending_max) std::abort();  // constructors nested absurdly deep
  gc_pending[gc_pending_count++] = {static_cast<char*>(block), size};
  return block;
}

void gc_object_free(gc_object* p) {
  int size = p->flags & ~7;
  if (size == 0) return;  // a static object
  gc_unlink(p);
  gc_alloced_bytes -= size;
  gc_free_block(p, size);
}

void gc_mark_q(gc_interface* p) {
  if (p) gc_mark_q(dynamic_cast<gc_object*>(p));
}

void gc_mark(gc_interface* p) {
  if (p) gc_mark(dynamic_cast<gc_object*>(p));
}

void gc_add_root(gc_root_fn fn) { gc_roots().push_back(fn); }

void gc_clear_roots() { gc_roots().clear(); }

void gc_mark() {
  for (gc_root_fn fn : gc_roots()) fn();
}

void gc_mark_locals() {
  for (gc_object** r = gc_locals; r != gc_locals_sp; ++r) gc_mark(*r);
}

void gc_mark_queued(int limit) {
  while (gc_marked_bytes < limit && gc_queued_list.succ != &gc_queued_list) {
    gc_object* p = gc_queued_list.succ;
    gc_move_to(p, gc_marked_list);
    gc_marked_bytes += p->flags & ~7;
    p->mark();
  }
}

void gc_sweep() {
  int garbage = gc_alloced_bytes - gc_marked_bytes;
  if (garbage != 0 && gc_unmarked_list.succ != &gc_unmarked_list) {
    gc_object* head = gc_unmarked_list.succ;
    gc_object* tail = gc_unmarked_list.pred;
    head->pred = gc_free_list.pred;
    gc_free_list.pred->succ = head;
    tail->succ = &gc_free_list;
    gc_free_list.pred = tail;
    gc_free_bytes += garbage;
  }
  // The marked chain becomes the unmarked list.
  if (gc_marked_list.succ != &gc_marked_list) {
    gc_unmarked_list.succ = gc_marked_list.succ;
    gc_unmarked_list.pred = gc_marked_list.pred;
    gc_unmarked_list.succ->pred = &gc_unmarked_list;
    gc_unmarked_list.pred->succ = &gc_unmarked_list;
  } else {
    gc_make_empty(gc_unmarked_list);
  }
  gc_make_empty(gc_marked_list);
  gc_alloced_bytes = gc_marked_bytes;
  gc_marked_bytes = 0;
  gc_markbit ^= 1;
}

void gc_flush_free(int bytes) {
  int target = gc_free_bytes - bytes;
  if (target < 0) target = 0;
  while (gc_free_bytes > target) {
    if (gc_free_list.succ == &gc_free_list) {
      gc_free_bytes = 0;
      break;
    }
    gc_object* p = gc_free_list.succ;
    gc_unlink(p);
    int size = p->flags & ~7;
    p->~gc_object();
    gc_free_bytes -= size;
    gc_free_block(p, size);
  }
}

void gc_collect() {
  if (gc_locals_sp != gc_locals) gc_locals_sp = gc_locals;
  if (gc_new_bytes > gc_sweep_threshold) {
    gc_mark_queued(0x7fffffff);
    gc_sweep();
    gc_mark();
    gc_new_bytes = 0;
  } else {
    long long limit = gc_new_bytes +
                      static_cast<long long>(gc_alloced_bytes - gc_new_bytes) * gc_new_bytes /
                          gc_sweep_threshold;
    gc_mark_queued(static_cast<int>(limit));
  }
}

void gc_collect_all() {
  gc_mark_locals();
  gc_mark_queued(0x7fffffff);
  gc_sweep();
  gc_mark();
}

int gc_micros() {
  long long freq = bbPlatformCounterFrequency();
  if (freq < 1000000) return 0;
  long long count = bbPlatformCounter();
  if (count < 0) return 0;
  return static_cast<int>(count / (freq / 1000000));
}

int gc_list_count(const gc_object& list) {
  int n = 0;
  for (const gc_object* p = list.succ; p != &list; p = p->succ) ++n;
  return n;
}

bool gc_holds(const void* p) {
  if (!p) return false;
  for (const gc_object* list : {&gc_unmarked_list, &gc_queued_list, &gc_marked_list}) {
    for (const gc_object* q = list->succ; q != list; q = q->succ)
      if (q == p) return true;
  }
  return false;
}
