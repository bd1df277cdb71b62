// soak.cpp: the game driven for a long run of updates with random input, headless, in simulated
// time. Usage: game_soak [UPDATES [SEED]]   (defaults: 1000000 updates, seed 1)
//
// The run is split into sessions, each a child process that starts the game in one shared working
// folder (loading the state file the previous session left), plays random keys, characters and
// pointer input across the menus and play, suspends, resumes and resizes the window now and then,
// and ends when the player quits or after a random stretch; from the second session on every game
// type is open. It fails when a session ends other than by a normal exit (a crash or a sanitizer
// report), when the display list fills up, when the collector's heap passes a fixed bound, or when
// the state file after a save or a session is not a complete save whose checksums all hold.
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "harness.h"
#include "runtime/object/gc.h"

namespace {

constexpr int kHeapBound = 64 * 1024 * 1024;  // the game's own arrays take about 1 MB

// Figures shared by the sessions and the parent, in memory that outlives each child.
struct Figures {
  long updates;
  int sessions, quits, savesChecked, badStates, heapHighWater, maxEntries, fullLists;
};
Figures* figures = nullptr;

// Arrows, enter, space, escape, backspace, tab, letters, digits, F2 and F11 (F1 prints every save).
const int kKeys[] = {37, 38, 39, 40, 37, 38, 39, 40, 13, 13, 32, 27, 8, 9, 65, 80, 81, 87, 83, 68, 90, 88, 48, 113, 122};

void Session(long total, unsigned seed) {
  ++figures->sessions;
  ++figures->quits;  // until the session returns: the game's quit ends the process from inside
  gametest::Game g(".");
  std::mt19937 rng(seed);
  auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  if (figures->sessions > 1 && g.app->m_Quest[99] == 0) g.app->m_Quest[99] = 1;
  std::vector<int> held;
  int saveCursor = g.app->m_SaveCursor, pausedFor = 0;
  for (long n = 0, length = 20000 + below(200000); n < length && figures->updates < total; ++n) {
    int roll = below(1000);
    float x = static_cast<float>(below(g.window.width)), y = static_cast<float>(below(g.window.height));
    if (roll < 120) {
      held.push_back(kKeys[below(sizeof kKeys / sizeof kKeys[0])]);
      g.KeyDown(held.back());
    } else if (roll < 260 && !held.empty()) {
      g.KeyUp(held.back());
      held.pop_back();
    } else if (roll < 300) {
      g.Char("weaqdcxzythrufjnimkpoglv 1"[below(26)]);  // iCade letters among others
    } else if (roll < 400) {
      roll < 360 ? g.MouseMove(x, y) : roll < 380 ? g.MouseDown(x, y) : g.MouseUp();
    } else if (roll == 400 && below(20) == 0) {
      g.app->p_OnSuspend();  // the window loses focus: the game pauses and saves at once
      g.Render();
      g.app->p_OnResume();
    } else if (roll == 401 && below(50) == 0) {
      const int sizes[][2] = {{640, 480}, {1280, 960}, {800, 600}, {320, 240}, {1920, 1080}};
      const int* size = sizes[below(5)];
      g.Resize(size[0], size[1]);
    } else if (roll == 402 && below(200) == 0) {
      g.KeyDown(below(2) ? 115 : 432);  // F4 or the close request
    }
    g.Update();
    if (++figures->updates % 100000 == 0) std::fprintf(stderr, "game_soak: %ld updates\n", figures->updates);
    figures->maxEntries = std::max(figures->maxEntries, g.Entries());
    figures->fullLists += g.app->m_DrawCount > c_MyApp::kLastEntryStart;
    figures->heapHighWater = std::max(figures->heapHighWater, gc_max_alloced_bytes);
    // Random keys keep finding the pause key; a player gets back to the game after a while.
    pausedFor = g.app->m_Paused ? pausedFor + 1 : 0;
    if (pausedFor > 300) {
      for (; !held.empty(); held.pop_back()) g.KeyUp(held.back());
      for (const char* c = "eqcztrfnmpgv"; *c; ++c) g.Char(*c);
      g.MouseUp();
      g.Update();
      g.Press(13, 1);
      pausedFor = 0;
    }
    if (saveCursor >= 0 && g.app->m_SaveCursor < 0) {
      ++figures->savesChecked;
      figures->badStates += !gametest::ValidState(gametest::StateFile());
    }
    saveCursor = g.app->m_SaveCursor;
    if (n % 2 == 1) g.Render();
    if (gc_max_alloced_bytes > kHeapBound) break;
  }
  g.app->p_FinishSave();  // as a closed window leaves: a running save is written out first
  --figures->quits;
}

}  // namespace

int main(int argc, char** argv) {
  long total = argc > 1 ? std::atol(argv[1]) : 1000000;
  unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;
  void* shared = mmap(nullptr, sizeof(Figures), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  char folder[] = "/tmp/zudodo-soak-XXXXXX";
  if (shared == MAP_FAILED || !mkdtemp(folder) || chdir(folder) != 0) return 2;
  figures = static_cast<Figures*>(shared);
  bool failed = false;
  while (figures->updates < total && !failed) {
    long before = figures->updates;
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
      // The game's status lines would fill the log; its errors still reach standard error.
      if (!std::freopen("/dev/null", "w", stdout)) _exit(3);
      Session(total, seed + static_cast<unsigned>(figures->sessions) * 7919u);
      _exit(0);
    }
    int status = 0;
    failed = child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    if (failed) std::fprintf(stderr, "game_soak: session %d ended abnormally (status %d)\n", figures->sessions, status);
    figures->badStates += !gametest::ValidState(gametest::StateFile());
    failed = failed || figures->updates == before || figures->heapHighWater > kHeapBound;
  }
  if (std::system((std::string("rm -rf '") + folder + "'").c_str()) != 0) std::fprintf(stderr, "game_soak: %s kept\n", folder);
  std::printf("soak_updates: %ld\nsoak_sessions: %d\nsoak_quits_by_the_game: %d\nsoak_saves_checked: %d\n", figures->updates,
              figures->sessions, figures->quits, figures->savesChecked);
  std::printf("soak_heap_high_water_bytes: %d\nsoak_max_display_entries: %d\nsoak_full_display_lists: %d\n",
              figures->heapHighWater, figures->maxEntries, figures->fullLists);
  std::printf("soak_invalid_state_files: %d\n", figures->badStates);
  return failed || figures->fullLists || figures->badStates ? 1 : 0;
}
