// The input store's queues and limits, joystick polling through the host, the delegate's
// dispatch, the application object's creation and the shared random generator.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "fake_window.h"
#include "runtime/host/app.h"
#include "runtime/host/asyncevent.h"
#include "runtime/host/game.h"
#include "runtime/host/input.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"

namespace {

// The test program's application object: notes the hits of key 65 its update sees.
class c_CountingApp : public c_App {
 public:
  int p_OnUpdate() override { return hitsSeen = bb_input_KeyHit(65); }
  int hitsSeen = -1;
};

}  // namespace

c_App* bbNewApplication() { return (new c_CountingApp)->m_new(); }

namespace {

using E = c_BBGameEvent;

class InputStore : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    host = new BBGlfwGame;
    bbRegisterRoots();
    bbInit();
    gc_mark();
    in = (new c_InputDevice)->m_new();
    for (int p = 0; p < 4; ++p) gc_assign(in->m__joyStates[p], (new c_JoyState)->m_new());
    bb_input_SetInputDevice(in);
  }
  void TearDown() override { delete host; }
  void Key(int event, int data) { in->p_KeyEvent(event, data); }

  ScopedFakeWindow window;
  BBGlfwGame* host = nullptr;
  c_InputDevice* in = nullptr;
};

TEST_F(InputStore, HitsLastOneUpdateAndTheQueuesHoldThirtyThreeHitsAndThirtyTwoCharacters) {
  Key(E::KeyDown, 65);
  Key(E::KeyUp, 65);
  EXPECT_EQ(bb_input_KeyHit(65), 1) << "a press and release between updates still counts";
  EXPECT_EQ(bb_input_KeyDown(65), 1) << "and is down for the update that sees it";
  in->p_EndUpdate();
  EXPECT_EQ(bb_input_KeyHit(65) + bb_input_KeyDown(65), 0);
  // A repeated key-down is one hit while the key is held; pressed again it counts again.
  for (int i = 0; i < 5; ++i) Key(E::KeyDown, 38);
  Key(E::KeyUp, 38);
  Key(E::KeyDown, 38);
  EXPECT_EQ(bb_input_KeyHit(38), 2);
  in->p_EndUpdate();
  for (int k = 100; k < 140; ++k) Key(E::KeyDown, k);
  // Hits beyond 33 are dropped, but their keys are down.
  for (int k = 100; k < 140; ++k) EXPECT_EQ(bb_input_KeyHit(k) + bb_input_KeyDown(k), k < 133 ? 2 : 1) << k;
  for (int c = 0; c < 40; ++c) Key(E::KeyChar, 'a' + c);
  int read = 0;
  while (bb_input_GetChar()) ++read;
  EXPECT_EQ(read, 32);
  in->p_EndUpdate();
  Key(E::KeyChar, 'z');
  EXPECT_EQ(bb_input_GetChar(), 'z') << "the character queue starts over after an update";
}

TEST_F(InputStore, LeftButtonAndTouchZeroArePaired) {
  in->p_MouseEvent(E::MouseDown, 0, 10, 20);
  EXPECT_EQ((std::vector<int>{bb_input_TouchDown(0), bb_input_MouseHit(0), bb_input_KeyHit(KEY_TOUCH0)}),
            (std::vector<int>{1, 1, 1}));
  EXPECT_EQ((std::vector<float>{bb_input_TouchX(0), bb_input_TouchY(0)}), (std::vector<float>{10, 20}));
  in->p_MouseEvent(E::MouseUp, 0, 99, 99);
  EXPECT_EQ(bb_input_MouseX(), 10) << "a release does not move the pointer";
  in->p_EndUpdate();
  EXPECT_EQ(bb_input_TouchDown(0), 0);
  in->p_TouchEvent(E::TouchDown, 0, 5, 6);
  EXPECT_EQ((std::vector<float>{1.f * bb_input_MouseDown(0), 1.f * bb_input_MouseHit(0), bb_input_MouseX()}), (std::vector<float>{1, 1, 5}));
  in->p_TouchEvent(E::TouchDown, 3, 70, 80);
  in->p_TouchEvent(E::TouchMove, 3, 71, 81);
  EXPECT_EQ((std::vector<float>{bb_input_TouchX(3), bb_input_TouchY(3)}), (std::vector<float>{71, 81}));
  EXPECT_EQ(bb_input_MouseX(), 5) << "only touch 0 moves the mouse position";
  in->p_MouseEvent(E::MouseDown, 1, 1, 2);
  EXPECT_EQ(bb_input_KeyDown(KEY_RMB), 1);
  in->p_MotionEvent(E::MotionAccel, 0, 0.5f, -0.5f, 1);
  EXPECT_EQ((std::vector<float>{bb_input_AccelX(), bb_input_AccelY()}), (std::vector<float>{0.5f, -0.5f}));
}

// Codes outside 0..511 and touch indexes outside 0..31 are ignored, not written out of bounds.
TEST_F(InputStore, OutOfRangeQueriesAndEventsAreHarmless) {
  EXPECT_EQ(bb_input_KeyHit(512) + bb_input_KeyDown(-5), 0);
  EXPECT_EQ(bb_input_TouchX(32) + bb_input_TouchY(-1), 0.0f);
  Key(E::KeyDown, 0);
  EXPECT_EQ(bb_input_KeyHit(0) + bb_input_KeyDown(0), 0) << "code 0 never reports anything";
  Key(E::KeyDown, 600);
  for (int code : {-3, 1 << 30}) Key(E::KeyUp, code);
  for (int touch : {-1, 32, 200}) in->p_TouchEvent(E::TouchDown, touch, 1, 1);
  EXPECT_EQ(in->m__keyHitPut, 1);  // only the key-0 hit was recorded
}

// Ports are polled up to the first absent one; axes map to x, y and z pairs by their count (missing
// ones read as 0); buttons are keys with one hit per press.
TEST_F(InputStore, Joysticks) {
  auto& joys = window.fake.joys;
  joys[0].present = joys[2].present = true;  // port 2 sits behind an absent port 1: never polled
  joys[0].buttons = {1, 0, 1};
  joys[2].buttons = {1};
  in->p_BeginUpdate();
  EXPECT_EQ(window.fake.joyPolls, (std::vector<int>{0, 1}));
  EXPECT_EQ((std::vector<int>{bb_input_JoyDown(0, 0), bb_input_JoyHit(0, 0)}), (std::vector<int>{1, 1}));
  EXPECT_EQ(bb_input_JoyDown(1, 0) + bb_input_JoyDown(0, 2), 0) << "released buttons";
  EXPECT_EQ(bb_input_JoyHit(2, 0), 1);
  in->p_EndUpdate();
  in->p_BeginUpdate();
  EXPECT_EQ(bb_input_JoyHit(0, 0), 0) << "a held button is one hit";
  joys[0].buttons.assign(32, 1);
  in->p_BeginUpdate();
  joys[0].buttons = {0, 0, 1};
  in->p_BeginUpdate();
  EXPECT_EQ(bb_input_JoyDown(0, 0), 0);
  EXPECT_EQ(bb_input_JoyDown(20, 0), 1) << "buttons the pad does not report stay as they were";
  const struct {
    std::vector<float> axes, x0x1y0y1z0z1;
  } rows[] = {
      {{1, 2, 3, 4}, {1, 4, 2, 3, 0, 0}},
      {{1, 2, 3, 4, 5}, {1, 5, 2, 4, 3, 0}},
      {{1, 2, 3, 4, 5, 6, 7}, {1, 4, 2, 5, 3, 6}},
      {{9}, {9, 0, 0, 0, 0, 0}},
  };
  c_JoyState* joy = in->m__joyStates[0];
  for (const auto& r : rows) {
    joys[0].axes = r.axes;
    in->p_BeginUpdate();
    const Array<float>& x = joy->m_joyx, &y = joy->m_joyy, &z = joy->m_joyz;
    EXPECT_EQ((std::vector<float>{x[0], x[1], y[0], y[1], z[0], z[1]}), r.x0x1y0y1z0z1) << r.axes.size();
  }
  joys[0].present = false;
  joys[0].axes = {0.7f};
  in->p_BeginUpdate();
  EXPECT_EQ(bb_input_JoyX(0, 0), 9.0f) << "an unplugged pad keeps its old state";
}

// The delegate feeds the store, runs the update and clears the hits after it; close and back
// end the process on their key-down; a second application object is a runtime error.
TEST_F(InputStore, TheApplicationsDelegateDispatches) {
  bbNewApplication();
  auto* app = static_cast<c_CountingApp*>(bb_app__app);
  ASSERT_EQ(host->Delegate(), bb_app__delegate);
  // The delegate creates the real graphics device only in StartGame; drive the input side here.
  c_GameDelegate* d = bb_app__delegate;
  gc_assign(d->m__input, in);
  d->KeyEvent(E::KeyDown, 65);
  d->UpdateGame();
  EXPECT_EQ(app->hitsSeen, 1);
  EXPECT_EQ(bb_input_KeyHit(65), 0);
  d->KeyEvent(E::KeyUp, KEY_CLOSE);  // only the key-down ends the process
  EXPECT_EXIT(d->KeyEvent(E::KeyDown, KEY_CLOSE), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(d->KeyEvent(E::KeyDown, KEY_BACK), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        dup2(2, 1);  // the report goes to standard output; let the death test see it
        std::freopen("/dev/null", "r", stdin);
        bbNewApplication();
      },
      ::testing::ExitedWithCode(255), "Runtime Error : App has already been created");
}

TEST(Random, TheSeededSequenceStaysInZeroToOne) {
  bb_random_Seed = 1234;
  EXPECT_FLOAT_EQ(bb_random_Rnd(), 0.71430767f) << "levels made from a seed depend on the sequence";
  bb_random_Seed = -1;
  float lo = 1, hi = 0;
  for (int i = 0; i < 100000; ++i) {
    const float v = bb_random_Rnd();
    lo = std::min(lo, v), hi = std::max(hi, v);
  }
  EXPECT_TRUE(lo >= 0 && hi < 1 && hi > 0.999f) << lo << " " << hi;
}

TEST(AsyncEvents, SourcesThatRemoveThemselvesDoNotSkipTheirNeighbour) {
  gc_init();
  gc_assign(bb_asyncevent__sources, (new c_Stack)->m_new());
  static std::vector<int> visits;
  // Source 2 removes itself (at index 1) while the sources are visited.
  struct Source : Object, c_IAsyncEventSource {
    int id;
    explicit Source(int i) : id(i) {}
    int p_UpdateAsyncEvents() override {
      visits.push_back(id);
      if (id == 2) bb_asyncevent__sources->p_Remove(1), bb_asyncevent__current = nullptr;
      return 0;
    }
  };
  for (int id = 1; id <= 3; ++id) bb_asyncevent__sources->p_Push(new Source(id));
  bb_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(visits, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(bb_asyncevent__current, nullptr);
  for (int outside : {-1, 2}) bb_asyncevent__sources->p_Remove(outside);  // nothing to remove there
  EXPECT_EQ(bb_asyncevent__sources->p_Length2(), 2);
  bb_asyncevent__sources = nullptr;
}

}  // namespace
