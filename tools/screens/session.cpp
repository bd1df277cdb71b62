// session.cpp: the real window and devices under a scripted clock.
#include "session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/audio/device.h"
#include "runtime/host/game.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"
#include "runtime/platform/window.h"

namespace screens {
namespace {

// The window library's own window system, with the clock, the focus and the input replaced: the
// window and its buffers are real, time moves only with the script, and no X event reaches the
// game.
class ScriptedWindow : public BBWindowSystem {
 public:
  explicit ScriptedWindow(BBWindowSystem* real) : real_(real) {}
  double now = 1.0;

  bool Init() override { return real_->Init(); }
  void Terminate() override { real_->Terminate(); }
  bool OpenWindow(int w, int h, int r, int g, int b, int a, int depth, int stencil, bool fullscreen,
                  bool resizable) override {
    return real_->OpenWindow(w, h, r, g, b, a, depth, stencil, fullscreen, resizable);
  }
  void CloseWindow() override { real_->CloseWindow(); }
  void SetWindowTitle(const char* title) override { real_->SetWindowTitle(title); }
  void SetWindowPos(int x, int y) override { real_->SetWindowPos(x, y); }
  int WindowParam(Param which) override { return which == kIconified ? 0 : 1; }
  void GetWindowSize(int* w, int* h) override { real_->GetWindowSize(w, h); }
  BBVideoModeInfo DesktopMode() override { return real_->DesktopMode(); }
  std::vector<BBVideoModeInfo> VideoModes() override { return real_->VideoModes(); }
  void SetCallbacks(const BBWindowCallbacks&) override { real_->SetCallbacks(BBWindowCallbacks()); }
  void PollEvents() override { real_->PollEvents(); }
  void WaitEvents() override { real_->PollEvents(); }
  double Time() override { return now; }
  void Sleep(double seconds) override { now += seconds; }
  bool KeyPressed(int) override { return false; }
  void MousePos(int* x, int* y) override { *x = *y = 0; }
  void SetCursorVisible(bool) override {}
  void SwapBuffers() override { real_->SwapBuffers(); }
  bool JoystickPresent(int) override { return false; }
  int JoystickAxes(int, float*, int) override { return 0; }
  int JoystickButtons(int, unsigned char*, int) override { return 0; }

 private:
  BBWindowSystem* real_;
};

ScriptedWindow* Window() {
  static ScriptedWindow* window = [] {
    auto* w = new ScriptedWindow(bbWindowSystem());
    bbSetWindowSystem(w);
    if (!w->Init()) {
      std::fprintf(stderr, "garvolin-screens: the window library cannot start (no X display?)\n");
      std::exit(1);
    }
    return w;
  }();
  return window;
}

// One host and one audio device for the whole run, as the real program has.
BBGlfwGame* Host() {
  static BBGlfwGame* host = new BBGlfwGame;
  return host;
}

gxtkAudio* Audio() {
  static gxtkAudio* audio = [] {
    setenv("ALSOFT_DRIVERS", "null", 0);
    return new gxtkAudio;
  }();
  return audio;
}

int openWidth = 0, openHeight = 0;

}  // namespace

Session::Session(int width, int height, const std::string& folder, const std::string& dataDir)
    : width_(width), height_(height) {
  ScriptedWindow* window = Window();
  if (width != openWidth || height != openHeight) {
    Host()->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
    int w = 0, h = 0;
    window->GetWindowSize(&w, &h);
    if (w != width || h != height) {
      std::fprintf(stderr, "garvolin-screens: asked for a %dx%d window, got %dx%d\n", width, height, w, h);
      std::exit(1);
    }
    openWidth = width, openHeight = height;
  }

  char* cwd = getcwd(nullptr, 0);
  previousDir_ = cwd;
  std::free(cwd);
  mkdir(folder.c_str(), 0755);
  if (chdir(folder.c_str()) != 0 || (access("data", F_OK) != 0 && symlink(dataDir.c_str(), "data") != 0)) {
    std::fprintf(stderr, "garvolin-screens: cannot prepare %s\n", folder.c_str());
    std::exit(1);
  }

  // The runtime's start-up, with the devices made once for the whole run.
  gc_init();
  bbProgramInit = bbGameInit;
  app = static_cast<c_MyApp*>(bbStartProgram());
  c_GameDelegate* d = bb_app__delegate;
  gc_assign(d->m__graphics, new gxtkGraphics);
  bb_graphics_SetGraphicsDevice(d->m__graphics);
  bb_graphics_SetFont(nullptr, 32);
  gc_assign(d->m__audio, Audio());
  bb_audio_SetAudioDevice(d->m__audio);
  c_InputDevice* input = (new c_InputDevice)->m_new();
  for (int port = 0; port < 4; ++port) gc_assign(input->m__joyStates[port], (new c_JoyState)->m_new());
  gc_assign(d->m__input, input);
  bb_input_SetInputDevice(input);
  Host()->SetDelegate(d);
  app->p_OnCreate();
  Capture();
}

Session::~Session() {
  bb_audio_device->StopMusic();
  for (int c = 0; c < 32; ++c) bb_audio_device->StopChannel(c);
  if (chdir(previousDir_.c_str()) != 0) std::perror("garvolin-screens: chdir");
}

void Session::Update() {
  Window()->now += 1.0 / 60.0;
  Window()->PollEvents();
  bb_app__delegate->UpdateGame();
  Host()->gc_collect();
}

void Session::Updates(int n) {
  for (int i = 0; i < n; ++i) Update();
}

bool Session::UpdatesUntil(const std::function<bool()>& done, int limit) {
  for (int i = 0; i < limit; ++i) {
    if (done()) return true;
    Update();
  }
  return done();
}

void Session::FinishLoading() {
  UpdatesUntil([this] { return app->m_LoadStep == 0; }, 100);
}

void Session::KeyDown(int key) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyDown, key); }
void Session::KeyUp(int key) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyUp, key); }

void Session::Press(int key, int hold) {
  KeyDown(key);
  Updates(hold);
  KeyUp(key);
  Update();
}

Frame Session::Capture() {
  gxtkGraphics* device = bb_app__delegate->m__graphics;
  Frame frame;
  device->BeginRender();
  bb_graphics_BeginRender();
  app->p_OnRender();
  frame.width = device->width;
  frame.height = device->height;
  Array<int> pixels(frame.width * frame.height);
  device->ReadPixels(pixels, 0, 0, frame.width, frame.height, 0, frame.width);
  bb_graphics_EndRender();
  device->EndRender();
  Host()->gc_collect();
  frame.rgb.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height) * 3);
  for (int i = 0; i < frame.width * frame.height; ++i) {
    const unsigned p = static_cast<unsigned>(pixels[i]);
    frame.rgb[3 * static_cast<size_t>(i)] = static_cast<uint8_t>(p >> 16);
    frame.rgb[3 * static_cast<size_t>(i) + 1] = static_cast<uint8_t>(p >> 8);
    frame.rgb[3 * static_cast<size_t>(i) + 2] = static_cast<uint8_t>(p);
  }
  return frame;
}

}  // namespace screens
