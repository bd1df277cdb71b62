// input.h: the input store the game reads keys, characters, pointer, touch, joysticks and the
// accelerometer from, and the bb_input_* module functions over it.
//
// Hits and characters collect between updates and are cleared at the end of each update; the
// down flags follow the physical state. The left mouse button and touch 0 are one key pair.
// Depends on: the object runtime, the host (joystick polling, keyboard flag).
// Must not touch: the window library (the host polls joysticks for it).
#pragma once

#include "runtime/object/array.h"
#include "runtime/object/object.h"

// Key codes beside the keyboard's.
constexpr int KEY_LMB = 1;
constexpr int KEY_RMB = 2;
constexpr int KEY_MMB = 3;
constexpr int KEY_JOY0 = 256;  // joystick button b of port p: 256 + 32p + b
constexpr int KEY_TOUCH0 = 384;
constexpr int KEY_BACK = 416;
constexpr int KEY_CLOSE = 432;

// One joystick port: both sticks' axes and 32 buttons, filled by the host's PollJoystick.
class c_JoyState : public Object {
 public:
  c_JoyState* m_new();
  void mark() override;

  Array<float> m_joyx;
  Array<float> m_joyy;
  Array<float> m_joyz;
  Array<bool> m_buttons;
};

class c_InputDevice : public Object {
 public:
  static constexpr int kKeys = 512;
  static constexpr int kHitQueue = 33;
  static constexpr int kCharQueue = 32;
  static constexpr int kTouches = 32;

  c_InputDevice* m_new();
  void mark() override;

  void p_KeyEvent(int event, int data);
  void p_MouseEvent(int event, int data, float x, float y);
  void p_TouchEvent(int event, int data, float x, float y);
  void p_MotionEvent(int event, int data, float x, float y, float z);
  // Polls the joysticks into their states and turns button changes into key events.
  void p_BeginUpdate();
  // Clears the hits and characters of the update that just ran, and releases the keys let go of
  // during it.
  void p_EndUpdate();
  // Counts a hit of key and queues it, unless the hit queue is full.
  void p_PutKeyHit(int key);
  int p_KeyDown(int key);
  int p_KeyHit(int key);
  int p_GetChar();
  float p_MouseX();
  float p_MouseY();
  float p_TouchX(int index);
  float p_TouchY(int index);
  float p_JoyX(int axis, int port);
  float p_JoyY(int axis, int port);
  float p_AccelX();
  float p_AccelY();
  int p_SetKeyboardEnabled(bool enabled);

  Array<c_JoyState*> m__joyStates;  // ports 0-3
  Array<bool> m__keyDown;           // current state of each key code
  Array<bool> m__keyUpDue;          // released, but down until the end of the update that sees the press
  int m__keyHitPut = 0;             // entries in m__keyHitQueue
  Array<int> m__keyHitQueue;        // keys hit since the last end of update, in order
  Array<int> m__keyHit;             // up-to-down transitions per key since the last end of update
  int m__charGet = 0;               // read position in m__charQueue
  int m__charPut = 0;               // write position in m__charQueue
  Array<int> m__charQueue;          // characters typed since the last end of update
  float m__mouseX = 0, m__mouseY = 0;
  Array<float> m__touchX;
  Array<float> m__touchY;
  float m__accelX = 0, m__accelY = 0, m__accelZ = 0;

 private:
  void KeyDownPair(int key);
  void KeyUpPair(int key);
  void StoreMouse(float x, float y);
  void StoreTouch(int index, float x, float y);
};

extern c_InputDevice* bb_input_device;

int bb_input_KeyDown(int key);
int bb_input_KeyHit(int key);
int bb_input_GetChar();
float bb_input_MouseX();
float bb_input_MouseY();
int bb_input_MouseDown(int button);
int bb_input_MouseHit(int button);
int bb_input_TouchDown(int index);
float bb_input_TouchX(int index);
float bb_input_TouchY(int index);
int bb_input_JoyDown(int button, int port);
int bb_input_JoyHit(int button, int port);
float bb_input_JoyX(int axis, int port);
float bb_input_JoyY(int axis, int port);
float bb_input_AccelX();
float bb_input_AccelY();
int bb_input_EnableKeyboard();
int bb_input_DisableKeyboard();
int bb_input_SetInputDevice(c_InputDevice* device);
