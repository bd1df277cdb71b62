// window.h: what the host asks of a window library, as one small interface.
//
// The host speaks only to a BBWindowSystem: open and re-open the one window with its hints,
// title and position, read the desktop and video modes, poll or wait for events, read the timer,
// sleep, show or hide the pointer, swap buffers, poll joysticks, receive key, character,
// mouse-button, mouse-position and close callbacks, and drive the host's loop. window_glfw.cpp
// implements it over GLFW 3, window_web.cpp in the browser; tests install their own scripted
// implementation with bbSetWindowSystem.
//
// Depends on: nothing. Must not touch: runtime objects, OpenGL state.
#pragma once

#include <vector>

struct BBVideoModeInfo {
  int width, height, red, green, blue;  // the last three in bits per channel
};

// Callbacks, called on the main thread from inside PollEvents, WaitEvents or OpenWindow.
struct BBWindowCallbacks {
  void (*key)(int key, int action) = nullptr;        // key: the library's key number
  void (*character)(int unicode, int action) = nullptr;
  void (*mouseButton)(int button, int action) = nullptr;
  void (*mousePos)(int x, int y) = nullptr;
  int (*close)() = nullptr;  // return 0 to keep the window open
};

class BBWindowSystem {
 public:
  // Actions passed to the key, character and mouse-button callbacks.
  static constexpr int kRelease = 0;
  static constexpr int kPress = 1;
  // Window parameters for WindowParam.
  enum Param { kOpened, kActive, kIconified };
  // Key numbers are the library's own: printable keys are their ASCII codes, the others lie in
  // 256..kLastKey. TransKey (host) maps them to the runtime's codes.
  static constexpr int kLastKey = 348;
  static constexpr int kMaxJoysticks = 16;

  virtual ~BBWindowSystem() {}
  virtual bool Init() = 0;
  virtual void Terminate() = 0;
  // Closes the current window, if any, and opens a new one; false when that failed.
  virtual bool OpenWindow(int width, int height, int red, int green, int blue, int alpha,
                          int depth, int stencil, bool fullscreen, bool resizable) = 0;
  virtual void CloseWindow() = 0;
  virtual void SetWindowTitle(const char* utf8) = 0;
  virtual void SetWindowPos(int x, int y) = 0;
  virtual int WindowParam(Param which) = 0;
  // Size of the drawable area in pixels.
  virtual void GetWindowSize(int* width, int* height) = 0;
  virtual BBVideoModeInfo DesktopMode() = 0;
  virtual std::vector<BBVideoModeInfo> VideoModes() = 0;
  virtual void SetCallbacks(const BBWindowCallbacks& callbacks) = 0;
  virtual void PollEvents() = 0;
  virtual void WaitEvents() = 0;
  // Seconds since Init.
  virtual double Time() = 0;
  virtual void Sleep(double seconds) = 0;
  virtual bool KeyPressed(int key) = 0;
  virtual void MousePos(int* x, int* y) = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual void SwapBuffers() = 0;
  virtual bool JoystickPresent(int port) = 0;
  // Copies at most max axis values or button states; returns how many the joystick has.
  virtual int JoystickAxes(int port, float* axes, int max) = 0;
  virtual int JoystickButtons(int port, unsigned char* buttons, int max) = 0;
  // Runs the host's loop, one pass per call of pass, until a pass returns false. Here each pass
  // may block (blocking true: it waits for events or sleeps until an update is due). Where the
  // main thread must not block (the browser) the platform calls pass(false) once per frame
  // instead, and RunLoop itself returns at once: the process lives on in those calls.
  virtual void RunLoop(bool (*pass)(bool blocking)) {
    while (pass(true)) {
    }
  }
};

// The window system in use; the GLFW one unless a test installed another.
BBWindowSystem* bbWindowSystem();
// Installs a window system (null restores the GLFW one); returns the previous one.
BBWindowSystem* bbSetWindowSystem(BBWindowSystem* system);
