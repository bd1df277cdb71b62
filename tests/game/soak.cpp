// soak.cpp: the game driven for a long run of updates with random input, headless, in simulated
// time. Usage: game_soak [UPDATES [SEED]]   (defaults: 1000000 updates, seed 1)
//
// The run is split into sessions, each a child process that starts the game in one shared working
// folder (loading the state file the previous session left), plays random keys, characters and
// pointer input across the menus, options, pause and play, suspends, resumes and resizes the
// window now and then, and ends when the player quits or after a random stretch. From the second
// session on every game type is open. Checked on the way:
// no session ends other than by a normal exit (a crash or a sanitizer report fails the run), the
// display list never fills up, the collector's heap stays below a fixed bound, and after every
// completed save and every session the state file is a complete save whose every checksum holds
// (checked by a reader of its own, not the game's loader). Prints its figures as "name: value".
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "runtime/object/gc.h"

namespace {

// The collector's heap must stay below this: the game's own arrays take about 1 MB.
constexpr int kHeapBound = 64 * 1024 * 1024;

// Figures shared between the sessions and the parent, in memory that survives each child.
struct Figures {
  long updates;
  long renders;
  int sessions;
  int quits;             // sessions the player ended through the game's quit
  int savesChecked;      // completed saves whose file was checked
  int badStates;         // state files that failed the check
  int heapHighWater;     // gc_max_alloced_bytes over all sessions
  int maxEntries;        // display-list entries in one update
  int fullLists;         // updates whose display list was full
  int fullListMode;      // the screen mode of the last of them
  long modeUpdates[12];  // updates spent in each screen mode
  long playUpdates[13];  // updates of play per game type
  long pausedUpdates;
  char badStateWhy[200];
};
Figures* figures = nullptr;

// True when text is a complete save: 20639 decimal fields, each followed by '|', in blocks whose
// weighted checksums hold. Why not, in *why.
bool ValidState(const std::string& text, std::string* why) {
  if (text.empty()) return true;  // no save yet
  std::vector<int> v;
  std::string field;
  for (char c : text) {
    if (c != '|') {
      field += c;
      continue;
    }
    char* end = nullptr;
    long long n = std::strtoll(field.c_str(), &end, 10);
    if (field.empty() || *end != 0 || n < INT32_MIN || n > INT32_MAX) {
      *why = "field " + std::to_string(v.size()) + " is not a 32-bit number: '" + field + "'";
      return false;
    }
    v.push_back(static_cast<int>(n));
    field.clear();
  }
  if (!field.empty() || v.size() != 20639) {
    *why = std::to_string(v.size()) + " fields, the last one ending '" + field + "'";
    return false;
  }
  auto check = [&](const char* block, int at, uint32_t sum) {
    if (static_cast<int>(sum) == v[size_t(at)]) return true;
    *why = std::string(block) + " checksum at field " + std::to_string(at);
    return false;
  };
  uint32_t sum = 0;
  for (int i = 0; i < 25; ++i) sum += uint32_t(i) * uint32_t(v[size_t(i)]);
  if (!check("settings", 25, sum)) return false;
  sum = 0;
  for (int w = 0; w < 8; ++w) sum += uint32_t(v[size_t(26 + w)]);
  if (!check("badges", 34, sum)) return false;
  int pos = 35;
  for (int t = 0; t < 24; ++t, pos += 21) {
    sum = 0;
    for (int s = 0; s < 10; ++s) {
      sum += uint32_t(s + 4) * uint32_t(v[size_t(pos + 2 * s)]);
      sum += uint32_t(t + s + 3) * uint32_t(v[size_t(pos + 2 * s + 1)]);
    }
    if (!check("highscore", pos + 20, sum)) return false;
  }
  for (int q = 0; q < 100; ++q, pos += 201) {
    sum = 0;
    for (int k = 0; k < 200; ++k) sum += uint32_t(k + 4) * uint32_t(v[size_t(pos + k)]);
    if (!check("quest", pos + 200, sum)) return false;
  }
  return true;
}

void CheckStateFile(const char* when) {
  std::ifstream in(".gamestate", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string why;
  if (ValidState(text.str(), &why)) return;
  ++figures->badStates;
  std::snprintf(figures->badStateWhy, sizeof figures->badStateWhy, "%s: %s", when, why.c_str());
}

// Keys a player may press: arrows, enter, space, escape, backspace, tab, letters, digits, the
// function keys the game reads (F1, which prints every save, excepted) and the close request.
const std::vector<int> kKeys = {37, 38, 39, 40, 37, 38, 39, 40, 13, 13, 32, 27, 8, 9, 65, 80, 81, 87, 83, 68,
                                90, 88, 48, 49, 50, 113, 122};

class Player {
 public:
  Player(gametest::Game& g, unsigned seed) : g_(g), rng_(seed) {}

  // Input before one update.
  void Act() {
    int roll = Below(1000);
    if (roll < 120) {
      int key = kKeys[size_t(Below(int(kKeys.size())))];
      g_.KeyDown(key);
      held_.push_back(key);
    } else if (roll < 260 && !held_.empty()) {
      size_t i = size_t(Below(int(held_.size())));
      g_.KeyUp(held_[i]);
      held_.erase(held_.begin() + long(i));
    } else if (roll < 300) {
      // iCade characters (a press and a release character per control) among others.
      g_.Char("weaqdcxzythrufjnimkpoglv 1"[Below(26)]);
    } else if (roll < 360) {
      g_.MouseMove(float(Below(g_.window.width)), float(Below(g_.window.height)));
    } else if (roll < 380) {
      float x = float(Below(g_.window.width)), y = float(Below(g_.window.height));
      g_.MouseMove(x, y);
      g_.MouseDown(x, y);
      mouseDown_ = true;
    } else if (roll < 400 && mouseDown_) {
      g_.MouseUp();
      mouseDown_ = false;
    } else if (roll == 400 && Below(20) == 0) {
      // The window loses and regains focus: the game pauses and saves at once.
      g_.app->p_OnSuspend();
      g_.Render();
      g_.app->p_OnResume();
    } else if (roll == 401 && Below(50) == 0) {
      static const int sizes[][2] = {{640, 480}, {1280, 960}, {800, 600}, {320, 240}, {1920, 1080}};
      const int* s = sizes[Below(5)];
      g_.window.width = s[0];
      g_.window.height = s[1];
    } else if (roll == 402 && Below(200) == 0) {
      g_.KeyDown(Below(2) ? 115 : 432);  // F4 or the close request: the game quits
    }
  }

  // Lets go of every key, iCade control and the mouse button: the menus take a key only after
  // all are up.
  void ReleaseAll() {
    for (int key : held_) g_.KeyUp(key);
    held_.clear();
    for (const char* c = "eqcztrfnmpgv"; *c; ++c) g_.Char(*c);
    if (mouseDown_) g_.MouseUp();
    mouseDown_ = false;
  }

  int Below(int n) { return int(rng_() % unsigned(n)); }

 private:
  gametest::Game& g_;
  std::mt19937 rng_;
  std::vector<int> held_;
  bool mouseDown_ = false;
};

// One session: start the game in the working folder and play until the total is reached, the
// player quits, or the session's own length is up.
void Session(long total, unsigned seed) {
  ++figures->sessions;
  // Counted as a quit until it returns normally: the game's quit ends the process from inside.
  ++figures->quits;
  gametest::Game g(".");
  Player player(g, seed);
  // After the first session the player has got far in a quest, so that every entry of the title
  // menu is open; the saves carry that on.
  if (figures->sessions > 1 && g.app->m_Quest[99] == 0) g.app->m_Quest[99] = 1;
  int pausedFor = 0;
  long length = 20000 + player.Below(200000);
  int saveCursor = g.app->m_SaveCursor;
  for (long n = 0; n < length && figures->updates < total; ++n) {
    player.Act();
    g.Update();
    if (++figures->updates % 100000 == 0) {
      std::fprintf(stderr, "game_soak: %ld updates, heap high-water %d bytes\n", figures->updates,
                   figures->heapHighWater);
    }
    c_MyApp* app = g.app;
    int entries = g.Entries();
    if (entries > figures->maxEntries) figures->maxEntries = entries;
    // A full list refuses further entries.
    if (app->m_DrawCount > c_MyApp::kLastEntryStart) {
      ++figures->fullLists;
      if (app->m_Mode >= 0 && app->m_Mode < 12) figures->fullListMode = app->m_Mode;
    }
    if (app->m_Mode >= 0 && app->m_Mode < 12) ++figures->modeUpdates[app->m_Mode];
    if (app->m_Mode == 10 && app->m_GameType >= 0 && app->m_GameType <= 12) ++figures->playUpdates[app->m_GameType];
    if (app->m_Paused) {
      ++figures->pausedUpdates;
      // Random keys keep finding the pause key; a player gets back to the game after a while.
      if (++pausedFor > 300) {
        player.ReleaseAll();
        g.Update();
        g.KeyDown(13);
        g.Update();
        g.KeyUp(13);
        pausedFor = 0;
      }
    } else {
      pausedFor = 0;
    }
    if (gc_max_alloced_bytes > figures->heapHighWater) figures->heapHighWater = gc_max_alloced_bytes;
    if (saveCursor >= 0 && app->m_SaveCursor < 0) {
      ++figures->savesChecked;
      CheckStateFile("after a save");
    }
    saveCursor = app->m_SaveCursor;
    if (n % 2 == 1) {
      g.Render();
      ++figures->renders;
    }
    if (gc_max_alloced_bytes > kHeapBound) break;
  }
  // The player leaves the way a closed window leaves: a running save is written out first.
  g.app->p_FinishSave();
  --figures->quits;
}

}  // namespace

int main(int argc, char** argv) {
  long total = argc > 1 ? std::atol(argv[1]) : 1000000;
  unsigned seed = argc > 2 ? unsigned(std::atol(argv[2])) : 1;
  figures = static_cast<Figures*>(
      mmap(nullptr, sizeof(Figures), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  if (figures == MAP_FAILED) return 2;
  char folder[] = "/tmp/zudodo-soak-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) return 2;
  auto start = std::chrono::steady_clock::now();
  bool failed = false;
  while (figures->updates < total && !failed) {
    long before = figures->updates;
    std::fflush(stdout);
    pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) {
      // The game's status lines would fill the log; its errors still reach standard error.
      if (!std::freopen("/dev/null", "w", stdout)) _exit(3);
      Session(total, seed + unsigned(figures->sessions) * 7919u);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "game_soak: session %d ended abnormally (status %d) after %ld updates\n",
                   figures->sessions, status, figures->updates);
      failed = true;
    }
    CheckStateFile("after a session");
    if (figures->updates == before) {
      std::fprintf(stderr, "game_soak: a session made no progress\n");
      failed = true;
    }
    if (figures->heapHighWater > kHeapBound) {
      std::fprintf(stderr, "game_soak: the collector's heap passed %d bytes\n", kHeapBound);
      failed = true;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string cleanup = std::string("rm -rf '") + folder + "'";
  if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "game_soak: %s failed\n", cleanup.c_str());

  std::printf("soak_updates: %ld\nsoak_renders: %ld\nsoak_simulated_hours: %.2f\nsoak_seconds: %.1f\n",
              figures->updates, figures->renders, figures->updates / 60.0 / 3600.0, seconds);
  std::printf("soak_sessions: %d\nsoak_quits_by_the_game: %d\nsoak_saves_checked: %d\n", figures->sessions,
              figures->quits, figures->savesChecked);
  std::printf("soak_heap_high_water_bytes: %d\nsoak_max_display_entries: %d\n", figures->heapHighWater,
              figures->maxEntries);
  std::printf("soak_updates_by_mode:");
  for (int m = 0; m < 12; ++m)
    if (figures->modeUpdates[m]) std::printf(" %d=%ld", m, figures->modeUpdates[m]);
  std::printf("\nsoak_play_updates_by_game_type:");
  for (int t = 0; t <= 12; ++t)
    if (figures->playUpdates[t]) std::printf(" %d=%ld", t, figures->playUpdates[t]);
  std::printf("\nsoak_paused_updates: %ld\n", figures->pausedUpdates);
  if (figures->fullLists) {
    std::fprintf(stderr, "game_soak: the display list was full in %d updates, the last in mode %d\n",
                 figures->fullLists, figures->fullListMode);
    failed = true;
  }
  if (figures->badStates) {
    std::fprintf(stderr, "game_soak: %d invalid state files; %s\n", figures->badStates, figures->badStateWhy);
    failed = true;
  }
  return failed ? 1 : 0;
}
