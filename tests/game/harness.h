// harness.h: the game driven headless with scripted input (a test clock, no OpenGL, OpenAL Soft's
// null output); arenas drawn as text; the state file's fields.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "game/app.h"
#include "host/fake_window.h"
#include "runtime/host/game.h"

namespace gametest {

// The host tests' scripted window, always open and focused, sized as asked, on the test's clock.
class HeadlessWindow : public FakeWindow {
 public:
  int width = 640, height = 480;
  HeadlessWindow() { now = 1.0; }
  bool OpenWindow(int w, int h, int, int, int, int, int, int, bool, bool) override { return width = w, height = h, true; }
  int WindowParam(Param which) override { return which == kIconified ? 0 : 1; }
  void GetWindowSize(int* w, int* h) override { *w = width, *h = height; }
  void MousePos(int* x, int* y) override { *x = *y = 0; }
  void PollEvents() override {}
  void Sleep(double seconds) override { now += seconds; }
};

// A graphics device without OpenGL: surfaces keep their decoded pixels; draws are only counted.
class HeadlessGraphics : public gxtkGraphics {
 public:
  int draws = 0;
  HeadlessWindow* window = nullptr;
  int Width() override { return window->width; }
  int Height() override { return window->height; }
  int BeginRender() override {
    width = window->width, height = window->height, draws = 0;
    return 1;
  }
  int EndRender() override { return 0; }
  gxtkSurface* LoadSurface(String path) override { return LoadSurface__UNSAFE__(new gxtkSurface, path); }
  int Cls(float, float, float) override { return 0; }
  int SetBlend(int) override { return 0; }
  int SetScissor(int, int, int, int) override { return 0; }
  int DrawPoint(float, float) override { return ++draws, 0; }
  int DrawRect(float, float, float, float) override { return ++draws, 0; }
  int DrawLine(float, float, float, float) override { return ++draws, 0; }
  int DrawOval(float, float, float, float) override { return ++draws, 0; }
  int DrawSurface(gxtkSurface*, float, float) override { return ++draws, 0; }
  int DrawSurface2(gxtkSurface*, float, float, int, int, int, int) override { return ++draws, 0; }
};

// Several values compared at once: EXPECT_EQ(V(a, b), V(1, 2)).
template <class... T>
std::vector<double> V(T... values) {
  return {static_cast<double>(values)...};
}

enum Key { kEnter = 13, kEscape = 27, kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };

// A new empty folder under /tmp.
std::string NewFolder();

// One game, created as the runtime creates it, in a working folder whose data/ is the project's:
// a scratch folder of its own, or the given one (made if missing; kept afterwards unless `keep` is
// false, so that a later game can start from the state file this one leaves).
class Game {
 public:
  Game() : Game(NewFolder(), false) {}
  explicit Game(const std::string& folder, bool keep = true);
  ~Game();

  // One update as the application layer runs it, the clock one 60 Hz period on.
  void Update();
  void Updates(int n) { for (int i = 0; i < n; ++i) Update(); }
  void Render();
  void Resize(int w, int h) { window.width = w, window.height = h; }
  // Updates until the loader has finished (at most 60).
  void FinishLoading();
  // Loaded, rendered once (the pointer then maps 1:1 onto design units), the title menu slid in.
  void Ready();

  // Input as the host delivers it between updates; the pointer in window pixels.
  void KeyDown(int key) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyDown, key); }
  void KeyUp(int key) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyUp, key); }
  void Char(int character) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyChar, character); }
  void MouseMove(float x, float y) { bb_app__delegate->MouseEvent(c_BBGameEvent::MouseMove, -1, x, y); }
  void MouseDown(float x, float y) { bb_app__delegate->MouseEvent(c_BBGameEvent::MouseDown, 0, x, y); }
  void MouseUp() { bb_app__delegate->MouseEvent(c_BBGameEvent::MouseUp, 0, 0, 0); }
  // A key held for `hold` updates, then released for one; or several keys, one after another.
  void Press(int key, int hold = 2) { KeyDown(key), Updates(hold), KeyUp(key), Update(); }
  void Press(std::initializer_list<int> keys) { for (int key : keys) Press(key); }

  // Display-list entries of the last update: slot 0 holds the image slot or a marker.
  int Entries() const { return app->m_DrawCount / c_MyApp::kEntryFloats; }
  const float* Entry(int k) const { return app->m_DrawList.Data() + k * c_MyApp::kEntryFloats; }
  std::vector<const float*> EntriesOf(float slot) const;  // those of one image slot or marker, in order
  // The glyphs recorded in font slot `font` (the current font by default), in order.
  std::string Text(int font = -1) const;

  c_MyApp* app = nullptr;
  HeadlessWindow window;
  HeadlessGraphics* graphics = nullptr;

 private:
  BBWindowSystem* previousWindow_ = nullptr;
  std::string previousDir_, folder_;
  bool keepFolder_;
};

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// An arena drawn as text, one string per row from row 0: '#' wall, '.' floor, 'o' floor with a
// pill, 'x' hole, 'S' the start, 'H' the home, 'F' a waiting friend, '^' spikes, '>' '<' 'A' 'V'
// one-way cells entered moving right, left, up, down, 'P' a patroller on floor; rows below are
// walls. Laid out in world `world` of game type 2 and settled: play runs at once.
void Arena(Game& g, const std::vector<std::string>& rows, int world = 1);
// One update with the control axes held at (x, y).
inline void Steer(Game& g, float x, float y) { g.app->m_MoveX = x, g.app->m_MoveY = y, g.Update(); }
inline int PlayerX(const Game& g) { return static_cast<int>(g.app->m_Vars[1]); }
inline int PlayerY(const Game& g) { return static_cast<int>(g.app->m_Vars[2]); }
inline bool AtRest(const Game& g) { return g.app->m_Vars[3] == 0 && g.app->m_Vars[4] == 0; }

// The state file of the working folder (empty when there is none), and its '|'-separated fields.
std::string StateFile();
std::vector<std::string> Fields(const std::string& text);
std::string Join(const std::vector<std::string>& fields);
// Recomputes the checksum ending each block of a save's fields; false when a field is not a
// 32-bit number or the blocks are not all there.
bool Reseal(std::vector<std::string>& fields);
// A complete save whose every checksum holds, or no save at all.
bool ValidState(const std::string& text);

}  // namespace gametest
