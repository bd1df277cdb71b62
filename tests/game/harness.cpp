// harness.cpp: building a headless game the way the runtime builds the real one.
#include "harness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/audio/device.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"

c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

namespace gametest {

// The host object lives for the whole test program, like the real one.
static BBGlfwGame* Host() {
  static BBGlfwGame* host = new BBGlfwGame;
  return host;
}

// A scratch folder: a player's save never reaches a test, and the test's save stays there.
std::string NewFolder() {
  char folder[] = "/tmp/zudodo-game-XXXXXX";
  return mkdtemp(folder) ? folder : "";
}

Game::Game(const std::string& folder, bool keep)
    : previousDir_(std::filesystem::current_path()), folder_(folder), keepFolder_(keep) {
  mkdir(folder.c_str(), 0755);
  struct stat st;
  if (chdir(folder.c_str()) != 0 || (lstat("data", &st) != 0 && symlink(ZUDODO_SOURCE_DIR "/data", "data") != 0))
    std::abort();
  previousWindow_ = bbSetWindowSystem(&window);
  gc_init();
  BBGlfwGame* host = Host();  // the host first: the application object registers with it
  bbProgramInit = bbGameInit;
  app = static_cast<c_MyApp*>(bbStartProgram());
  c_GameDelegate* d = bb_app__delegate;
  graphics = new HeadlessGraphics;
  graphics->window = &window;
  gc_assign(d->m__graphics, static_cast<gxtkGraphics*>(graphics));
  bb_graphics_SetGraphicsDevice(graphics);
  // One audio device for the test program: OpenAL Soft keeps its devices until exit.
  static gxtkAudio* audio = (setenv("ALSOFT_DRIVERS", "null", 0), new gxtkAudio);
  gc_assign(d->m__audio, audio);
  bb_audio_SetAudioDevice(audio);
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
  // Made readable first: a test may have locked it, or a file in it.
  std::string rm = "chmod -R u+rwx '" + folder_ + "' 2>/dev/null; rm -rf '" + folder_ + "'";
  if (!keepFolder_ && std::system(rm.c_str()) != 0) std::abort();
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

void Game::Ready() {
  FinishLoading();
  Render();
  Updates(40);
}

std::vector<const float*> Game::EntriesOf(float slot) const {
  std::vector<const float*> of;
  for (int k = 0; k < Entries(); ++k) if (Entry(k)[0] == slot) of.push_back(Entry(k));
  return of;
}

std::string Game::Text(int font) const {
  std::string text;
  for (const float* e : EntriesOf(font < 0 ? app->m_Font : font)) text += static_cast<char>(static_cast<int>(e[6]) + 32);
  return text;
}

void Arena(Game& g, const std::vector<std::string>& rows, int world) {
  c_MyApp* app = g.app;
  app->m_LoadStep = app->m_Tutorial = app->m_Paused = app->m_GameOver = app->m_Outcome = app->m_Settling = 0;
  app->m_Level = app->m_LevelKind = app->m_TuneStarted = 1;
  app->m_Mode = 10, app->m_GameType = 2, app->m_Lives = 3, app->m_World = world;
  app->m_TraceCount = c_MyApp::kTraceWalks;
  app->p_ResetPlayers();
  for (int i = 0; i < c_MyApp::kObjects * 10; ++i) app->m_Objs[i] = 0;
  app->m_MapW = static_cast<int>(rows[0].size()) - 1;
  app->m_Vars[98] = app->m_Vars[99] = -10;  // no home unless drawn
  const std::string specials = ".^><AV";
  int friends = 0;
  for (int x = 0; x <= app->m_MapW; ++x) {
    for (int y = 0; y < c_MyApp::kMapRows; ++y) {
      char c = y < static_cast<int>(rows.size()) ? rows[y][x] : '#';
      auto place = [&](int var) { app->m_Vars[var] = x, app->m_Vars[var + 1] = y; };
      for (int s = 0; s < 10; ++s) app->Cell(x, y, s) = 0;
      app->Cell(x, y, c_MyApp::kCellType) = c == '#' ? 1 : c == 'x' ? 2 : 0;
      app->Cell(x, y, c_MyApp::kCellPill) = c == 'o';
      if (c != '.' && specials.find(c) != std::string::npos) app->Cell(x, y, c_MyApp::kCellSpecial) = specials.find(c);
      if (c == 'S') place(1);
      if (c == 'H') place(98);
      if (c == 'F') place(80 + 5 * friends), app->m_Vars[82 + 5 * friends++] = 1;
      if (c == 'P') app->p_AddObj(x, y, 1);
    }
  }
  app->m_Vars[8] = app->m_Vars[1] * c_MyApp::kCellSize, app->m_Vars[9] = app->m_Vars[2] * c_MyApp::kCellSize;
  app->m_CamX = app->m_CamTX = app->m_Vars[8] - bb_GW_jscrw / 2;
  app->m_CamY = app->m_CamTY = app->m_Vars[9] - bb_GW_jscrh / 2;
}

std::string StateFile() {
  std::stringstream text;
  text << std::ifstream(".gamestate", std::ios::binary).rdbuf();
  return text.str();
}

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  for (size_t at = 0, bar; (bar = text.find('|', at)) != std::string::npos; at = bar + 1)
    fields.push_back(text.substr(at, bar - at));
  return fields;
}

std::string Join(const std::vector<std::string>& fields) {
  std::string text;
  for (const std::string& f : fields) text += f + "|";
  return text;
}

bool Reseal(std::vector<std::string>& fields) {
  std::vector<std::uint32_t> v;
  for (const std::string& f : fields) {
    char* end = nullptr;
    long long n = std::strtoll(f.c_str(), &end, 10);
    if (f.empty() || *end != 0 || n < INT32_MIN || n > INT32_MAX) return false;
    v.push_back(static_cast<std::uint32_t>(n));
  }
  size_t at = 0;
  // Settings, badge words, the interleaved top-ten and last-ten list of each game type, quest
  // blocks: n values, then their sum weighted by weight(k), wrapping at 32 bits.
  auto seal = [&](int n, auto weight) {
    if (at + n >= v.size()) return false;
    std::uint32_t sum = 0;
    for (int k = 0; k < n; ++k) sum += static_cast<std::uint32_t>(weight(k)) * v[at + k];
    fields[at + n] = std::to_string(static_cast<int>(sum));
    at += n + 1;
    return true;
  };
  bool whole = seal(25, [](int k) { return k; }) && seal(8, [](int) { return 1; });
  for (int t = 0; t < 24; ++t) whole = whole && seal(20, [t](int k) { return k / 2 + (k % 2 ? t + 3 : 4); });
  for (int q = 0; q < 100; ++q) whole = whole && seal(200, [](int k) { return k + 4; });
  return whole && at == v.size();
}

bool ValidState(const std::string& text) {
  std::vector<std::string> fields = Fields(text), sealed = fields;
  return text.empty() || (text.back() == '|' && Reseal(sealed) && sealed == fields);
}

}  // namespace gametest
