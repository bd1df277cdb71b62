// harness.cpp: building a headless game the way the runtime builds the real one.
#include "harness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "runtime/audio/device.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"

c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

namespace gametest {

namespace {

// The host object lives for the whole test program, like the real one.
BBGlfwGame* Host() {
  static BBGlfwGame* host = new BBGlfwGame;
  return host;
}

// One audio device for the test program: OpenAL Soft keeps its devices until exit.
gxtkAudio* Audio() {
  static gxtkAudio* audio = [] {
    setenv("ALSOFT_DRIVERS", "null", 0);
    return new gxtkAudio;
  }();
  return audio;
}

}  // namespace

Game::Game() {
  char* cwd = getcwd(nullptr, 0);
  previousDir_ = cwd;
  std::free(cwd);
  // Each game runs in a scratch folder of its own whose data/ is the project's: the state file it
  // saves stays there, and a player's own save never reaches a test.
  char folder[] = "/tmp/zudodo-game-XXXXXX";
  if (!mkdtemp(folder)) std::abort();
  scratch_ = folder;
  if (chdir(folder) != 0) std::abort();
  if (symlink(ZUDODO_SOURCE_DIR "/data", "data") != 0) std::abort();
  Start();
}

Game::Game(const std::string& folder) : scratch_(folder), keepFolder_(true) {
  char* cwd = getcwd(nullptr, 0);
  previousDir_ = cwd;
  std::free(cwd);
  mkdir(folder.c_str(), 0755);
  if (chdir(folder.c_str()) != 0) std::abort();
  struct stat st;
  if (lstat("data", &st) != 0 && symlink(ZUDODO_SOURCE_DIR "/data", "data") != 0) std::abort();
  Start();
}

void Game::Start() {
  previousWindow_ = bbSetWindowSystem(&window);
  gc_init();
  BBGlfwGame* host = Host();
  bbProgramInit = bbGameInit;
  bbRegisterRoots();
  bbInit();
  gc_mark();
  app = static_cast<c_MyApp*>(bbNewApplication());
  c_GameDelegate* d = bb_app__delegate;
  graphics = new HeadlessGraphics;
  graphics->window = &window;
  gc_assign(d->m__graphics, static_cast<gxtkGraphics*>(graphics));
  bb_graphics_SetGraphicsDevice(graphics);
  gc_assign(d->m__audio, Audio());
  bb_audio_SetAudioDevice(d->m__audio);
  c_InputDevice* input = (new c_InputDevice)->m_new();
  for (int port = 0; port < 4; ++port) gc_assign(input->m__joyStates[port], (new c_JoyState)->m_new());
  gc_assign(d->m__input, input);
  bb_input_SetInputDevice(input);
  host->SetDelegate(d);
  app->p_OnCreate();
}

Game::~Game() {
  bb_audio_device->StopMusic();
  for (int c = 0; c < 32; ++c) bb_audio_device->StopChannel(c);
  bbSetWindowSystem(previousWindow_);
  if (chdir(previousDir_.c_str()) != 0) std::abort();
  if (keepFolder_) return;
  std::string remove = "rm -rf '" + scratch_ + "'";
  if (std::system(remove.c_str()) != 0) std::abort();
}

void Game::Update() {
  window.now += 1.0 / 60.0;
  bb_app__delegate->UpdateGame();
  Host()->gc_collect();
}

void Game::Render() {
  bb_app__delegate->RenderGame();
  Host()->gc_collect();
}

void Game::FinishLoading() {
  for (int i = 0; i < 60 && app->m_LoadStep != 0; ++i) Update();
}

void Game::KeyDown(int key) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyDown, key); }
void Game::KeyUp(int key) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyUp, key); }
void Game::Char(int character) { bb_app__delegate->KeyEvent(c_BBGameEvent::KeyChar, character); }
void Game::MouseMove(float x, float y) { bb_app__delegate->MouseEvent(c_BBGameEvent::MouseMove, -1, x, y); }
void Game::MouseDown(float x, float y) { bb_app__delegate->MouseEvent(c_BBGameEvent::MouseDown, 0, x, y); }
void Game::MouseUp() { bb_app__delegate->MouseEvent(c_BBGameEvent::MouseUp, 0, 0, 0); }

std::string Game::RecordedText() const {
  std::string text;
  for (int k = 0; k < Entries(); ++k) {
    const float* e = Entry(k);
    if (static_cast<int>(e[0]) == app->m_Font) text += static_cast<char>(static_cast<int>(e[6]) + 32);
  }
  return text;
}

}  // namespace gametest
