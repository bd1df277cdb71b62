// fake_window.h: a scripted window system with a test clock, for driving the host headless.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "runtime/platform/window.h"

class FakeWindow : public BBWindowSystem {
 public:
  double now = 100.0;  // seconds of the fake timer; a wait for events takes half a second
  bool opened = false, active = true, iconified = false, lastFullscreen = false, cursorVisible = true;
  int opens = 0, closes = 0, polls = 0, lastWidth = 0, lastHeight = 0, posX = -1, posY = -1;
  std::string title;
  BBVideoModeInfo desktop{1280, 1024, 8, 8, 8};
  std::set<int> pressed;
  BBWindowCallbacks callbacks;
  // "|" at every poll, "sleep" and "wait"; a test's game delegate logs its events here too.
  std::vector<std::string> log;
  // Called at every poll with its number (1, 2, ...): fire callbacks, move time, close.
  std::function<void(int)> onPoll;
  struct Joy {
    bool present = false;
    std::vector<float> axes;
    std::vector<unsigned char> buttons;
  } joys[4];
  std::vector<int> joyPolls;  // ports asked for, in order
  // When set, RunLoop drives the host as a browser does: one non-blocking pass per frame, the
  // clock moving on by a 60th of a second between frames, each logged as "frame".
  bool browser = false;

  bool Init() override { return true; }
  void Terminate() override {}
  bool OpenWindow(int width, int height, int, int, int, int, int, int, bool fullscreen, bool) override {
    ++opens, opened = true, title.clear();
    lastWidth = width, lastHeight = height, lastFullscreen = fullscreen;
    return true;
  }
  void CloseWindow() override { closes += opened, opened = false; }
  void SetWindowTitle(const char* utf8) override { title = utf8; }
  void SetWindowPos(int x, int y) override { posX = x, posY = y; }
  int WindowParam(Param which) override {
    return which == kOpened ? opened : which == kActive ? active : iconified;
  }
  void GetWindowSize(int* w, int* h) override { *w = lastWidth, *h = lastHeight; }
  BBVideoModeInfo DesktopMode() override { return desktop; }
  std::vector<BBVideoModeInfo> VideoModes() override { return {desktop}; }
  void SetCallbacks(const BBWindowCallbacks& cb) override { callbacks = cb; }
  void PollEvents() override {
    log.push_back("|");
    if (onPoll) onPoll(++polls);
  }
  void WaitEvents() override { now += 0.5, log.push_back("wait"); }
  double Time() override { return now; }
  void Sleep(double seconds) override { now += seconds, log.push_back("sleep"); }
  bool KeyPressed(int key) override { return pressed.count(key) != 0; }
  void MousePos(int* x, int* y) override { *x = 12, *y = 34; }
  void SetCursorVisible(bool visible) override { cursorVisible = visible; }
  void SwapBuffers() override {}
  void RunLoop(bool (*pass)(bool blocking)) override {
    if (!browser) return BBWindowSystem::RunLoop(pass);
    while (pass(false)) now += 1.0 / 60, log.push_back("frame");
  }
  bool JoystickPresent(int port) override {
    joyPolls.push_back(port);
    return port < 4 && joys[port].present;
  }
  int JoystickAxes(int port, float* to, int max) override { return Copy(joys[port].axes, to, max); }
  int JoystickButtons(int port, unsigned char* to, int max) override {
    return Copy(joys[port].buttons, to, max);
  }
  template <class T>
  static int Copy(const std::vector<T>& from, T* to, int max) {
    for (size_t i = 0; i < from.size() && i < static_cast<size_t>(max); ++i) to[i] = from[i];
    return static_cast<int>(from.size());
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
