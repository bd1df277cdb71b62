// control.cpp: game actions from keys, joysticks and virtual keys; the two control axes that
// steer the player; and the hit tests of buttons, boxes and images.
#include <cmath>

#include "game/app.h"

namespace {

// One game action: its keyboard keys, the letters it also takes when iCade is off, its joystick
// buttons and, for the directions, the stick test.
struct Action {
  int id;
  int keys[3];
  int letters[2];
  int buttons[2];
  int stick;  // 0 none, 1 y > 0.4, 2 x < -0.4, 3 x > 0.4, 4 y < -0.4
};

const Action kActions[] = {
    {0, {38, 0, 0}, {87, 0}, {9, -1}, 1},
    {3, {37, 0, 0}, {65, 0}, {8, -1}, 2},
    {5, {39, 0, 0}, {68, 0}, {10, -1}, 3},
    {8, {40, 0, 0}, {83, 0}, {11, -1}, 4},
    {10, {32, 13, 0}, {90, 74}, {0, -1}, 0},
    {11, {17, 0, 0}, {88, 75}, {1, -1}, 0},
    {12, {16, 0, 0}, {67, 76}, {2, -1}, 0},
    {13, {0, 0, 0}, {86, 73}, {3, -1}, 0},
    {14, {0, 0, 0}, {66, 85}, {4, -1}, 0},
    {15, {0, 0, 0}, {78, 79}, {5, -1}, 0},
    {99, {27, 46, 8}, {192, 0}, {7, 6}, 0},
};

const Action* FindAction(int id) {
  for (const Action& a : kActions)
    if (a.id == id) return &a;
  return nullptr;
}

float Clamp1(float v) { return v < -1 ? -1 : v > 1 ? 1 : v; }

}  // namespace

int c_MyApp::p_PlayKey(int action, int useStick, int port) {
  if (port < -1) return 0;
  const Action* a = FindAction(action);
  if (!a) return 0;
  bool iCade = bb_GW_iCadeControls == 1;
  for (int k : a->keys)
    if (k && bb_input_KeyDown(k)) return 1;
  if (!iCade)
    for (int k : a->letters)
      if (k && bb_input_KeyDown(k)) return 1;
  if (port >= 0) {
    for (int b : a->buttons) {
      int code = 256 + 32 * port + b;
      if (b >= 0 && code < 512 && bb_input_KeyDown(code)) return 1;
    }
    if (!iCade && useStick == 1 && a->stick) {
      float x = p_StickX(0, port), y = -p_StickY(0, port);
      if ((a->stick == 1 && y > 0.4f) || (a->stick == 2 && x < -0.4f) || (a->stick == 3 && x > 0.4f) ||
          (a->stick == 4 && y < -0.4f))
        return 1;
    }
  }
  if (action == 99) {
    if (bb_GW_isOuya == 1 && !iCade) return m_VKey[19] != 0 ? 1 : 0;
    return (m_VKey[16] != 0 || m_VKey[17] != 0 || m_VKey[19] != 0) ? 1 : 0;
  }
  return m_VKey[action] != 0 ? 1 : 0;
}

int c_MyApp::p_PlayKeyAll(int action, int useStick) {
  int sum = 0;
  for (int port = 0; port < 4; ++port) sum += p_PlayKey(action, useStick, port);
  return sum;
}

float c_MyApp::p_StickX(int stick, int port) {
  if (port < 0) return 0;
  return bb_input_JoyX(stick, port);
}

float c_MyApp::p_StickY(int stick, int port) {
  if (port < 0) return 0;
  return -bb_input_JoyY(stick, port);
}

int c_MyApp::p_AnalogueControl() {
  m_MoveX = 0;
  m_MoveY = 0;
  if (m_Settings[15] == 0) {
    if (m_MouseDown == 0) {
      m_SlideX = -1;
    } else if (m_SlideX < 0) {
      m_SlideX = m_MouseX;
      m_SlideY = m_MouseY;
    } else {
      m_MoveX = static_cast<float>(m_MouseX - m_SlideX) / 72.0f;
      m_MoveY = static_cast<float>(m_MouseY - m_SlideY) / 72.0f;
      if (std::fabs(m_MoveX) < 0.1f && std::fabs(m_MoveY) < 0.1f) m_MoveX = m_MoveY = 0;
      if (m_MouseX < m_SlideX - 64) m_SlideX -= 4;
      if (m_MouseX > m_SlideX + 64) m_SlideX += 4;
      if (m_MouseY < m_SlideY - 64) m_SlideY -= 4;
      if (m_MouseY > m_SlideY + 64) m_SlideY += 4;
      if (m_SlideX < 0) m_SlideX = m_MouseX;
    }
    if (m_MouseDown != 0) {
      p_SetCol(0, 100, 250, 0.25f);
      p_Oval(static_cast<float>(m_SlideX), static_cast<float>(m_SlideY), 12, 12);
      p_Oval(static_cast<float>(m_MouseX), static_cast<float>(m_MouseY), 8, 8);
    }
  }
  float jx = bb_input_JoyX(0, 0), jy = bb_input_JoyY(0, 0);
  if (std::fabs(jx) > 0.2f || std::fabs(jy) > 0.2f) {
    m_MoveX = jx;
    m_MoveY = -jy;
  }
  // A held key ramps its axis by 0.25 a frame; a released one lets it decay by 0.2.
  auto ramp = [this](int negative, int positive, float& rampValue, float& move) {
    if (p_PlayKey(negative, 0, 0)) {
      rampValue -= 0.25f;
      move = rampValue;
    } else if (rampValue < 0) {
      rampValue += 0.2f;
      if (rampValue > 0) rampValue = 0;
      move = rampValue;
    }
    if (p_PlayKey(positive, 0, 0)) {
      rampValue += 0.25f;
      move = rampValue;
    } else if (rampValue > 0) {
      rampValue -= 0.2f;
      if (rampValue < 0) rampValue = 0;
      move = rampValue;
    }
  };
  ramp(0, 8, m_KeyRampY, m_MoveY);
  ramp(3, 5, m_KeyRampX, m_MoveX);
  m_MoveX = Clamp1(m_MoveX);
  m_MoveY = Clamp1(m_MoveY);
  m_KeyRampX = Clamp1(m_KeyRampX);
  m_KeyRampY = Clamp1(m_KeyRampY);
  if (bb_GW_DebugMode == 1 && (std::fabs(m_MoveX) > 0.05f || std::fabs(m_MoveY) > 0.05f)) {
    p_SetCol(0, 180, 250, 0.5f);
    p_Oval(bb_GW_jscrw - 64, bb_GW_jscrh - 64, 12, 12);
    p_Oval(bb_GW_jscrw - 64 + 52 * m_MoveX, bb_GW_jscrh - 64 + 52 * m_MoveY, 8, 8);
  }
  return 0;
}

int c_MyApp::p_iCade(int on) {
  if (on == 1) {
    bb_input_EnableKeyboard();
    bb_GW_iCadeControls = 1;
    do {
      m_ICadeChar = bb_input_GetChar();
    } while (m_ICadeChar != 0);
  } else {
    bb_input_DisableKeyboard();
    bb_GW_iCadeControls = 0;
    for (m_I = 0; m_I < 19; ++m_I) m_VKey[m_I] = 0;
  }
  return 0;
}

// Whether any down touch lies strictly inside the box from (x0, y0) to (x1, y1).
static bool bbTouchInside(c_MyApp* app, float x0, float y0, float x1, float y1) {
  for (int i = 0; i < c_MyApp::kTouches; ++i) {
    if (app->m_TouchDown[i] == 0) continue;
    float tx = static_cast<float>(app->m_TouchX[i]), ty = static_cast<float>(app->m_TouchY[i]);
    if (x0 < tx && tx < x1 && y0 < ty && ty < y1) return true;
  }
  return false;
}

int c_MyApp::p_MouseIn(float x, float y, float w, float h) {
  return bbTouchInside(this, x, y, x + w, y + h) ? 1 : 0;
}

int c_MyApp::p_MouseIn_Centered(float cx, float cy, float w, float h) {
  return bbTouchInside(this, cx - w * 0.5f, cy - h * 0.5f, cx + w * 0.5f, cy + h * 0.5f) ? 1 : 0;
}

int c_MyApp::p_Touch(float x, float y, float w, float h) {
  p_Rect(x, y, w, h);
  return bbTouchInside(this, x - 6, y - 6, x + w + 12, y + h + 12) ? 1 : 0;
}

// The button rule: the image is recorded, and any touch within the half sizes of (x, y) while the
// pointer is down counts.
static int bbButtonHit(c_MyApp* app, int slot, float x, float y, float halfHeightFactor) {
  float hw = static_cast<float>(app->m_ImgInfo[3 * slot]) * app->m_ImgScale * app->m_DrawSX * 0.5f;
  float hh = static_cast<float>(app->m_ImgInfo[3 * slot + 1]) * app->m_ImgScale * app->m_DrawSY * halfHeightFactor;
  app->m_Hit = 0;
  if (app->m_MouseDown > 0) {
    for (int i = 0; i < c_MyApp::kTouches; ++i) {
      float tx = static_cast<float>(app->m_TouchX[i]), ty = static_cast<float>(app->m_TouchY[i]);
      if (x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh) {
        app->m_Hit = 1;
        break;
      }
    }
  }
  return app->m_Hit;
}

int c_MyApp::p_ImageHit(int slot, float x, float y) { return bbButtonHit(this, slot, x, y, 0.5f); }

int c_MyApp::p_Button(int slot, float x, float y, float frame) {
  p_DrawImg(slot, x, y, frame);
  return bbButtonHit(this, slot, x, y, 0.5f);
}

int c_MyApp::p_Button_B(int slot, float x, float y, float frame) {
  p_DrawImg(slot, x, y, frame);
  return bbButtonHit(this, slot, x, y, 0.25f);
}

int c_MyApp::p_Button0(int slot, float x, float y, float frame) {
  p_DrawImg(slot, x, y, frame);
  float hw = static_cast<float>(m_ImgInfo[3 * slot]) * m_ImgScale * m_DrawSX * 0.5f;
  float hh = static_cast<float>(m_ImgInfo[3 * slot + 1]) * m_ImgScale * m_DrawSY * 0.5f;
  float tx = static_cast<float>(m_TouchX[0]), ty = static_cast<float>(m_TouchY[0]);
  m_Hit = (m_MouseDown != 0 && x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh) ? 1 : 0;
  return m_Hit;
}
