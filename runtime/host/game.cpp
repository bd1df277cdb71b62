// game.cpp: the host object: event forwarding, the fixed-rate loop, the window and its callbacks.
#include "game.h"

#include <cstdlib>
#include <vector>

#include "error.h"
#include "startup_trace.h"
#include "runtime/object/gc.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/keys.h"
#include "runtime/platform/shell.h"
#include "runtime/platform/window.h"
#include "runtime/services/files.h"

BBGame* BBGame::_game = nullptr;
BBGlfwGame* BBGlfwGame::_glfwGame = nullptr;
int glfwGraphicsSeq = 0;
int argc = 0;
const char** argv = nullptr;

namespace {

const char* const kWindowTitle = "Garvolin Zudodo";

BBWindowSystem* win() { return bbWindowSystem(); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// BBGame: flags, services and event forwarding

BBGame::BBGame() { _game = this; }

BBGame::~BBGame() {
  if (_game == this) _game = nullptr;
}

void BBGame::SetDelegate(BBGameDelegate* delegate) { _delegate = delegate; }
BBGameDelegate* BBGame::Delegate() { return _delegate; }
void BBGame::SetKeyboardEnabled(bool enabled) { _keyboardEnabled = enabled; }
bool BBGame::KeyboardEnabled() { return _keyboardEnabled; }
void BBGame::SetUpdateRate(int hertz) { _updateRate = hertz; }
int BBGame::UpdateRate() { return _updateRate; }
bool BBGame::Started() { return _started; }
bool BBGame::Suspended() { return _suspended; }
int BBGame::Millisecs() { return 0; }

void BBGame::GetDate(Array<int> date) {
  int n = date.Length();
  if (n == 0) return;
  BBLocalTime t = bbPlatformLocalTime();
  const int fields[7] = {t.year, t.month, t.day, t.hour, t.minute, t.second, 0};
  for (int i = 0; i < n && i < 7; ++i) date[i] = fields[i];
}

int BBGame::SaveState(String state) { return bbSaveStateFile(state); }
String BBGame::LoadState() { return bbLoadStateFile(); }

String BBGame::LoadString(String path) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return String();
  String text = String::Load(file);
  std::fclose(file);
  return text;
}

bool BBGame::PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) { return false; }
void BBGame::OpenUrl(String) {}
void BBGame::SetMouseVisible(bool) {}
String BBGame::PathToFilePath(String path) { return path; }

std::FILE* BBGame::OpenFile(String path, String mode) {
  return bbOpenFilePath(PathToFilePath(path), mode);
}

unsigned char* BBGame::LoadData(String path, int* length) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return nullptr;
  unsigned char* data = bbReadWholeFile(file, length);
  std::fclose(file);
  gc_force_sweep = true;
  return data;
}

void BBGame::Die(ThrowableObject*) {
  bbPrint(String("Runtime Error : Uncaught Exception"));
  std::exit(-1);
}

void BBGame::gc_collect() {
  gc_mark(_delegate);
  ::gc_collect();
}

// Runs a delegate call, turning an escaping language exception into Die, then one collection step.
#define BB_FORWARD(call)          \
  do {                            \
    try {                         \
      _delegate->call;            \
    } catch (ThrowableObject* ex) { \
      Die(ex);                    \
    }                             \
    gc_collect();                 \
  } while (0)

void BBGame::StartGame() {
  if (_started) return;
  _started = true;
  BB_FORWARD(StartGame());
}

void BBGame::SuspendGame() {
  if (!_started || _suspended) return;
  _suspended = true;
  BB_FORWARD(SuspendGame());
}

void BBGame::ResumeGame() {
  if (!_started || !_suspended) return;
  _suspended = false;
  BB_FORWARD(ResumeGame());
}

void BBGame::UpdateGame() {
  if (!_started || _suspended) return;
  BB_FORWARD(UpdateGame());
}

void BBGame::RenderGame() {
  if (!_started) return;
  bbStartupMark("first frame");
  BB_FORWARD(RenderGame());
  bbStartupPresented();
}

void BBGame::KeyEvent(int event, int data) {
  if (!_started) return;
  BB_FORWARD(KeyEvent(event, data));
}

void BBGame::MouseEvent(int event, int data, float x, float y) {
  if (!_started) return;
  BB_FORWARD(MouseEvent(event, data, x, y));
}

void BBGame::TouchEvent(int event, int data, float x, float y) {
  if (!_started) return;
  BB_FORWARD(TouchEvent(event, data, x, y));
}

void BBGame::MotionEvent(int event, int data, float x, float y, float z) {
  if (!_started) return;
  BB_FORWARD(MotionEvent(event, data, x, y, z));
}

void BBGame::DiscardGraphics() {
  if (!_started) return;
  BB_FORWARD(DiscardGraphics());
}

#undef BB_FORWARD

// ---------------------------------------------------------------------------------------------
// BBGlfwGame: schedule, window and callbacks

BBGlfwGame::BBGlfwGame() { _glfwGame = this; }

BBGlfwGame::~BBGlfwGame() {
  if (_glfwGame == this) _glfwGame = nullptr;
}

void BBGlfwGame::SetUpdateRate(int hertz) {
  BBGame::SetUpdateRate(hertz);
  if (hertz) {
    _updatePeriod = 1.0 / hertz;
    _nextUpdate = win()->Time() + _updatePeriod;
  }
}

int BBGlfwGame::Millisecs() { return static_cast<int>(win()->Time() * 1000.0); }

bool BBGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                              Array<bool> buttons) {
  if (!win()->JoystickPresent(port)) return false;
  float a[6] = {0, 0, 0, 0, 0, 0};
  int axes = win()->JoystickAxes(port, a, 6);
  if (axes == 4) {
    joyx[0] = a[0], joyx[1] = a[3];
    joyy[0] = a[1], joyy[1] = a[2];
    joyz[0] = 0, joyz[1] = 0;
  } else if (axes == 5) {
    joyx[0] = a[0], joyx[1] = a[4];
    joyy[0] = a[1], joyy[1] = a[3];
    joyz[0] = a[2], joyz[1] = 0;
  } else {
    joyx[0] = a[0], joyx[1] = a[3];
    joyy[0] = a[1], joyy[1] = a[4];
    joyz[0] = a[2], joyz[1] = a[5];
  }
  unsigned char pressed[32] = {};
  int count = win()->JoystickButtons(port, pressed, 32);
  for (int i = 0; i < count && i < 32 && i < buttons.Length(); ++i) buttons[i] = pressed[i] != 0;
  return true;
}

void BBGlfwGame::OpenUrl(String url) { bbPlatformOpenUrl(url.ToNarrow().c_str()); }

void BBGlfwGame::SetMouseVisible(bool visible) { win()->SetCursorVisible(visible); }

String BBGlfwGame::PathToFilePath(String path) { return bbPathToFilePath(path); }

BBGlfwVideoMode* BBGlfwGame::GetGlfwDesktopMode() {
  BBVideoModeInfo m = win()->DesktopMode();
  return new BBGlfwVideoMode(m.width, m.height, m.red, m.green, m.blue);
}

Array<BBGlfwVideoMode*> BBGlfwGame::GetGlfwVideoModes() {
  std::vector<BBVideoModeInfo> modes = win()->VideoModes();
  int n = modes.size() > 1024 ? 1024 : static_cast<int>(modes.size());
  Array<BBGlfwVideoMode*> result(n);
  for (int i = 0; i < n; ++i) {
    const BBVideoModeInfo& m = modes[static_cast<size_t>(i)];
    result[i] = new BBGlfwVideoMode(m.width, m.height, m.red, m.green, m.blue);
  }
  return result;
}

void BBGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                               int depth, int stencil, bool fullscreen) {
  for (int key = 0; key <= BBWindowSystem::kLastKey; ++key) {
    int code = TransKey(key);
    if (code && win()->KeyPressed(key)) KeyEvent(c_BBGameEvent::KeyUp, code);
  }
  BBVideoModeInfo desktop = win()->DesktopMode();
  win()->CloseWindow();
  win()->OpenWindow(width, height, red, green, blue, alpha, depth, stencil, fullscreen, true);
  if (!fullscreen) win()->SetWindowPos((desktop.width - width) / 2, (desktop.height - height) / 2);
  win()->SetWindowTitle(kWindowTitle);
  ++glfwGraphicsSeq;
  BBWindowCallbacks callbacks;
  callbacks.key = OnKey;
  callbacks.character = OnChar;
  callbacks.mouseButton = OnMouseButton;
  callbacks.mousePos = OnMousePos;
  callbacks.close = OnWindowClose;
  win()->SetCallbacks(callbacks);
}

void BBGlfwGame::FullscreenFlip(int* fullscreen) {
  BBVideoModeInfo desktop = win()->DesktopMode();
  *fullscreen = 1 - *fullscreen;
  if (*fullscreen == 1) {
    SetGlfwWindow(desktop.width, desktop.height, desktop.red, desktop.green, desktop.blue, 0, 0, 0, true);
  } else {
    SetGlfwWindow(640, 480, desktop.red, desktop.green, desktop.blue, 0, 0, 0, false);
  }
}

void BBGlfwGame::Run() {
  SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  StartGame();
  RenderGame();
  win()->RunLoop([](bool blocking) { return _glfwGame->Pass(blocking); });
}

bool BBGlfwGame::Pass(bool blocking) {
  win()->PollEvents();
  if (!win()->WindowParam(BBWindowSystem::kOpened)) return false;

  if (win()->WindowParam(BBWindowSystem::kIconified)) {
    if (!_suspended) {
      _iconified = true;
      SuspendGame();
    }
  } else if (win()->WindowParam(BBWindowSystem::kActive)) {
    if (_suspended) {
      _iconified = false;
      ResumeGame();
      _nextUpdate = win()->Time();
    }
  } else if (!_suspended) {
    SuspendGame();
  }

  if (!_updateRate || _suspended) {
    if (!_iconified) RenderGame();
    if (blocking) win()->WaitEvents();
    return true;
  }

  double delay = _nextUpdate - win()->Time();
  if (delay > 0) {
    if (blocking) win()->Sleep(delay);
    return true;
  }

  for (int i = 0; i < 4; ++i) {
    _nextUpdate += _updatePeriod;
    UpdateGame();
    if (!_updateRate || _nextUpdate - win()->Time() > 0) {
      RenderGame();
      return true;
    }
  }
  // Still behind after four updates: drop the backlog and restart the schedule from now.
  RenderGame();
  if (_updateRate) _nextUpdate = win()->Time();
  return true;
}

void BBGlfwGame::OnKey(int key, int action) {
  int code = TransKey(key);
  if (!code) return;
  if (action == BBWindowSystem::kRelease) {
    _glfwGame->KeyEvent(c_BBGameEvent::KeyUp, code);
    return;
  }
  _glfwGame->KeyEvent(c_BBGameEvent::KeyDown, code);
  if (int chr = KeyToChar(code)) _glfwGame->KeyEvent(c_BBGameEvent::KeyChar, chr);
}

void BBGlfwGame::OnChar(int character, int action) {
  if (action == BBWindowSystem::kPress) _glfwGame->KeyEvent(c_BBGameEvent::KeyChar, character);
}

void BBGlfwGame::OnMouseButton(int button, int action) {
  if (button < 0 || button > 2) return;
  int x = 0, y = 0;
  win()->MousePos(&x, &y);
  int event = action == BBWindowSystem::kPress ? c_BBGameEvent::MouseDown : c_BBGameEvent::MouseUp;
  _glfwGame->MouseEvent(event, button, static_cast<float>(x), static_cast<float>(y));
}

void BBGlfwGame::OnMousePos(int x, int y) {
  _glfwGame->MouseEvent(c_BBGameEvent::MouseMove, -1, static_cast<float>(x), static_cast<float>(y));
}

int BBGlfwGame::OnWindowClose() {
  _glfwGame->KeyEvent(c_BBGameEvent::KeyDown, 432);
  _glfwGame->KeyEvent(c_BBGameEvent::KeyUp, 432);
  return 0;
}

int BBGlfwGame::TransKey(int key) { return bbPlatformKeyCode(key); }

int BBGlfwGame::KeyToChar(int code) {
  switch (code) {
    case 8:
    case 9:
    case 13:
    case 27:
      return code;
    case 46:
      return 127;
  }
  if ((code >= 33 && code <= 40) || code == 45) return code | 0x10000;
  return 0;
}
