// app.h: the application layer between the host and the game.
//
// c_App is the base of the game's application object; c_GameDelegate receives every host event,
// owns the graphics, audio and input devices and calls the application's hooks. Also here: the
// bb_app_* module functions, the shared random generator and the small math functions.
// Depends on: the host, the input store, the graphics device. Must not touch: the window library.
#pragma once

#include "runtime/object/object.h"
#include "game.h"
#include "input.h"

class gxtkGraphics;
class gxtkAudio;

class c_App : public Object {
 public:
  // The language constructor of every application object: installs a new delegate in the host.
  // A second application object is a runtime error.
  c_App* m_new();

  virtual int p_OnCreate() { return 0; }
  virtual int p_OnSuspend() { return 0; }
  virtual int p_OnResume() { return 0; }
  virtual int p_OnUpdate() { return 0; }
  virtual int p_OnRender() { return 0; }
  int p_OnLoading() { return 0; }
  // The window's close request; ends the program (an application may first finish its work).
  virtual int p_OnClose();
  int p_OnBack();
};

class c_GameDelegate : public BBGameDelegate {
 public:
  c_GameDelegate* m_new() { return this; }
  void mark() override;

  void StartGame() override;
  void SuspendGame() override;
  void ResumeGame() override;
  void UpdateGame() override;
  void RenderGame() override;
  void KeyEvent(int event, int data) override;
  void MouseEvent(int event, int data, float x, float y) override;
  void TouchEvent(int event, int data, float x, float y) override;
  void MotionEvent(int event, int data, float x, float y, float z) override;
  void DiscardGraphics() override;

  gxtkGraphics* m__graphics = nullptr;
  gxtkAudio* m__audio = nullptr;
  c_InputDevice* m__input = nullptr;
};

extern BBGame* bb_app__game;
extern c_App* bb_app__app;
extern c_GameDelegate* bb_app__delegate;
extern int bb_app__updateRate;

int bb_app_SetUpdateRate(int hertz);
int bb_app_Millisecs();
[[noreturn]] void bb_app_EndApp();
int bb_app_SaveState(String state);
String bb_app_LoadState();

// The shared generator: seed = seed * 1664525 + 1013904223 (mod 2^32) per draw.
extern int bb_random_Seed;
// The next value in [0, 1) with 24-bit resolution.
float bb_random_Rnd();
float bb_random_Rnd2(float low, float high);
float bb_random_Rnd3(float range);

int bb_math_Max(int a, int b);
float bb_math_Max2(float x, float y);
int bb_math_Abs(int x);
float bb_math_Abs2(float x);
