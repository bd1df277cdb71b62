// Collector invariants: colours and lists, the write barrier, lazy destruction, block reuse,
// the static empty arrays and a bounded heap under a long run of garbage.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <vector>

#include "runtime/object/array.h"
#include "runtime/object/gc.h"
#include "runtime/object/object.h"

namespace {

int live_nodes = 0;  // constructed and not yet destroyed

struct Node : Object {
  Node* next = nullptr;
  Node* other = nullptr;
  int payload[4] = {};
  Node() { ++live_nodes; }
  ~Node() override { --live_nodes; }
  void mark() override {
    gc_mark_q(next);
    gc_mark_q(other);
  }
};

// A 40-byte object (header and one field): small enough for the block caches.
struct Small : Object {
  int value = 0;
  Small() { ++live_nodes; }
  ~Small() override { --live_nodes; }
};

// A 200-byte object, too big for the small-block caches.
struct Big : Object {
  char bytes[200] = {};
  Big() { ++live_nodes; }
  ~Big() override { --live_nodes; }
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

TEST_F(Collector, NewObjectsAreWhiteInTheUnmarkedList) {
  Node* n = new Node;
  EXPECT_TRUE(gc_is_white(n));
  EXPECT_TRUE(InList(gc_unmarked_list, n));
  EXPECT_EQ(n->flags & ~7, static_cast<int>((sizeof(Node) + 7) & ~size_t(7)));
  EXPECT_EQ(gc_alloced_bytes, n->flags & ~7);
  EXPECT_EQ(gc_new_bytes, n->flags & ~7);
}

TEST_F(Collector, ObjectsOutsideTheAllocatorAreNeverListed) {
  Node local;
  EXPECT_EQ(local.flags, gc_static_colour);
  EXPECT_EQ(gc_list_count(gc_unmarked_list), 0);
  gc_mark_q(&local);
  EXPECT_EQ(gc_list_count(gc_queued_list), 0);
}

TEST_F(Collector, AllocationInsideAConstructorArgumentKeepsBothObjects) {
  struct Holder : Object {
    Node* held;
    explicit Holder(Node* n) : held(n) {}
    void mark() override { gc_mark_q(held); }
  };
  Holder* h = new Holder(new Node);
  EXPECT_EQ(gc_list_count(gc_unmarked_list), 2);
  EXPECT_TRUE(InList(gc_unmarked_list, h));
  EXPECT_TRUE(InList(gc_unmarked_list, h->held));
}

// Thrown in the constructor or in an argument before it: nothing stays listed or counted.
TEST_F(Collector, AnObjectWhoseConstructionThrowsLeavesNoTrace) {
  struct Refusing : Object {
    explicit Refusing(int) { throw 1; }
  };
  for (bool inArgument : {false, true}) {
    try {
      (void)new Refusing(inArgument ? throw 2 : 0);
    } catch (int) {
    }
    EXPECT_EQ(gc_list_count(gc_unmarked_list) + gc_alloced_bytes, 0) << inArgument;
  }
}

// Objects 2 GiB apart: the difference of their addresses does not fit in an int.
TEST(ObjectOrder, CompareFollowsTheAddresses) {
  const size_t apart = size_t(1) << 31, size = apart + 4096;
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(block, MAP_FAILED);
  Object* low = new (block) Object;
  Object* high = new (static_cast<char*>(block) + apart) Object;
  EXPECT_TRUE(high->Compare(low) > 0 && low->Compare(high) < 0 && low->Compare(low) == 0);
  munmap(block, size);
}

TEST_F(Collector, SweepReclaimsUnreachableAndKeepsReachable) {
  gc_assign(root_node, new Node);
  gc_assign(root_node->next, new Node);
  Node* garbage = new Node;
  garbage->next = new Node;  // reachable only from garbage
  EXPECT_EQ(live_nodes, 4);

  gc_mark_queued(0x7fffffff);  // the sweeping step, without queueing the roots again
  gc_sweep();
  EXPECT_EQ(gc_list_count(gc_free_list), 2);
  EXPECT_EQ(live_nodes, 4) << "destruction waits for later allocations";
  // After the sweep, the allocated bytes are exactly those of the survivors, all white.
  EXPECT_EQ(gc_alloced_bytes, 2 * (root_node->flags & ~7));
  EXPECT_TRUE(gc_is_white(root_node));
  EXPECT_TRUE(gc_is_white(root_node->next));

  new Node;  // flushes at least its own size from the free list
  EXPECT_EQ(live_nodes, 4) << "one destroyed, one allocated";
  new Node;
  EXPECT_EQ(live_nodes, 4);
  EXPECT_EQ(gc_list_count(gc_free_list), 0);
  EXPECT_EQ(gc_free_bytes, 0);
}

TEST_F(Collector, WhiteStoredIntoBlackIsQueuedAtOnce) {
  gc_assign(root_node, new Node);
  gc_mark_queued(0x7fffffff);
  ASSERT_TRUE(InList(gc_marked_list, root_node));
  Node* fresh = new Node;
  EXPECT_TRUE(gc_is_white(fresh));
  gc_assign(root_node->other, fresh);
  EXPECT_FALSE(gc_is_white(fresh));
  EXPECT_TRUE(InList(gc_queued_list, fresh));
  FullCycle();
  EXPECT_EQ(live_nodes, 2);
  EXPECT_EQ(gc_list_count(gc_free_list), 0) << "the barrier kept the new object alive";
}

TEST_F(Collector, PlainStoreWithoutBarrierIntoBlackLosesTheObject) {
  // Why the barrier exists: the same store without it leaves a white object behind a black one.
  gc_assign(root_node, new Node);
  gc_mark_queued(0x7fffffff);
  root_node->other = new Node;
  FullCycle();
  EXPECT_EQ(gc_list_count(gc_free_list), 1);
  root_node->other = nullptr;
}

TEST_F(Collector, SmallBlocksAreRecycledLargeOnesAreNot) {
  Small* a = new Small;
  Big* big = new Big;
  ASSERT_LE(a->flags & ~7, gc_max_cached);
  ASSERT_GT(big->flags & ~7, gc_max_cached);
  void* block = a;
  int slot = (a->flags & ~7) >> 3;
  FullCycle();  // both are garbage
  gc_flush_free(0x7fffffff);
  ASSERT_EQ(live_nodes, 0);
  EXPECT_EQ(static_cast<void*>(gc_cache[slot]), block) << "the small block waits in its cache";
  Small* b = new Small;
  EXPECT_EQ(static_cast<void*>(b), block) << "and is reused for the next object of its size";
  EXPECT_NE(static_cast<void*>(gc_cache[slot]), block);
}

TEST_F(Collector, IncrementalStepsMarkInProportionToAllocation) {
  // A chain of 1000 reachable nodes: a small allocation marks little, nothing sweeps below 8 MiB.
  gc_assign(root_node, new Node);
  Node* tail = root_node;
  for (int i = 0; i < 999; ++i) {
    gc_assign(tail->next, new Node);
    tail = tail->next;
  }
  gc_collect_all();  // everything white again, roots queued, counters reset
  gc_new_bytes = 0;
  int before = gc_list_count(gc_marked_list);
  gc_collect();
  EXPECT_EQ(gc_list_count(gc_marked_list), before) << "no allocation, no marking";
  for (int i = 0; i < 100; ++i) new Node;  // garbage
  gc_collect();
  int marked = gc_list_count(gc_marked_list);
  EXPECT_GT(marked, 0);
  EXPECT_LT(marked, 1000);
  EXPECT_EQ(gc_list_count(gc_free_list), 0) << "below the threshold nothing is swept";
}

TEST_F(Collector, EmptyArraysAreStaticAndNeverMarked) {
  Array<Node*> empty;
  Array<int> zero(0);
  EXPECT_EQ(empty.GetRep(), &Array<Node*>::nullRep);
  EXPECT_EQ(zero.GetRep(), &Array<int>::nullRep);
  EXPECT_EQ(Array<int>::nullRep.flags, gc_static_colour);
  for (int markbit = 0; markbit < 2; ++markbit) {
    gc_mark_q(empty);
    gc_mark(empty.GetRep());
    FullCycle();
  }
  EXPECT_EQ(Array<Node*>::nullRep.flags, gc_static_colour);
  EXPECT_EQ(gc_list_count(gc_queued_list) + gc_list_count(gc_marked_list), 0);
}

TEST_F(Collector, ArraysOfReferencesKeepTheirElements) {
  gc_assign(root_array, Array<Node*>(3));
  gc_assign(root_array[0], new Node);
  gc_assign(root_array[2], new Node);
  new Node;  // garbage
  FullCycle();
  FullCycle();
  gc_flush_free(0x7fffffff);
  EXPECT_EQ(live_nodes, 2);
  EXPECT_TRUE(gc_holds(root_array[0]));
  EXPECT_TRUE(gc_holds(root_array[2]));
}

TEST_F(Collector, StringArraysReleaseTheirStringsWhenDestroyed) {
  String kept = String("kept") + String("!");
  {
    Array<String> a(2);
    a[0] = kept;
  }
  FullCycle();  // the array is garbage
  gc_flush_free(0x7fffffff);
  // kept must be the only reference left: a second release would free it under us.
  String copy = kept;
  EXPECT_TRUE(copy == String("kept!"));
}

TEST_F(Collector, HolderAnswersOnlyForLiveObjects) {
  gc_assign(root_node, new Node);
  Node* garbage = new Node;
  int on_stack = 0;
  EXPECT_TRUE(gc_holds(root_node));
  EXPECT_TRUE(gc_holds(garbage));
  EXPECT_FALSE(gc_holds(&on_stack));
  EXPECT_FALSE(gc_holds(nullptr));
  FullCycle();
  EXPECT_FALSE(gc_holds(garbage)) << "garbage waiting in the free list is no longer held";
}

TEST_F(Collector, LongRunOfGarbageKeepsTheHeapBounded) {
  // 400 MiB of short-lived objects with a small live set that keeps changing: the collector must
  // keep both the accounted heap and the number of undestroyed objects bounded.
  gc_assign(root_array, Array<Node*>(64));
  const long long total = 400LL * 1024 * 1024;
  long long allocated = 0;
  int max_live = 0;
  int step = 0;
  while (allocated < total) {
    for (int i = 0; i < 200; ++i) {  // one "update" worth of allocation
      if (i % 3 == 0) {
        new Big;
        allocated += 216;
      } else {
        Node* n = new Node;
        allocated += n->flags & ~7;
        if (i % 50 == 0) gc_assign(root_array[(step + i) % 64], n);
      }
    }
    gc_collect();  // one step per host event
    ++step;
    if (live_nodes > max_live) max_live = live_nodes;
  }
  // 8 MiB of new allocation between sweeps, plus as much waiting to be destroyed.
  EXPECT_LT(gc_max_alloced_bytes, 20 * 1024 * 1024);
  EXPECT_LT(max_live, 20 * 1024 * 1024 / 64);
}

}  // namespace
