// Collector invariants: colours and lists, the write barrier, lazy destruction, block reuse,
// the static empty arrays and a bounded heap under a long run of garbage.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/object/array.h"
#include "runtime/object/gc.h"
#include "runtime/object/object.h"

namespace {

int live_nodes = 0;  // constructed and not yet destroyed

// An object of N payload bytes that counts itself: Small fits the block caches, Big does not.
template <int N>
struct Counted : Object {
  char bytes[N] = {};
  Counted() { ++live_nodes; }
  ~Counted() override { --live_nodes; }
};
using Small = Counted<4>;
using Big = Counted<200>;

struct Node : Counted<16> {
  Node* next = nullptr;
  Node* other = nullptr;
  void mark() override {
    gc_mark_q(next);
    gc_mark_q(other);
  }
};

Node* root_node = nullptr;
Array<Node*> root_array;

class Collector : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    root_node = nullptr;
    root_array = Array<Node*>();
    gc_add_root([] { gc_mark_q(root_node); });
    gc_add_root([] { gc_mark_q(root_array); });
    live_nodes = 0;
  }
  void TearDown() override {
    // Let everything go and destroy it, so that one test's objects never reach the next.
    root_node = nullptr;
    root_array = Array<Node*>();
    gc_collect_all();
    gc_collect_all();
    gc_flush_free(0x7fffffff);
    gc_clear_roots();
  }
  // A full cycle as the host would run it: the step that crosses the threshold sweeps.
  static void FullCycle() {
    gc_new_bytes = gc_sweep_threshold + 1;
    gc_collect();
  }
  static bool InList(const gc_object& list, const gc_object* p) {
    for (const gc_object* q = list.succ; q != &list; q = q->succ)
      if (q == p) return true;
    return false;
  }
};

TEST_F(Collector, OnlyObjectsFromTheAllocatorAreListedWhite) {
  struct Holder : Object {
    Node* held;
    explicit Holder(Node* n) : held(n) {}
  };
  struct Plain : Object {
    int value;
  };
  Holder* h = new Holder(new Node);  // an allocation inside a constructor argument
  Plain* p = new Plain();            // value-initialisation zeroes the object before constructing it
  Node local;
  EXPECT_EQ(local.flags, gc_static_colour);
  gc_mark_q(&local);
  EXPECT_EQ(gc_list_count(gc_queued_list), 0);
  EXPECT_EQ(gc_list_count(gc_unmarked_list), 3);
  for (const gc_object* o : {static_cast<gc_object*>(h), static_cast<gc_object*>(h->held), static_cast<gc_object*>(p)})
    EXPECT_TRUE(gc_is_white(o) && InList(gc_unmarked_list, o));
  EXPECT_EQ(p->flags & ~7, static_cast<int>((sizeof(Plain) + 7) & ~size_t(7)));
  EXPECT_EQ(gc_alloced_bytes, (h->flags & ~7) + (h->held->flags & ~7) + (p->flags & ~7));
  EXPECT_EQ(gc_new_bytes, gc_alloced_bytes);
}

TEST_F(Collector, SweepReclaimsUnreachableKeepsReachableAndDestroysLater) {
  gc_assign(root_node, new Node);
  gc_assign(root_node->next, new Node);
  Node* garbage = new Node;
  garbage->next = new Node;  // reachable only from garbage
  int on_stack = 0;
  EXPECT_TRUE(gc_holds(garbage));
  EXPECT_FALSE(gc_holds(&on_stack) || gc_holds(nullptr));

  gc_mark_queued(0x7fffffff);  // the sweeping step, without queueing the roots again
  gc_sweep();
  EXPECT_EQ(gc_list_count(gc_free_list), 2);
  EXPECT_FALSE(gc_holds(garbage)) << "garbage waiting in the free list is no longer held";
  EXPECT_EQ(live_nodes, 4) << "destruction waits for later allocations";
  // After the sweep, the allocated bytes are exactly those of the survivors, all white.
  EXPECT_EQ(gc_alloced_bytes, 2 * (root_node->flags & ~7));
  EXPECT_TRUE(gc_is_white(root_node) && gc_is_white(root_node->next));

  new Node;  // flushes at least its own size from the free list
  EXPECT_EQ(live_nodes, 4) << "one destroyed, one allocated";
  new Node;
  EXPECT_EQ(live_nodes, 4);
  EXPECT_EQ(gc_list_count(gc_free_list) + gc_free_bytes, 0);
}

TEST_F(Collector, TheWriteBarrierKeepsAWhiteObjectStoredIntoABlackOne) {
  // Without the barrier the same store leaves a white object behind a black one, and loses it.
  for (bool barrier : {true, false}) {
    SCOPED_TRACE(barrier);
    gc_assign(root_node, new Node);
    gc_mark_queued(0x7fffffff);
    ASSERT_TRUE(InList(gc_marked_list, root_node));
    Node* fresh = new Node;
    barrier ? gc_assign(root_node->other, fresh) : (void)(root_node->other = fresh);
    EXPECT_EQ(InList(gc_queued_list, fresh), barrier);
    FullCycle();
    EXPECT_EQ(gc_holds(fresh), barrier);
    root_node->other = nullptr;
  }
}

TEST_F(Collector, SmallBlocksAreRecycledLargeOnesAreNot) {
  Small* a = new Small;
  new Big;
  void* block = a;
  int slot = (a->flags & ~7) >> 3;
  FullCycle();  // both are garbage
  gc_flush_free(0x7fffffff);
  ASSERT_EQ(live_nodes, 0);
  EXPECT_EQ(static_cast<void*>(gc_cache[slot]), block) << "the small block waits in its cache";
  EXPECT_EQ(static_cast<void*>(new Small), block) << "and is reused for the next object of its size";
  EXPECT_NE(static_cast<void*>(gc_cache[slot]), block);
}

TEST_F(Collector, IncrementalStepsMarkInProportionToAllocation) {
  // A chain of 1000 reachable nodes: a small allocation marks little, nothing sweeps below 8 MiB.
  gc_assign(root_node, new Node);
  for (Node* tail = root_node; live_nodes < 1000; tail = tail->next) gc_assign(tail->next, new Node);
  gc_collect_all();  // everything white again, roots queued, counters reset
  gc_new_bytes = 0;
  gc_collect();
  EXPECT_EQ(gc_list_count(gc_marked_list), 0) << "no allocation, no marking";
  for (int i = 0; i < 100; ++i) new Node;  // garbage
  gc_collect();
  int marked = gc_list_count(gc_marked_list);
  EXPECT_TRUE(marked > 0 && marked < 1000) << marked;
  EXPECT_EQ(gc_list_count(gc_free_list), 0) << "below the threshold nothing is swept";
}

TEST_F(Collector, EmptyArraysAreStaticAndNeverMarked) {
  Array<Node*> empty;
  EXPECT_EQ(Array<int>(0).GetRep(), &Array<int>::nullRep);
  for (int markbit = 0; markbit < 2; ++markbit) {
    gc_mark_q(empty);
    gc_mark(empty.GetRep());
    FullCycle();
  }
  EXPECT_EQ(Array<Node*>::nullRep.flags, gc_static_colour);
  EXPECT_EQ(gc_list_count(gc_queued_list) + gc_list_count(gc_marked_list), 0);
}

TEST_F(Collector, ArraysKeepTheirReferencesAndReleaseTheirStrings) {
  gc_assign(root_array, Array<Node*>(3));
  gc_assign(root_array[0], new Node);
  gc_assign(root_array[2], new Node);
  new Node;  // garbage
  String kept = String("kept") + String("!");
  {
    Array<String> a(2);  // garbage too
    a[0] = kept;
  }
  FullCycle();
  FullCycle();
  gc_flush_free(0x7fffffff);
  EXPECT_EQ(live_nodes, 2);
  // kept must be the only reference left: a second release would free it under us.
  String copy = kept;
  EXPECT_TRUE(copy == String("kept!"));
}

TEST_F(Collector, LongRunOfGarbageKeepsTheHeapBounded) {
  // 400 MiB of short-lived objects, a collection step per 200 of them as the host makes one per
  // event, and a small live set that keeps changing: heap and undestroyed objects stay bounded.
  gc_assign(root_array, Array<Node*>(64));
  int max_live = 0;
  for (int step = 0; step < 17000; ++step) {
    for (int i = 0; i < 200; ++i) i % 3 ? gc_assign(root_array[(step + i) % 64], new Node) : (void)new Big;
    gc_collect();
    max_live = std::max(max_live, live_nodes);
  }
  // 8 MiB of new allocation between sweeps, plus as much waiting to be destroyed.
  EXPECT_LT(gc_max_alloced_bytes, 20 * 1024 * 1024);
  EXPECT_LT(max_live, 20 * 1024 * 1024 / 64);
}

}  // namespace
