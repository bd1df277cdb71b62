// The host's fixed-rate loop, lifecycle guards, window opening and window-library callbacks,
// driven through a scripted window system and a test clock. The loop runs in both its forms: the
// desktop's, whose passes block, and the browser's, one non-blocking pass per frame.
#include <GLFW/glfw3.h>  // the library's key numbers only
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fake_window.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"

namespace {

// Records every event the host forwards, with the fake time it arrived at.
class Recorder : public BBGameDelegate {
 public:
  FakeWindow* win = nullptr;
  BBGlfwGame* host = nullptr;
  int startRate = 0;        // update rate requested when the game starts
  double updateCost = 0;    // seconds each update takes
  std::vector<std::string> log;
  std::vector<double> updateTimes, renderTimes;
  std::vector<double> updateDue;  // the schedule's time when each update ran

  void StartGame() override {
    log.push_back("start");
    if (startRate) host->SetUpdateRate(startRate);
  }
  void SuspendGame() override { log.push_back("suspend"); }
  void ResumeGame() override { log.push_back("resume"); }
  void UpdateGame() override {
    log.push_back("update");
    updateTimes.push_back(win->now);
    // The host has already advanced the schedule past this update.
    updateDue.push_back(host->NextUpdate() - 1.0 / host->UpdateRate());
    win->now += updateCost;
  }
  void RenderGame() override {
    log.push_back("render");
    renderTimes.push_back(win->now);
  }
  void KeyEvent(int event, int data) override {
    log.push_back("key " + std::to_string(event) + " " + std::to_string(data));
  }
  void MouseEvent(int event, int data, float x, float y) override {
    log.push_back("mouse " + std::to_string(event) + " " + std::to_string(data) + " " +
                  std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  }
  int Count(const std::string& what) const {
    int n = 0;
    for (const auto& l : log) n += l == what;
    return n;
  }
};

class HostLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    host = new BBGlfwGame;
    rec = new Recorder;
    rec->win = &window.fake;
    rec->host = host;
    host->SetDelegate(rec);
  }
  void TearDown() override { delete host; }
  // Runs the loop until pass `passes` has polled, then closes the window.
  void RunPasses(int passes, std::function<void(int)> script = nullptr) {
    window.fake.onPoll = [this, passes, script](int pass) {
      if (script) script(pass);
      if (pass > passes) window.fake.opened = false;
    };
    host->Run();
  }

  ScopedFakeWindow window;
  BBGlfwGame* host = nullptr;
  Recorder* rec = nullptr;
};

// The same schedule rules in both forms of the loop; only where a desktop pass blocks does a
// browser pass return, to be called again on the next frame.
class HostLoopForms : public HostLoop, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    HostLoop::SetUp();
    window.fake.browser = browser;
  }
  const bool browser = GetParam();
  // What the trace shows where a desktop pass waits for events, or sleeps until an update is due.
  const std::string wait = browser ? "frame" : "wait", sleep = browser ? "frame" : "sleep";
};
INSTANTIATE_TEST_SUITE_P(Forms, HostLoopForms, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Browser" : "Desktop";
                         });

TEST_P(HostLoopForms, WithoutAnUpdateRateRendersOncePerEventAndNeverUpdates) {
  RunPasses(3);
  EXPECT_EQ(rec->Count("update"), 0);
  EXPECT_EQ(rec->Count("render"), 1 + 3) << "once after start, then once per pass";
  EXPECT_EQ(window.fake.waits, browser ? 0 : 3) << "blocks for events instead of spinning";
  EXPECT_TRUE(window.fake.sleeps.empty());
  EXPECT_EQ(rec->log[0], "start");
  EXPECT_EQ(rec->log[1], "render");
}

TEST_P(HostLoopForms, SleepsUntilEachUpdateIsDueAndNeverUpdatesEarly) {
  rec->startRate = 50;
  RunPasses(20);
  ASSERT_GT(rec->Count("update"), 5);
  for (size_t i = 0; i < rec->updateTimes.size(); ++i)
    EXPECT_GE(rec->updateTimes[i] + 1e-9, rec->updateDue[i]) << "update " << i << " ran early";
  // Fast updates alternate with sleeps: one update and one render per due pass.
  EXPECT_EQ(rec->Count("update") + 1, rec->Count("render"));
  for (double s : window.fake.sleeps) EXPECT_NEAR(s, 0.02, 1e-9);
  EXPECT_EQ(window.fake.sleeps.empty(), browser);
  EXPECT_EQ(window.fake.waits, 0);
}

TEST_P(HostLoopForms, SlowUpdatesGetFourCatchUpsThenTheScheduleRestarts) {
  rec->startRate = 60;
  rec->updateCost = 0.05;  // three periods per update
  RunPasses(4);
  // Pass 1 waits until the first update is due; passes 2-4 each run 4 updates and 1 render.
  ASSERT_EQ(window.fake.sleeps.size(), browser ? 0u : 1u);
  EXPECT_EQ(rec->Count("update"), 12);
  EXPECT_EQ(rec->Count("render"), 1 + 3);
  std::vector<std::string> pass(rec->log.end() - 5, rec->log.end());
  EXPECT_EQ(pass, (std::vector<std::string>{"update", "update", "update", "update", "render"}));
  EXPECT_DOUBLE_EQ(host->NextUpdate(), rec->renderTimes.back()) << "the backlog is dropped";
}

TEST_P(HostLoopForms, LosingFocusSuspendsUpdatesButKeepsRendering) {
  rec->startRate = 60;
  RunPasses(6, [this](int pass) {
    if (pass == 3) window.fake.active = false;
  });
  EXPECT_EQ(rec->Count("suspend"), 1);
  EXPECT_TRUE(host->Suspended());
  EXPECT_FALSE(host->Iconified());
  // After the focus loss, passes 3..6 each render and wait, with no update.
  std::vector<std::string> tail(rec->log.end() - 4, rec->log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"render", "render", "render", "render"}));
  EXPECT_EQ(window.fake.waits, browser ? 0 : 4);
}

TEST_P(HostLoopForms, MinimisingStopsRenderingAndRestoringResumesWithoutCatchUp) {
  rec->startRate = 60;
  window.fake.trace = &rec->log;
  RunPasses(8, [&](int pass) {
    if (pass == 3) window.fake.iconified = true;
    if (pass == 6) window.fake.iconified = false;
  });
  EXPECT_EQ(rec->Count("suspend"), 1);
  EXPECT_EQ(rec->Count("resume"), 1);
  auto suspend = std::find(rec->log.begin(), rec->log.end(), "suspend");
  auto resume = std::find(rec->log.begin(), rec->log.end(), "resume");
  // While minimised (passes 3-5) the host only waits, without a render or update.
  EXPECT_EQ(std::vector<std::string>(suspend + 1, resume), (std::vector<std::string>{wait, wait, wait}));
  // After the resume a single update runs at once, without a sleep and without a catch-up burst.
  ASSERT_GE(rec->log.end() - resume, 4);
  EXPECT_EQ(std::vector<std::string>(resume + 1, resume + 4),
            (std::vector<std::string>{"update", "render", sleep}));
  EXPECT_FALSE(host->Iconified());
}

TEST_F(HostLoop, GuardsIgnoreEventsOutOfOrder) {
  host->KeyEvent(c_BBGameEvent::KeyDown, 65);
  host->UpdateGame();
  host->RenderGame();
  host->SuspendGame();
  EXPECT_TRUE(rec->log.empty()) << "nothing reaches the game before it starts";
  host->StartGame();
  host->StartGame();
  host->ResumeGame();
  host->SuspendGame();
  host->SuspendGame();
  host->UpdateGame();
  host->RenderGame();
  host->KeyEvent(c_BBGameEvent::KeyDown, 65);
  host->ResumeGame();
  host->ResumeGame();
  EXPECT_EQ(rec->log, (std::vector<std::string>{"start", "suspend", "render", "key 1 65", "resume"}));
}

TEST_F(HostLoop, EveryEventIsFollowedByACollectionStep) {
  // Each step marks the delegate first, so what only the delegate refers to survives the sweep
  // that the event's step runs; an unreachable object does not.
  struct Holder : Recorder {
    Object* held = nullptr;
    void mark() override { gc_mark_q(held); }
  };
  Holder* holder = new Holder;
  holder->win = &window.fake;
  holder->host = host;
  host->SetDelegate(holder);
  holder->held = new Object;
  Object* lost = new Object;
  gc_new_bytes = gc_sweep_threshold + 1;
  host->StartGame();  // this event's step drains and sweeps
  EXPECT_EQ(gc_new_bytes, 0);
  EXPECT_TRUE(gc_holds(holder->held));
  EXPECT_FALSE(gc_holds(lost));
}

TEST_F(HostLoop, OpeningTheWindowReleasesHeldKeysCentresAndTitles) {
  host->StartGame();
  window.fake.pressed = {GLFW_KEY_F11, GLFW_KEY_LEFT_ALT};
  int seq = glfwGraphicsSeq;
  host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(rec->log.back(), "key 2 122") << "F11 released; the left Alt has no code";
  EXPECT_EQ(rec->Count("key 2 122"), 1);
  EXPECT_EQ(glfwGraphicsSeq, seq + 1);
  EXPECT_EQ(window.fake.title, "Garvolin Zudodo");
  EXPECT_EQ(window.fake.posX, (1280 - 640) / 2);
  EXPECT_EQ(window.fake.posY, (1024 - 480) / 2);
  EXPECT_NE(window.fake.callbacks.key, nullptr);

  window.fake.pressed.clear();
  window.fake.posX = -1;
  host->SetGlfwWindow(1280, 1024, 8, 8, 8, 0, 0, 0, true);
  EXPECT_TRUE(window.fake.lastFullscreen);
  EXPECT_EQ(window.fake.title, "Garvolin Zudodo") << "a full-screen window keeps the title";
  EXPECT_EQ(window.fake.posX, -1);
  EXPECT_EQ(glfwGraphicsSeq, seq + 2);
  EXPECT_EQ(window.fake.opens, 2);
  EXPECT_EQ(window.fake.closes, 1);
}

TEST_F(HostLoop, FullscreenFlipReopensAtTheDesktopSizeAndBack) {
  host->StartGame();
  window.fake.desktop = {1920, 1080, 8, 8, 8};
  int fullscreen = 0;
  int seq = glfwGraphicsSeq;
  host->FullscreenFlip(&fullscreen);
  EXPECT_EQ(fullscreen, 1);
  EXPECT_TRUE(window.fake.lastFullscreen);
  EXPECT_EQ(window.fake.lastWidth, 1920);
  EXPECT_EQ(window.fake.lastHeight, 1080);
  host->FullscreenFlip(&fullscreen);
  EXPECT_EQ(fullscreen, 0);
  EXPECT_FALSE(window.fake.lastFullscreen);
  EXPECT_EQ(window.fake.lastWidth, 640);
  EXPECT_EQ(window.fake.posX, (1920 - 640) / 2);
  EXPECT_EQ(window.fake.title, "Garvolin Zudodo");
  EXPECT_EQ(glfwGraphicsSeq, seq + 2);
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

class HostCallbacks : public HostLoop {
 protected:
  void SetUp() override {
    HostLoop::SetUp();
    host->StartGame();
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    rec->log.clear();
  }
  std::vector<std::string> Press(int key, int action = BBWindowSystem::kPress) {
    rec->log.clear();
    window.fake.callbacks.key(key, action);
    return rec->log;
  }
};

TEST_F(HostCallbacks, KeysArriveWithRuntimeCodesAndSynthesisedCharacters) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Press(GLFW_KEY_A), (V{"key 1 65"}));
  EXPECT_EQ(Press(GLFW_KEY_A, BBWindowSystem::kRelease), (V{"key 2 65"}));
  EXPECT_EQ(Press(GLFW_KEY_LEFT), (V{"key 1 37", "key 3 65573"}));  // 0x10025
  EXPECT_EQ(Press(GLFW_KEY_INSERT), (V{"key 1 45", "key 3 65581"}));
  EXPECT_EQ(Press(GLFW_KEY_DELETE), (V{"key 1 46", "key 3 127"}));
  EXPECT_EQ(Press(GLFW_KEY_ENTER), (V{"key 1 13", "key 3 13"}));
  EXPECT_EQ(Press(GLFW_KEY_F1), (V{"key 1 112"}));
  EXPECT_EQ(Press(GLFW_KEY_LEFT_ALT), V{});
  EXPECT_EQ(Press(GLFW_KEY_KP_ENTER), V{});
  EXPECT_EQ(Press(GLFW_KEY_F13), V{});
  // Auto-repeat arrives as further presses, each with its character.
  Press(GLFW_KEY_UP);
  EXPECT_EQ(Press(GLFW_KEY_UP), (V{"key 1 38", "key 3 65574"}));
}

TEST_F(HostCallbacks, CharactersMouseAndClose) {
  window.fake.callbacks.character(0xe9, BBWindowSystem::kPress);
  window.fake.callbacks.mouseButton(0, BBWindowSystem::kPress);
  window.fake.callbacks.mouseButton(1, BBWindowSystem::kRelease);
  window.fake.callbacks.mouseButton(3, BBWindowSystem::kPress);  // beyond the middle button
  window.fake.callbacks.mousePos(200, 100);
  EXPECT_EQ(window.fake.callbacks.close(), 0) << "the close request is vetoed";
  EXPECT_EQ(rec->log, (std::vector<std::string>{"key 3 233", "mouse 4 0 12,34", "mouse 5 1 12,34",
                                                "mouse 6 -1 200,100", "key 1 432", "key 2 432"}));
}

TEST_F(HostCallbacks, JoystickAxesMapByTheirCount) {
  Array<float> x(2), y(2), z(2);
  Array<bool> buttons(32);
  EXPECT_FALSE(host->PollJoystick(0, x, y, z, buttons));
  auto& joy = window.fake.joys[0];
  joy.present = true;
  joy.axes = {0.1f, 0.2f, 0.3f, 0.4f};
  EXPECT_TRUE(host->PollJoystick(0, x, y, z, buttons));
  EXPECT_EQ((std::vector<float>{x[0], x[1], y[0], y[1], z[0], z[1]}),
            (std::vector<float>{0.1f, 0.4f, 0.2f, 0.3f, 0, 0}));
  joy.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
  host->PollJoystick(0, x, y, z, buttons);
  EXPECT_EQ((std::vector<float>{x[0], x[1], y[0], y[1], z[0], z[1]}),
            (std::vector<float>{0.1f, 0.5f, 0.2f, 0.4f, 0.3f, 0}));
  joy.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};
  host->PollJoystick(0, x, y, z, buttons);
  EXPECT_EQ((std::vector<float>{x[0], x[1], y[0], y[1], z[0], z[1]}),
            (std::vector<float>{0.1f, 0.4f, 0.2f, 0.5f, 0.3f, 0.6f}));
  joy.axes = {0.9f};
  host->PollJoystick(0, x, y, z, buttons);
  EXPECT_EQ((std::vector<float>{x[0], x[1], y[0], y[1], z[0], z[1]}),
            (std::vector<float>{0.9f, 0, 0, 0, 0, 0})) << "missing axes read as 0";
  // A 12-button controller leaves buttons 12..31 as they were.
  buttons[20] = true;
  joy.buttons.assign(12, 1);
  joy.buttons[3] = 0;
  host->PollJoystick(0, x, y, z, buttons);
  EXPECT_TRUE(buttons[0]);
  EXPECT_FALSE(buttons[3]);
  EXPECT_TRUE(buttons[11]);
  EXPECT_TRUE(buttons[20]);
  EXPECT_FALSE(buttons[12]);
}

TEST_F(HostCallbacks, ClockServices) {
  window.fake.now = 12.3456;
  EXPECT_EQ(host->Millisecs(), 12345);
  Array<int> three(3);
  host->GetDate(three);
  EXPECT_GE(three[0], 2024);
  EXPECT_GE(three[1], 1);
  EXPECT_LE(three[1], 12);
  EXPECT_GE(three[2], 1);
  Array<int> eight(8);
  eight[6] = 99;
  eight[7] = 77;
  host->GetDate(eight);
  EXPECT_EQ(eight[6], 0);
  EXPECT_EQ(eight[7], 77) << "the eighth element is left alone";
  host->SetMouseVisible(false);
  EXPECT_FALSE(window.fake.cursorVisible);
}

}  // namespace
