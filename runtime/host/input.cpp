// input.cpp: the input store.
#include "input.h"

#include "app.h"
#include "game.h"

c_InputDevice* bb_input_device = nullptr;

c_JoyState* c_JoyState::m_new() {
  gc_assign(m_joyx, Array<float>(2));
  gc_assign(m_joyy, Array<float>(2));
  gc_assign(m_joyz, Array<float>(2));
  gc_assign(m_buttons, Array<bool>(32));
  return this;
}

void c_JoyState::mark() {
  gc_mark_q(m_joyx);
  gc_mark_q(m_joyy);
  gc_mark_q(m_joyz);
  gc_mark_q(m_buttons);
}

c_InputDevice* c_InputDevice::m_new() {
  gc_assign(m__joyStates, Array<c_JoyState*>(4));
  gc_assign(m__keyDown, Array<bool>(kKeys));
  gc_assign(m__keyUpDue, Array<bool>(kKeys));
  gc_assign(m__keyHitQueue, Array<int>(kHitQueue));
  gc_assign(m__keyHit, Array<int>(kKeys));
  gc_assign(m__charQueue, Array<int>(kCharQueue));
  gc_assign(m__touchX, Array<float>(kTouches));
  gc_assign(m__touchY, Array<float>(kTouches));
  return this;
}

void c_InputDevice::mark() {
  gc_mark_q(m__joyStates);
  gc_mark_q(m__keyDown);
  gc_mark_q(m__keyUpDue);
  gc_mark_q(m__keyHitQueue);
  gc_mark_q(m__keyHit);
  gc_mark_q(m__charQueue);
  gc_mark_q(m__touchX);
  gc_mark_q(m__touchY);
}

void c_InputDevice::p_PutKeyHit(int key) {
  if (m__keyHitPut == m__keyHitQueue.Length()) return;
  m__keyHit[key] += 1;
  m__keyHitQueue[m__keyHitPut++] = key;
}

// The key that goes down and up with key: the left button and touch 0 are one; -1 for the rest.
static int bbPartnerKey(int key) { return key == KEY_LMB ? KEY_TOUCH0 : key == KEY_TOUCH0 ? KEY_LMB : -1; }

void c_InputDevice::KeyDownPair(int key) {
  // The host only sends codes 0-511; anything else is ignored rather than written out of bounds.
  // A key whose release still waits for the update is pressed anew.
  if (key < 0 || key >= kKeys || (m__keyDown[key] && !m__keyUpDue[key])) return;
  for (int k : {key, bbPartnerKey(key)}) {
    if (k < 0) continue;
    m__keyDown[k] = true;
    m__keyUpDue[k] = false;
    p_PutKeyHit(k);
  }
}

void c_InputDevice::KeyUpPair(int key) {
  if (key < 0 || key >= kKeys || !m__keyDown[key]) return;
  for (int k : {key, bbPartnerKey(key)}) {
    if (k < 0) continue;
    // A key pressed since the last update stays down until that update has seen it, so that a
    // press and release between two updates (a tap, a quick click) is not lost.
    if (m__keyHit[k] > 0) {
      m__keyUpDue[k] = true;
    } else {
      m__keyDown[k] = false;
    }
  }
}

void c_InputDevice::p_KeyEvent(int event, int data) {
  switch (event) {
    case c_BBGameEvent::KeyDown: KeyDownPair(data); break;
    case c_BBGameEvent::KeyUp: KeyUpPair(data); break;
    case c_BBGameEvent::KeyChar:
      if (m__charPut < m__charQueue.Length()) m__charQueue[m__charPut++] = data;
      break;
  }
}

void c_InputDevice::StoreMouse(float x, float y) {
  m__mouseX = x;
  m__mouseY = y;
  m__touchX[0] = x;
  m__touchY[0] = y;
}

void c_InputDevice::StoreTouch(int index, float x, float y) {
  if (index < 0 || index >= kTouches) return;
  m__touchX[index] = x;
  m__touchY[index] = y;
  if (index == 0) {
    m__mouseX = x;
    m__mouseY = y;
  }
}

void c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
  switch (event) {
    case c_BBGameEvent::MouseDown:
      KeyDownPair(KEY_LMB + data);
      StoreMouse(x, y);
      break;
    case c_BBGameEvent::MouseUp: KeyUpPair(KEY_LMB + data); break;
    case c_BBGameEvent::MouseMove: StoreMouse(x, y); break;
  }
}

void c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
  // Only touches 0-31 have keys of their own; any other index would press a neighbour's key.
  if (data < 0 || data >= kTouches) return;
  switch (event) {
    case c_BBGameEvent::TouchDown:
      KeyDownPair(KEY_TOUCH0 + data);
      StoreTouch(data, x, y);
      break;
    case c_BBGameEvent::TouchMove: StoreTouch(data, x, y); break;
    case c_BBGameEvent::TouchUp: KeyUpPair(KEY_TOUCH0 + data); break;
  }
}

void c_InputDevice::p_MotionEvent(int event, int, float x, float y, float z) {
  if (event != c_BBGameEvent::MotionAccel) return;
  m__accelX = x;
  m__accelY = y;
  m__accelZ = z;
}

void c_InputDevice::p_BeginUpdate() {
  for (int port = 0; port < 4; ++port) {
    c_JoyState* joy = m__joyStates[port];
    if (!bb_app__game->PollJoystick(port, joy->m_joyx, joy->m_joyy, joy->m_joyz, joy->m_buttons)) break;
    for (int b = 0; b < 32; ++b) {
      int key = KEY_JOY0 + port * 32 + b;
      if (joy->m_buttons[b]) {
        if (!m__keyDown[key]) {
          m__keyDown[key] = true;
          p_PutKeyHit(key);
        }
      } else {
        m__keyDown[key] = false;
      }
    }
  }
}

void c_InputDevice::p_EndUpdate() {
  for (int i = 0; i < m__keyHitPut; ++i) {
    const int key = m__keyHitQueue[i];
    m__keyHit[key] = 0;
    if (m__keyUpDue[key]) m__keyDown[key] = m__keyUpDue[key] = false;
  }
  m__keyHitPut = 0;
  m__charGet = 0;
  m__charPut = 0;
}

int c_InputDevice::p_KeyDown(int key) {
  if (key > 0 && key < kKeys) return m__keyDown[key] ? 1 : 0;
  return 0;
}

int c_InputDevice::p_KeyHit(int key) {
  if (key > 0 && key < kKeys) return m__keyHit[key];
  return 0;
}

int c_InputDevice::p_GetChar() {
  if (m__charGet != m__charPut) return m__charQueue[m__charGet++];
  return 0;
}

float c_InputDevice::p_MouseX() { return m__mouseX; }
float c_InputDevice::p_MouseY() { return m__mouseY; }

float c_InputDevice::p_TouchX(int index) {
  if (index >= 0 && index < kTouches) return m__touchX[index];
  return 0.0f;
}

float c_InputDevice::p_TouchY(int index) {
  if (index >= 0 && index < kTouches) return m__touchY[index];
  return 0.0f;
}

float c_InputDevice::p_JoyX(int axis, int port) { return m__joyStates[port]->m_joyx[axis]; }
float c_InputDevice::p_JoyY(int axis, int port) { return m__joyStates[port]->m_joyy[axis]; }
float c_InputDevice::p_AccelX() { return m__accelX; }
float c_InputDevice::p_AccelY() { return m__accelY; }

int c_InputDevice::p_SetKeyboardEnabled(bool enabled) {
  bb_app__game->SetKeyboardEnabled(enabled);
  return 1;
}

int bb_input_KeyDown(int key) { return bb_input_device->p_KeyDown(key); }
int bb_input_KeyHit(int key) { return bb_input_device->p_KeyHit(key); }
int bb_input_GetChar() { return bb_input_device->p_GetChar(); }
float bb_input_MouseX() { return bb_input_device->p_MouseX(); }
float bb_input_MouseY() { return bb_input_device->p_MouseY(); }
int bb_input_MouseDown(int button) { return bb_input_device->p_KeyDown(KEY_LMB + button); }
int bb_input_MouseHit(int button) { return bb_input_device->p_KeyHit(KEY_LMB + button); }
int bb_input_TouchDown(int index) { return bb_input_device->p_KeyDown(KEY_TOUCH0 + index); }
float bb_input_TouchX(int index) { return bb_input_device->p_TouchX(index); }
float bb_input_TouchY(int index) { return bb_input_device->p_TouchY(index); }
int bb_input_JoyDown(int button, int port) { return bb_input_device->p_KeyDown(KEY_JOY0 + port * 32 + button); }
int bb_input_JoyHit(int button, int port) { return bb_input_device->p_KeyHit(KEY_JOY0 + port * 32 + button); }
float bb_input_JoyX(int axis, int port) { return bb_input_device->p_JoyX(axis, port); }
float bb_input_JoyY(int axis, int port) { return bb_input_device->p_JoyY(axis, port); }
float bb_input_AccelX() { return bb_input_device->p_AccelX(); }
float bb_input_AccelY() { return bb_input_device->p_AccelY(); }
int bb_input_EnableKeyboard() { return bb_input_device->p_SetKeyboardEnabled(true); }
int bb_input_DisableKeyboard() { return bb_input_device->p_SetKeyboardEnabled(false); }

int bb_input_SetInputDevice(c_InputDevice* device) {
  gc_assign(bb_input_device, device);
  return 0;
}
