// app.cpp: the application base class, the delegate, and the app, random and math functions.
#include "app.h"

#include "error.h"
#include "runtime/audio/sound.h"
#include "runtime/graphics/graphics.h"

BBGame* bb_app__game = nullptr;
c_App* bb_app__app = nullptr;
c_GameDelegate* bb_app__delegate = nullptr;
int bb_app__updateRate = 0;
int bb_random_Seed = 1234;

c_App* c_App::m_new() {
  if (bb_app__app) bbError(String("App has already been created"));
  gc_assign(bb_app__app, this);
  gc_assign(bb_app__delegate, (new c_GameDelegate)->m_new());
  bb_app__game->SetDelegate(bb_app__delegate);
  return this;
}

int c_App::p_OnClose() { bb_app_EndApp(); }
int c_App::p_OnBack() { bb_app_EndApp(); }

void c_GameDelegate::mark() {
  gc_mark_q(m__graphics);
  gc_mark_q(m__audio);
  gc_mark_q(m__input);
}

void c_GameDelegate::StartGame() {
  gc_assign(m__graphics, new gxtkGraphics);
  gc_assign(bb_graphics_device, m__graphics);
  bb_graphics_SetFont(nullptr, 32);
  gc_assign(m__audio, new gxtkAudio);
  bb_audio_SetAudioDevice(m__audio);
  // An output left open at exit may cut the last sound, and a recording keeps no length.
  bbAtNormalExit = [] {
    if (bb_audio_device) bb_audio_device->Close();
  };
  c_InputDevice* input = (new c_InputDevice)->m_new();
  for (int port = 0; port < 4; ++port) gc_assign(input->m__joyStates[port], (new c_JoyState)->m_new());
  gc_assign(m__input, input);
  bb_input_SetInputDevice(input);
  bb_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
  bb_app__app->p_OnSuspend();
  m__audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
  m__audio->Resume();
  bb_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
  // The streamed tune is refilled before the update, which may take a while.
  if (m__audio) m__audio->PumpMusic();
  m__input->p_BeginUpdate();
  bb_app__app->p_OnUpdate();
  m__input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
  int mode = m__graphics->BeginRender();
  if (mode) bb_graphics_BeginRender();
  if (mode == 2) {
    bb_app__app->p_OnLoading();
  } else {
    bb_app__app->p_OnRender();
  }
  if (mode) bb_graphics_renderDevice = nullptr;
  m__graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
  m__input->p_KeyEvent(event, data);
  if (event != c_BBGameEvent::KeyDown) return;
  if (data == KEY_CLOSE) {
    bb_app__app->p_OnClose();
  } else if (data == KEY_BACK) {
    bb_app__app->p_OnBack();
  }
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) {
  m__input->p_MouseEvent(event, data, x, y);
}

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) {
  m__input->p_TouchEvent(event, data, x, y);
}

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
  m__input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() { m__graphics->DiscardGraphics(); }

int bb_app_SetUpdateRate(int hertz) {
  bb_app__updateRate = hertz;
  bb_app__game->SetUpdateRate(hertz);
  return 0;
}

int bb_app_Millisecs() { return bb_app__game->Millisecs(); }
void bb_app_EndApp() { bbError(String()); }
int bb_app_SaveState(String state) { return bb_app__game->SaveState(state); }
String bb_app_LoadState() { return bb_app__game->LoadState(); }

float bb_random_Rnd() {
  unsigned seed = static_cast<unsigned>(bb_random_Seed) * 1664525u + 1013904223u;
  bb_random_Seed = static_cast<int>(seed);
  return static_cast<float>(seed >> 8) * 5.9604645e-8f;
}

float bb_random_Rnd2(float low, float high) { return low + (high - low) * bb_random_Rnd(); }
float bb_random_Rnd3(float range) { return bb_random_Rnd() * range; }

int bb_math_Max(int a, int b) { return a >= b ? a : b; }
float bb_math_Max2(float x, float y) { return x > y ? x : y; }
int bb_math_Abs(int x) { return x >= 0 ? x : -x; }
float bb_math_Abs2(float x) { return x >= 0 ? x : -x; }
