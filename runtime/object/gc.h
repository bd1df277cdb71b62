// gc.h: the incremental tri-colour collector behind every collected object.
//
// Objects live in four intrusive circular lists (unmarked/white, queued/grey, marked/black and
// free). Marking advances after every host event in proportion to allocation; after 8 MiB of new
// allocation marking is finished, the heap is swept, and unreached objects wait in the free list
// until later allocations destroy them. Objects never move.
//
// Depends on: nothing but the C++ library. Must not touch: strings (reference-counted, never
// collected) or anything of the host beyond the root callbacks registered with gc_add_root.
// Single-threaded: allocation, barriers and collection steps all happen on the main thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Root class of every collected object. gc_object_alloc hands out the block; the constructor then
// writes the header and links the object white into the unmarked list, so a derived class's
// value-initialisation can never wipe the header. An object constructed anywhere else (a static or
// a local) gets the static colour and stays out of the lists for good.
struct gc_object {
  gc_object* succ;  // next object in the list that holds this one
  gc_object* pred;  // previous object in that list
  int flags;        // size in bytes (a multiple of 8) | colour in the two lowest bits

  gc_object();
  // For list heads and static objects, which never come from the allocator.
  explicit gc_object(int staticFlags) : succ(this), pred(this), flags(staticFlags) {}
  virtual ~gc_object() {}
  // Queues (gc_mark_q) every collected object this object refers to.
  virtual void mark() {}

  // Collected objects are only ever destroyed by the collector; these exist for the language's
  // allocation of `new T` and for a constructor that fails.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);
  // Placement form used for variable-sized representations (arrays).
  static void* operator new(std::size_t, void* where) { return where; }
  static void operator delete(void*, void*) {}

  gc_object(const gc_object&) = delete;
  gc_object& operator=(const gc_object&) = delete;
};

// Base of interface classes: a reference held as an interface is converted to its object first.
struct gc_interface {
  virtual ~gc_interface() {}
};

// Colour of the static empty array representations: never equal to gc_markbit.
constexpr int gc_static_colour = 3;
// Bytes of new allocation after which a collection step finishes marking and sweeps.
constexpr int gc_sweep_threshold = 8 * 1024 * 1024;
// Largest block size recycled through the per-size caches.
constexpr int gc_max_cached = 56;

extern gc_object gc_unmarked_list;  // white: not yet reached in this cycle; new objects go here
extern gc_object gc_queued_list;    // grey: reached, fields not yet scanned
extern gc_object gc_marked_list;    // black: reached and scanned
extern gc_object gc_free_list;      // garbage of past sweeps, destroyed by later allocations
extern int gc_markbit;              // the current white colour, 1 at start, toggled per sweep
extern int gc_new_bytes;            // allocated since the last sweep
extern int gc_alloced_bytes;        // bytes of objects not yet known to be garbage
extern int gc_max_alloced_bytes;    // highest gc_alloced_bytes seen (statistics)
extern int gc_marked_bytes;         // bytes moved to the marked list in this cycle
extern int gc_free_bytes;           // bytes waiting in the free list
// A recycled block: its first word links it to the next block of the same size.
struct gc_cached_block {
  gc_cached_block* next;
};
extern gc_cached_block* gc_cache[8];  // recycled blocks of 8..56 bytes by size / 8
extern bool gc_force_sweep;         // set after file loads; the collection step does not read it

// A stack of local roots; nothing pushes onto it in this program, so it stays empty.
constexpr int gc_locals_max = 8192;
extern gc_object* gc_locals[gc_locals_max];
extern gc_object** gc_locals_sp;

// Makes the four list heads empty and the counters zero (program start, and tests).
void gc_init();

// Allocates a block of at least size bytes for a new object: flushes as much of the free list,
// reuses a cached small block or asks the system. The object's constructor, which must follow at
// once, links it white into the unmarked list.
void* gc_object_alloc(int size);
// Unlinks an object whose construction failed and returns its block; no destructor runs.
void gc_object_free(gc_object* p);

inline bool gc_is_white(const gc_object* p) { return (p->flags & 3) == gc_markbit; }

// Moves an object to the tail of a list in O(1).
inline void gc_move_to(gc_object* p, gc_object& list) {
  p->pred->succ = p->succ;
  p->succ->pred = p->pred;
  p->pred = list.pred;
  p->succ = &list;
  list.pred->succ = p;
  list.pred = p;
}

// Queued marking: a white object turns grey and waits in the queue.
inline void gc_mark_q(gc_object* p) {
  if (p && gc_is_white(p)) {
    p->flags ^= 1;
    gc_move_to(p, gc_queued_list);
  }
}
void gc_mark_q(gc_interface* p);

// Immediate marking: a white object turns black and its fields are queued at once.
inline void gc_mark(gc_object* p) {
  if (p && gc_is_white(p)) {
    p->flags ^= 1;
    gc_marked_bytes += p->flags & ~7;
    gc_move_to(p, gc_marked_list);
    p->mark();
  }
}
void gc_mark(gc_interface* p);

// The write barrier: every store of a reference into a field of a collected object or into a global
// goes through it, so no black object ever refers to a white one.
template <class T, class V>
inline void gc_assign(T*& field, V* value) {
  gc_mark_q(value);
  field = value;
}

// A root callback queues one global reference (gc_mark_q). gc_mark() calls them in the order they
// were added.
using gc_root_fn = void (*)();
void gc_add_root(gc_root_fn fn);
void gc_clear_roots();
// Queues every global root.
void gc_mark();
void gc_mark_locals();
// Scans queued objects until gc_marked_bytes reaches limit or the queue is empty.
void gc_mark_queued(int limit);
// Moves every white object to the free list; survivors turn white by toggling gc_markbit.
void gc_sweep();
// Destroys objects from the free list until at least bytes have been returned.
void gc_flush_free(int bytes);
// One collection step: incremental marking in proportion to allocation, or a full mark and sweep.
void gc_collect();
// Marks everything, sweeps and queues the roots again.
void gc_collect_all();
// Microseconds of the high-resolution clock, 0 when it is unusable.
int gc_micros();

// Counts objects in a list (diagnostics and tests; O(n)).
int gc_list_count(const gc_object& list);
// True if p is an object the collector currently holds in one of its lists (O(n)).
bool gc_holds(const void* p);
