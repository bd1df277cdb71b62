// soak.cpp: game_soak [UPDATES [SEED]] (defaults 1000000, 1) drives the game headless with random
// keys, iCade letters, the pointer, suspends and resizes, in child-process sessions sharing one
// state file. It fails on a session that does not exit normally, a full display list, a collector
// heap past 64 MB, or a state file after a save or a session that is not a complete, sound save.
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

// Figures shared by the sessions and the parent, in memory that outlives each child.
struct Figures {
  long updates;
  int sessions, saves, badStates, heapHighWater, maxEntries, fullLists;
};
Figures* figures;

void Session(long total, std::mt19937 rng) {
  gametest::Game g(".");
  if (++figures->sessions > 1 && g.app->m_Quest[99] == 0) g.app->m_Quest[99] = 1;
  auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  // Arrows, enter, space, escape, backspace, tab, letters, digits, F2 and F11 (F1 prints every save).
  const int keys[] = {37, 38, 39, 40, 37, 38, 39, 40, 13, 13, 32, 27, 8, 9, 65, 80, 81, 87, 83, 90, 48, 113, 122};
  std::vector<int> held;
  for (long n = 20000 + below(200000); n > 0 && figures->updates < total; --n) {
    int roll = below(1000), saveCursor = g.app->m_SaveCursor;
    float x = static_cast<float>(below(g.window.width)), y = static_cast<float>(below(g.window.height));
    if (roll < 120) held.push_back(keys[below(sizeof keys / sizeof *keys)]), g.KeyDown(held.back());
    if (roll >= 120 && roll < 260 && !held.empty()) g.KeyUp(held.back()), held.pop_back();
    if (roll >= 260 && roll < 300) g.Char("weaqdcxzythrufjnimkpoglv 1"[below(26)]);
    if (roll >= 300 && roll < 400) roll < 360 ? g.MouseMove(x, y) : roll < 380 ? g.MouseDown(x, y) : g.MouseUp();
    if (roll == 400 && below(20) == 0) g.app->p_OnSuspend(), g.Render(), g.app->p_OnResume();  // saves at once
    if (roll == 401 && below(50) == 0) g.Resize(320 * (1 + below(6)), 240 * (1 + below(4)));
    if (roll == 402 && below(200) == 0) g.KeyDown(below(2) ? 115 : 432);  // F4 or the close request
    // Random keys keep finding the pause key; a player gets back to the game after a while.
    if (g.app->m_Paused && below(300) == 0) {
      for (; !held.empty(); held.pop_back()) g.KeyUp(held.back());
      for (const char* c = "eqcztrfnmpgv"; *c; ++c) g.Char(*c);
      g.MouseUp();
      g.Update();
      g.Press(13, 1);
    }
    g.Update();
    if (n % 2) g.Render();
    if (++figures->updates % 100000 == 0) std::fprintf(stderr, "game_soak: %ld updates\n", figures->updates);
    figures->maxEntries = std::max(figures->maxEntries, g.Entries());
    figures->fullLists += g.app->m_DrawCount > c_MyApp::kLastEntryStart;
    figures->heapHighWater = std::max(figures->heapHighWater, gc_max_alloced_bytes);
    bool saved = saveCursor >= 0 && g.app->m_SaveCursor < 0;
    figures->saves += saved;
    figures->badStates += saved && !gametest::ValidState(gametest::StateFile());
  }
  g.app->p_FinishSave();  // as a closed window leaves: a running save is written out first
}

}  // namespace

int main(int argc, char** argv) {
  long total = argc > 1 ? std::atol(argv[1]) : 1000000;
  unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;
  void* shared = mmap(nullptr, sizeof(Figures), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  char folder[] = "/tmp/zudodo-soak-XXXXXX";
  if (shared == MAP_FAILED || !mkdtemp(folder) || chdir(folder) != 0) return 2;
  figures = static_cast<Figures*>(shared);
  int status = 0;
  for (long before = -1; figures->updates < total && figures->updates != before && status == 0;) {
    before = figures->updates;
    pid_t child = (std::fflush(stdout), fork());
    if (child == 0) {
      // The game's status lines would fill the log; its errors still reach standard error.
      if (!std::freopen("/dev/null", "w", stdout)) _exit(3);
      Session(total, std::mt19937(seed + static_cast<unsigned>(figures->sessions) * 7919u));
      _exit(0);
    }
    if (child < 0 || waitpid(child, &status, 0) != child) status = -1;
    figures->badStates += !gametest::ValidState(gametest::StateFile());
  }
  if (std::system((std::string("rm -rf '") + folder + "'").c_str()) != 0) std::fprintf(stderr, "game_soak: %s kept\n", folder);
  std::printf("soak_updates: %ld\nsoak_sessions: %d\nsoak_saves_checked: %d\nsoak_heap_high_water_bytes: %d\n"
              "soak_max_display_entries: %d\nsoak_full_display_lists: %d\nsoak_invalid_state_files: %d\nsoak_last_session_status: %d\n",
              figures->updates, figures->sessions, figures->saves, figures->heapHighWater, figures->maxEntries, figures->fullLists,
              figures->badStates, status);
  return status || figures->updates < total || figures->heapHighWater > 64 * 1024 * 1024 || figures->fullLists ||
         figures->badStates;
}
