// session.h: the game on the real graphics device, driven by a script instead of a player.
//
// A session opens the real window (GLFW on the X display) at a chosen size, builds the game the
// way the runtime's start-up does, and then runs updates and renders when the script says so,
// with a clock that advances exactly one 60 Hz period per update: the same script gives the same
// frames on every run. Input arrives as the host delivers it (key and mouse events between
// updates); nothing the real X server reports reaches the game. A capture renders one frame
// through the real device and reads its pixels back before the buffers are swapped.
//
// Depends on: the game's application object, the runtime's host, window system, graphics and
// audio devices. Must not touch: the game's fields beyond what a script prepares (progress and
// scores, as a save file would bring them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/app.h"

namespace screens {

// Key codes the game answers to.
namespace keys {
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kEnter = 13, kEscape = 27, kN = 78;
}  // namespace keys

// One rendered frame: 8-bit RGB, top row first.
struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

class Session {
 public:
  // (Re)opens the window at width x height when it has another size, and starts a new game in
  // `folder` (made if missing), whose data/ links to `dataDir`. The game is rendered once, as the
  // host does right after start-up.
  Session(int width, int height, const std::string& folder, const std::string& dataDir);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // One update as the application layer runs it, the clock one period later.
  void Update();
  void Updates(int n);
  // Updates until `done` holds (checked before each), at most `limit`; false when it never did.
  bool UpdatesUntil(const std::function<bool()>& done, int limit);
  // Updates until the loader has finished.
  void FinishLoading();

  void KeyDown(int key);
  void KeyUp(int key);
  // A key held for `hold` updates, then released for one.
  void Press(int key, int hold = 2);

  // Renders one frame through the real device and returns its pixels.
  Frame Capture();

  c_MyApp* app = nullptr;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  std::string previousDir_;
};

}  // namespace screens
