// game.h: the host object that owns the window and the fixed-rate loop and forwards every
// lifecycle and input event to the application layer's delegate.
//
// BBGame holds the lifecycle flags and the update rate; BBGlfwGame adds the desktop window,
// the schedule and the window-library callbacks; BBDesktopGame is the concrete host with Main.
// Every event entry forwards to the delegate, turns an escaping language exception into Die,
// and runs one collection step afterwards.
// Depends on: the object runtime, the platform window system, the file services.
// Must not touch: OpenGL or OpenAL (the devices do), game state (the delegate does).
#pragma once

#include <cstdio>

#include "runtime/object/array.h"
#include "runtime/object/object.h"

// Event codes passed to the delegate.
struct c_BBGameEvent {
  static constexpr int KeyDown = 1;
  static constexpr int KeyUp = 2;
  static constexpr int KeyChar = 3;
  static constexpr int MouseDown = 4;
  static constexpr int MouseUp = 5;
  static constexpr int MouseMove = 6;
  static constexpr int TouchDown = 7;
  static constexpr int TouchUp = 8;
  static constexpr int TouchMove = 9;
  static constexpr int MotionAccel = 10;
};

// Receiver of every lifecycle and input event; all empty here.
class BBGameDelegate : public Object {
 public:
  virtual void StartGame() {}
  virtual void SuspendGame() {}
  virtual void ResumeGame() {}
  virtual void UpdateGame() {}
  virtual void RenderGame() {}
  virtual void KeyEvent(int event, int data) { (void)event, (void)data; }
  virtual void MouseEvent(int event, int data, float x, float y) { (void)event, (void)data, (void)x, (void)y; }
  virtual void TouchEvent(int event, int data, float x, float y) { (void)event, (void)data, (void)x, (void)y; }
  virtual void MotionEvent(int event, int data, float x, float y, float z) {
    (void)event, (void)data, (void)x, (void)y, (void)z;
  }
  virtual void DiscardGraphics() {}
};

class BBGame {
 public:
  BBGame();
  virtual ~BBGame();

  // The one host object of the process.
  static BBGame* _game;

  virtual void SetDelegate(BBGameDelegate* delegate);
  virtual BBGameDelegate* Delegate();
  virtual void SetKeyboardEnabled(bool enabled);
  virtual bool KeyboardEnabled();
  virtual void SetUpdateRate(int hertz);
  virtual int UpdateRate();
  virtual bool Started();
  virtual bool Suspended();
  virtual int Millisecs();
  // Fills year, month, day, hour, minute, second and 0 ms into as many leading elements as exist.
  virtual void GetDate(Array<int> date);
  // Writes the state string to ./.gamestate: 0, -1 (cannot create) or -2 (write failed).
  virtual int SaveState(String state);
  virtual String LoadState();
  virtual String LoadString(String path);
  virtual bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                            Array<bool> buttons);
  virtual void OpenUrl(String url);
  virtual void SetMouseVisible(bool visible);
  virtual String PathToFilePath(String path);
  virtual std::FILE* OpenFile(String path, String mode);
  // The whole file in a new buffer the caller frees with free(); null when it cannot be opened.
  virtual unsigned char* LoadData(String path, int* length);
  [[noreturn]] virtual void Die(ThrowableObject* ex);
  // One collection step, run after every event.
  virtual void gc_collect();

  virtual void StartGame();
  virtual void SuspendGame();
  virtual void ResumeGame();
  virtual void UpdateGame();
  virtual void RenderGame();
  virtual void KeyEvent(int event, int data);
  virtual void MouseEvent(int event, int data, float x, float y);
  virtual void TouchEvent(int event, int data, float x, float y);
  virtual void MotionEvent(int event, int data, float x, float y, float z);
  virtual void DiscardGraphics();

 protected:
  BBGameDelegate* _delegate = nullptr;
  bool _keyboardEnabled = false;
  int _updateRate = 0;
  bool _started = false;
  bool _suspended = false;
};

// A desktop video mode: size and bits per colour channel.
class BBGlfwVideoMode : public Object {
 public:
  BBGlfwVideoMode(int w, int h, int r, int g, int b) : width(w), height(h), red(r), green(g), blue(b) {}
  int width, height, red, green, blue;
};

class BBGlfwGame : public BBGame {
 public:
  BBGlfwGame();
  ~BBGlfwGame() override;

  static BBGlfwGame* _glfwGame;

  void SetUpdateRate(int hertz) override;
  int Millisecs() override;
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  void OpenUrl(String url) override;
  void SetMouseVisible(bool visible) override;
  String PathToFilePath(String path) override;

  // Decodes an image file of the data folder (defined with the surfaces).
  unsigned char* LoadImageData(String path, int* width, int* height, int* depth);
  // Decodes a sound file of the data folder (defined with the audio loaders).
  unsigned char* LoadAudioData(String path, int* length, int* channels, int* format, int* hertz);

  // (Re)opens the window: releases held keys, closes the old window, opens the new one, centres
  // and titles it when windowed, advances glfwGraphicsSeq and installs the callbacks.
  virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                             int depth, int stencil, bool fullscreen);
  // Opens the window, starts the game and runs the loop until the window closes (on the desktop;
  // in the browser Run returns at once and the page's frames run the passes).
  virtual void Run();
  // One pass of the loop: events, focus, then a render, or up to four due updates and a render.
  // With blocking it waits for events or sleeps until the next update where nothing is due;
  // without, it returns there instead, for a caller that calls again on its next frame. False once
  // the window has closed.
  bool Pass(bool blocking);
  // Switches between a 640 x 480 window and full screen at the desktop's size, both with the
  // desktop's colour depth; *fullscreen (0 or 1) is flipped. The window is re-opened, so every
  // texture must be rebuilt afterwards.
  void FullscreenFlip(int* fullscreen);

  BBGlfwVideoMode* GetGlfwDesktopMode();
  Array<BBGlfwVideoMode*> GetGlfwVideoModes();

  // Window-library callbacks.
  static void OnKey(int key, int action);
  static void OnChar(int character, int action);
  static void OnMouseButton(int button, int action);
  static void OnMousePos(int x, int y);
  static int OnWindowClose();

  // The runtime's code for a window-library key, 0 for ignored keys.
  static int TransKey(int key);
  // The character a key code types by itself, 0 for none.
  static int KeyToChar(int code);

  // The schedule, for tests and diagnostics.
  double NextUpdate() const { return _nextUpdate; }
  bool Iconified() const { return _iconified; }

 protected:
  bool _iconified = false;
  double _nextUpdate = 0;
  double _updatePeriod = 0;
};

class BBDesktopGame : public BBGlfwGame {
 public:
  // The process's entry after static set-up: starts the window library, builds the host, sets the
  // globals, creates the application and runs it. Returns when the window closes.
  static int Main(int argc, const char** argv);
};

// Incremented each time a window (and with it a new OpenGL context) is opened.
extern int glfwGraphicsSeq;
// The command line as received; nothing reads it later.
extern int argc;
extern const char** argv;
