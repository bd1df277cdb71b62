// fake_window.h: a scripted window system with a test clock, for driving the host headless.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "runtime/platform/window.h"

class FakeWindow : public BBWindowSystem {
 public:
  double now = 100.0;  // seconds of the fake timer
  bool opened = false, active = true, iconified = false;
  int opens = 0, closes = 0;
  bool lastFullscreen = false;
  int lastWidth = 0, lastHeight = 0;
  std::string title;
  int posX = -1, posY = -1;
  BBVideoModeInfo desktop{1280, 1024, 8, 8, 8};
  std::set<int> pressed;
  BBWindowCallbacks callbacks;
  int polls = 0, waits = 0;
  std::vector<double> sleeps;
  // Called at every PollEvents with the pass number (1, 2, ...): fire callbacks, move time, close.
  std::function<void(int)> onPoll;
  // Time that passes while the host blocks waiting for an event.
  double waitTime = 0.5;
  bool cursorVisible = true;
  int swaps = 0;
  // Joystick ports: present flag, axes and buttons.
  struct Joy {
    bool present = false;
    std::vector<float> axes;
    std::vector<unsigned char> buttons;
  } joys[4];
  std::vector<int> joyPolls;  // ports asked for, in order
  // When set, sleeps and waits (and the browser's frames) are logged here beside the game's events.
  std::vector<std::string>* trace = nullptr;
  // When set, RunLoop drives the host as a browser does: one non-blocking pass per frame, the
  // clock moving on by frameTime between frames.
  bool browser = false;
  double frameTime = 1.0 / 60;

  bool Init() override { return true; }
  void Terminate() override {}
  bool OpenWindow(int width, int height, int, int, int, int, int, int, bool fullscreen, bool) override {
    ++opens;
    opened = true;
    lastWidth = width, lastHeight = height, lastFullscreen = fullscreen;
    title.clear();
    return true;
  }
  void CloseWindow() override {
    if (opened) ++closes;
    opened = false;
  }
  void SetWindowTitle(const char* utf8) override { title = utf8; }
  void SetWindowPos(int x, int y) override { posX = x, posY = y; }
  int WindowParam(Param which) override {
    switch (which) {
      case kOpened: return opened;
      case kActive: return active;
      case kIconified: return iconified;
    }
    return 0;
  }
  void GetWindowSize(int* w, int* h) override { *w = lastWidth, *h = lastHeight; }
  BBVideoModeInfo DesktopMode() override { return desktop; }
  std::vector<BBVideoModeInfo> VideoModes() override { return {desktop}; }
  void SetCallbacks(const BBWindowCallbacks& cb) override { callbacks = cb; }
  void PollEvents() override {
    ++polls;
    if (onPoll) onPoll(polls);
  }
  void WaitEvents() override {
    ++waits;
    now += waitTime;
    if (trace) trace->push_back("wait");
  }
  double Time() override { return now; }
  void Sleep(double seconds) override {
    sleeps.push_back(seconds);
    now += seconds;
    if (trace) trace->push_back("sleep");
  }
  bool KeyPressed(int key) override { return pressed.count(key) != 0; }
  void MousePos(int* x, int* y) override { *x = 12, *y = 34; }
  void SetCursorVisible(bool visible) override { cursorVisible = visible; }
  void SwapBuffers() override { ++swaps; }
  void RunLoop(bool (*pass)(bool blocking)) override {
    if (!browser) return BBWindowSystem::RunLoop(pass);
    while (pass(false)) {
      now += frameTime;
      if (trace) trace->push_back("frame");
    }
  }
  bool JoystickPresent(int port) override {
    joyPolls.push_back(port);
    return port < 4 && joys[port].present;
  }
  int JoystickAxes(int port, float* axes, int max) override {
    const auto& a = joys[port].axes;
    for (int i = 0; i < static_cast<int>(a.size()) && i < max; ++i) axes[i] = a[static_cast<size_t>(i)];
    return static_cast<int>(a.size());
  }
  int JoystickButtons(int port, unsigned char* buttons, int max) override {
    const auto& b = joys[port].buttons;
    for (int i = 0; i < static_cast<int>(b.size()) && i < max; ++i) buttons[i] = b[static_cast<size_t>(i)];
    return static_cast<int>(b.size());
  }
};

// Installs a fake window system for the life of a test.
class ScopedFakeWindow {
 public:
  ScopedFakeWindow() { previous_ = bbSetWindowSystem(&fake); }
  ~ScopedFakeWindow() { bbSetWindowSystem(previous_); }
  FakeWindow fake;

 private:
  BBWindowSystem* previous_;
};
