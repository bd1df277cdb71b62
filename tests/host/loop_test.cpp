// The host's fixed-rate loop, lifecycle guards, window opening and window-library callbacks,
// driven through a scripted window system and a test clock. The loop runs in both its forms: the
// desktop's, whose passes block, and the browser's, one non-blocking pass per frame.
#include <GLFW/glfw3.h>  // the library's key numbers only
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"

namespace {

// Logs every event the host forwards into the fake window's log, beside its polls, sleeps and waits.
class Recorder : public BBGameDelegate {
 public:
  FakeWindow* win = nullptr;
  double updateCost = 0;   // seconds each update takes
  Object* held = nullptr;  // reachable only through the delegate

  void mark() override { gc_mark_q(held); }
  void StartGame() override { Log("start"); }
  void SuspendGame() override { Log("suspend"); }
  void ResumeGame() override { Log("resume"); }
  void UpdateGame() override { Log("update"), win->now += updateCost; }
  void RenderGame() override { Log("render"); }
  void KeyEvent(int event, int data) override { Log("key " + Str(event) + " " + Str(data)); }
  void MouseEvent(int event, int data, float x, float y) override {
    Log("mouse " + Str(event) + " " + Str(data) + " " + Str(int(x)) + "," + Str(int(y)));
  }
  static std::string Str(int n) { return std::to_string(n); }
  void Log(const std::string& what) { win->log.push_back(what); }
};

class HostLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    host = new BBGlfwGame;
    rec = new Recorder;
    rec->win = &window.fake;
    host->SetDelegate(rec);
  }
  void TearDown() override { delete host; }
  std::vector<std::string>& log() { return window.fake.log; }

  ScopedFakeWindow window;
  BBGlfwGame* host = nullptr;
  Recorder* rec = nullptr;
};

// One run of the loop: the game's rate and update cost, what the window does at which poll (0:
// never), and the whole log expected, with the seconds the run takes on the fake clock.
struct Schedule {
  const char* name;
  int rate;
  double cost;  // until poll `fastAt`, from which updates take no time
  int fastAt, blurAt, iconifyAt, restoreAt, closeAt;
  const char* log;
  double seconds;
  bool browser = false;
};

void PrintTo(const Schedule& s, std::ostream* os) { *os << s.name; }

class HostSchedule : public HostLoop, public ::testing::WithParamInterface<Schedule> {};

TEST_P(HostSchedule, LogAndTimeTaken) {
  const Schedule& s = GetParam();
  FakeWindow& w = window.fake;
  rec->updateCost = s.cost;
  w.browser = s.browser;
  host->SetUpdateRate(s.rate);  // as the game's start would
  w.onPoll = [&](int poll) {
    if (poll == s.fastAt) rec->updateCost = 0;
    if (poll == s.blurAt) w.active = false;
    if (poll == s.iconifyAt) w.iconified = true;
    if (poll == s.restoreAt) w.active = true, w.iconified = false;
    if (poll == s.closeAt) w.opened = false;
  };
  host->Run();
  std::string got;
  for (const auto& l : w.log) got += (got.empty() ? "" : " ") + l;
  EXPECT_EQ(got, s.log);
  EXPECT_NEAR(w.now - 100.0, s.seconds, 1e-9);
  EXPECT_FALSE(host->Iconified());
}

const Schedule kSchedules[] = {
    {"without a rate, one render per event and a blocking wait", 0, 0, 0, 0, 0, 0, 4,
     "start render | render wait | render wait | render wait |", 1.5},
    {"each update runs when due, after a sleep", 50, 0, 0, 0, 0, 0, 5,
     "start render | sleep | update render | sleep | update render |", 0.04},
    {"slow updates: four catch-ups per render, then the backlog is dropped", 60, 0.05, 4, 0, 0, 0, 5,
     "start render | sleep | update update update update render | update update update update render"
     " | update render |",
     1 / 60.0 + 8 * 0.05},
    {"focus loss suspends updates but keeps rendering; focus back resumes at once", 60, 0, 0, 3, 0, 5, 7,
     "start render | sleep | update render | suspend render wait | render wait | resume update render"
     " | sleep |",
     2 / 60.0 + 1.0},
    {"minimised: only waits; restored: one update at once, no catch-up burst", 60, 0, 0, 0, 3, 6, 8,
     "start render | sleep | update render | suspend wait | wait | wait | resume update render | sleep |",
     2 / 60.0 + 1.5},
    // In the browser the same rules, where a desktop pass would wait or sleep, a frame passes.
    {"browser: without a rate, one render per frame", 0, 0, 0, 0, 0, 0, 4,
     "start render | render frame | render frame | render frame |", 3 / 60.0, true},
    {"browser: each update runs when due", 50, 0, 0, 0, 0, 0, 5,
     "start render | frame | frame | update render frame | update render frame |", 4 / 60.0, true},
    {"browser: slow updates, four catch-ups", 60, 0.05, 4, 0, 0, 0, 5,
     "start render | frame | update update update update render frame | update update update update render frame"
     " | update update render frame |",
     4 / 60.0 + 8 * 0.05, true},
    {"browser: minimised and restored", 60, 0, 0, 0, 3, 6, 8,
     "start render | frame | update render frame | suspend frame | frame | frame | resume update render frame"
     " | update render frame |",
     7 / 60.0, true},
};
INSTANTIATE_TEST_SUITE_P(Rows, HostSchedule, ::testing::ValuesIn(kSchedules));

// Nothing reaches the game before it starts; starting, suspending and resuming happen once each;
// a suspended game gets no updates but still renders and hears keys.
TEST_F(HostLoop, GuardsIgnoreEventsOutOfOrder) {
  auto events = [this] { host->UpdateGame(), host->RenderGame(), host->KeyEvent(c_BBGameEvent::KeyDown, 65); };
  events();
  host->SuspendGame(), host->StartGame(), host->StartGame(), host->ResumeGame(), host->SuspendGame(), host->SuspendGame();
  events();
  host->ResumeGame(), host->ResumeGame();
  EXPECT_EQ(log(), (std::vector<std::string>{"start", "suspend", "render", "key 1 65", "resume"}));
}

// Each event's collection step marks the delegate first: what only the delegate refers to
// survives the sweep; an unreachable object does not.
TEST_F(HostLoop, EveryEventIsFollowedByACollectionStep) {
  rec->held = new Object;
  Object* lost = new Object;
  gc_new_bytes = gc_sweep_threshold + 1;
  host->StartGame();
  EXPECT_EQ(gc_new_bytes, 0);
  EXPECT_TRUE(gc_holds(rec->held));
  EXPECT_FALSE(gc_holds(lost));
}

TEST_F(HostLoop, FullScreenAtTheDesktopSizeAndBackToACentredTitledWindow) {
  host->StartGame();
  log().clear();
  FakeWindow& w = window.fake;
  w.desktop = {1920, 1080, 8, 8, 8};
  w.pressed = {GLFW_KEY_F11, GLFW_KEY_LEFT_ALT};
  auto shape = [&w] {
    return std::to_string(w.lastWidth) + "x" + std::to_string(w.lastHeight) +
           (w.lastFullscreen ? " full '" : " '") + w.title + "' at " + std::to_string(w.posX) + "," +
           std::to_string(w.posY);
  };
  int fullscreen = 0, seq = glfwGraphicsSeq;
  host->FullscreenFlip(&fullscreen);
  EXPECT_EQ(log(), (std::vector<std::string>{"key 2 122"})) << "held F11 released; the left Alt has no code";
  EXPECT_EQ(fullscreen, 1);
  EXPECT_EQ(shape(), "1920x1080 full 'Garvolin Zudodo' at -1,-1") << "a full-screen window keeps its title, not a position";
  w.pressed.clear();
  host->FullscreenFlip(&fullscreen);
  EXPECT_EQ(fullscreen, 0);
  EXPECT_EQ(shape(), "640x480 'Garvolin Zudodo' at 640,300") << "centred on the desktop";
  EXPECT_EQ(glfwGraphicsSeq, seq + 2);
  EXPECT_EQ(w.opens - w.closes, 1) << "the old window is closed first";
  EXPECT_NE(w.callbacks.key, nullptr);
}

TEST_F(HostLoop, AWindowLibraryThatWillNotStartEndsTheProcess) {
  struct NoWindows : FakeWindow {
    bool Init() override { return false; }
  } broken;
  auto start = [&broken] {
    bbSetWindowSystem(&broken);
    dup2(2, 1);
    const char* args[] = {"garvolin-zudodo", nullptr};
    BBDesktopGame::Main(1, args);
  };
  EXPECT_EXIT(start(), ::testing::ExitedWithCode(255), "^glfwInit failed\n$");
}

// Keys arrive with the runtime's codes, some with a synthesised character, auto-repeat as further
// presses; characters, mouse buttons, pointer moves and a vetoed close request follow.
TEST_F(HostLoop, WindowCallbacksForwardInputWithRuntimeCodes) {
  using V = std::vector<std::string>;
  host->StartGame();
  host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  BBWindowCallbacks& cb = window.fake.callbacks;
  auto press = [&](int key, int action = BBWindowSystem::kPress) { return log().clear(), cb.key(key, action), log(); };
  EXPECT_EQ(press(GLFW_KEY_A), (V{"key 1 65"}));
  EXPECT_EQ(press(GLFW_KEY_A, BBWindowSystem::kRelease), (V{"key 2 65"}));
  EXPECT_EQ(press(GLFW_KEY_LEFT), (V{"key 1 37", "key 3 65573"}));  // 0x10025
  EXPECT_EQ(press(GLFW_KEY_INSERT), (V{"key 1 45", "key 3 65581"}));
  EXPECT_EQ(press(GLFW_KEY_DELETE), (V{"key 1 46", "key 3 127"}));
  EXPECT_EQ(press(GLFW_KEY_ENTER), (V{"key 1 13", "key 3 13"}));
  EXPECT_EQ(press(GLFW_KEY_F1), (V{"key 1 112"}));
  EXPECT_EQ(press(GLFW_KEY_LEFT_ALT), V{});
  EXPECT_EQ(press(GLFW_KEY_KP_ENTER), V{});
  EXPECT_EQ(press(GLFW_KEY_F13), V{});
  press(GLFW_KEY_UP);
  EXPECT_EQ(press(GLFW_KEY_UP), (V{"key 1 38", "key 3 65574"}));
  log().clear();
  cb.character(0xe9, BBWindowSystem::kPress);
  cb.mouseButton(0, BBWindowSystem::kPress);
  cb.mouseButton(1, BBWindowSystem::kRelease);
  cb.mouseButton(3, BBWindowSystem::kPress);  // beyond the middle button
  cb.mousePos(200, 100);
  EXPECT_EQ(cb.close(), 0) << "the close request is vetoed";
  EXPECT_EQ(log(), (V{"key 3 233", "mouse 4 0 12,34", "mouse 5 1 12,34", "mouse 6 -1 200,100", "key 1 432",
                      "key 2 432"}));
}

TEST_F(HostLoop, ClockDateAndPointer) {
  window.fake.now = 12.3456;
  EXPECT_EQ(host->Millisecs(), 12345);
  Array<int> date(8);
  date[6] = 99, date[7] = 77;
  host->GetDate(date);
  EXPECT_TRUE(date[0] >= 2024 && date[1] >= 1 && date[1] <= 12 && date[2] >= 1) << date[1] << "/" << date[2];
  EXPECT_EQ(date[6], 0);
  EXPECT_EQ(date[7], 77) << "the eighth element is left alone";
  host->SetMouseVisible(false);
  EXPECT_FALSE(window.fake.cursorVisible);
}

}  // namespace
