// frame_bench.cpp: the game on its widest map in a real 640 x 480 window (GLFW and OpenGL), from
// the drop-in through the trail search to the home, played by the autopilot. Each frame is run
// as the host runs it (update, collector step, render pass through to the buffer swap, collector
// step) without waiting between frames, and timed part by part. Also times the three generation
// stages of that map, counts the heap bytes allocated per frame in steady play, and times the
// start of a level and of its tune, streamed and (for comparison) decoded whole as before. Frames
// alternate between the device's texture pages on and off (a texture per image, as before the
// pages), so that both are measured on the same play under the same load; the frame figures are
// those of the pages, the _unpacked ones those without, and the draw calls of both are counted on
// the title menu and in play. Prints "name: value" lines.
//
// The widest map: Expanse Path B (game type 11) level 131 of the fixed path (seed base 135795)
// is the first level of that path whose map spans all 257 columns, the widest any level has.
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autopilot.h"
#include "game/app.h"
#include "runtime/audio/sound.h"
#include "runtime/host/game.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"
#include "runtime/platform/window.h"

// ===== Heap accounting ======================================================================
// Every allocation of the process passes through here on its way to the C library's allocator;
// the bytes asked for on the main thread are counted (the OpenGL driver's worker threads are not).
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
}

namespace {
thread_local bool tCounted = false;
std::atomic<long long> gHeapBytes{0};
inline void Count(size_t size) {
  if (tCounted) gHeapBytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
}
}  // namespace

extern "C" void* malloc(size_t size) {
  Count(size);
  return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
  Count(count * size);
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, size_t size) {
  Count(size);
  return __libc_realloc(p, size);
}
extern "C" void free(void* p) { __libc_free(p); }

c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

namespace {

constexpr int kWidestType = 11;
constexpr int kWidestLevel = 131;
constexpr int kWidestSeedBase = kWidestType * 12345;
constexpr int kWidestMapW = 256;
constexpr double kBudgetMs = 1000.0 / 60.0;
constexpr int kMaxFrames = 12000;

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

double Percentile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t i = static_cast<size_t>(q * static_cast<double>(v.size()) + 0.999999);
  return v[std::min(v.size(), std::max<size_t>(i, 1)) - 1];
}

// The game's working folder: a fresh one whose data/ is the project's.
std::string EnterScratchFolder() {
  char folder[] = "/tmp/zudodo-frames-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0 || symlink(ZUDODO_SOURCE_DIR "/data", "data") != 0) std::exit(1);
  return folder;
}

// Bytes of the C library's allocator in use, on every thread (OpenAL's buffers included).
long long HeapInUse() {
  struct mallinfo2 m = mallinfo2();
  return static_cast<long long>(m.uordblks + m.hblkhd);
}

struct Frame {
  double update, render, gcAfterUpdate, gcAfterRender;
  long long heapUpdate, heapRender, gcBytes;
  bool steady;  // play running: laid out, landed, not ending
  bool pages;   // drawn from the texture pages
  long long draws;  // OpenGL draw calls of the render pass
};

}  // namespace

int main() {
  tCounted = true;
  setenv("ALSOFT_DRIVERS", "null", 0);
  std::string folder = EnterScratchFolder();
  if (!bbWindowSystem()->Init()) {
    std::fprintf(stderr, "frame_bench: no window system\n");
    return 1;
  }
  BBDesktopGame* host = new BBDesktopGame;
  gc_init();
  bbProgramInit = bbGameInit;
  bbStartProgram();
  host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host->StartGame();
  c_MyApp* app = static_cast<c_MyApp*>(bb_app__app);
  BBGameDelegate* delegate = host->Delegate();

  // One frame; `first` runs at the start of its update.
  auto frame = [&](Frame* f, void (*first)(c_MyApp*) = nullptr) {
    bbWindowSystem()->PollEvents();
    long long heap0 = gHeapBytes.load();
    int gc0 = gc_new_bytes;
    Clock::time_point t0 = Clock::now();
    if (first) first(app);
    delegate->UpdateGame();
    Clock::time_point t1 = Clock::now();
    int gc1 = gc_new_bytes;
    host->gc_collect();
    long long heap1 = gHeapBytes.load();
    Clock::time_point t2 = Clock::now();
    long long draws0 = bb_graphics_device->drawCalls;
    delegate->RenderGame();
    long long draws = bb_graphics_device->drawCalls - draws0;
    Clock::time_point t3 = Clock::now();
    host->gc_collect();
    Clock::time_point t4 = Clock::now();
    long long heap2 = gHeapBytes.load();
    if (f) {
      *f = {Ms(t0, t1), Ms(t2, t3), Ms(t1, t2), Ms(t3, t4), heap1 - heap0, heap2 - heap1, gc1 - gc0, false,
            bb_graphics_device->useTexturePages, draws};
    }
  };

  for (int i = 0; i < 600 && app->m_LoadStep != 0; ++i) frame(nullptr);
  for (int i = 0; i < 30; ++i) frame(nullptr);
  // The title menu, slid in: draw calls per frame with the pages and without.
  long long menuDraws[2] = {0, 0};
  for (int i = 0; i < 60; ++i) {
    Frame f;
    bb_graphics_device->useTexturePages = i % 2 == 0;
    frame(&f);
    if (i >= 40) menuDraws[f.pages ? 1 : 0] += f.draws;
  }

  // The three generation stages, after one generation that loads the world's tiles.
  std::vector<double> generation;
  for (int round = 0; round < 6; ++round) {
    app->m_GameType = kWidestType;
    app->m_Level = kWidestLevel;
    app->m_SeedBase = kWidestSeedBase;
    Clock::time_point t0 = Clock::now();
    app->p_GetLevel();
    while (app->m_TraceCount < c_MyApp::kTraceWalks) app->p_GetLevelB();
    Clock::time_point t1 = Clock::now();
    if (round > 0) generation.push_back(Ms(t0, t1));
  }
  if (app->m_MapW != kWidestMapW) {
    std::fprintf(stderr, "frame_bench: the map is %d columns wide, not %d\n", app->m_MapW + 1, kWidestMapW + 1);
    return 1;
  }

  // Each of the six tunes started on its own: the PlayMusic call, and the heap that the playing
  // tune holds a third of a second later. Streamed, and decoded whole as before.
  auto tunes = [&](bool whole, double* startMs, long long* heldBytes) {
    gxtkAudio::decodeMusicWhole = whole;
    for (int tune = 1; tune <= 6; ++tune) {
      long long heap0 = HeapInUse();
      Clock::time_point t0 = Clock::now();
      bb_audio_PlayMusic(String("sfx/tune0") + String(tune) + String(".ogg"), 0);
      *startMs = std::max(*startMs, Ms(t0, Clock::now()));
      for (int i = 0; i < 20; ++i, usleep(16667)) bb_audio_device->PumpMusic();
      *heldBytes = std::max(*heldBytes, HeapInUse() - heap0);
      bb_audio_StopMusic();
    }
  };
  double musicStart = 0, musicStartWhole = 0;
  long long musicHeld = 0, musicHeldWhole = 0;
  tunes(true, &musicStartWhole, &musicHeldWhole);
  tunes(false, &musicStart, &musicHeld);

  // A level from its choice to the player's control: the level is generated at the start of the
  // first frame, its world's tiles loaded afresh, and the last frame starts its tune. Returns the
  // frames.
  auto levelStart = [&](bool whole) {
    gxtkAudio::decodeMusicWhole = whole;
    app->m_Tileset = 0;
    std::vector<Frame> start(1);
    frame(&start[0], [](c_MyApp* a) { bbBeginLevel(a, kWidestType, kWidestLevel, kWidestSeedBase); });
    while (app->m_TraceCount < c_MyApp::kTraceWalks || app->m_Settling != 0) {
      start.emplace_back();
      frame(&start.back());
    }
    return start;
  };
  auto longest = [](const std::vector<Frame>& frames) {
    double most = 0;
    for (const Frame& f : frames) most = std::max(most, f.update + f.gcAfterUpdate + f.render + f.gcAfterRender);
    return most;
  };
  double levelStartWhole = longest(levelStart(true));

  // The level from its start: drop-in and trail search, then play to the home.
  std::vector<Frame> frames = levelStart(false);
  double levelStartStreamed = longest(frames);
  BBAutopilot pilot(app);
  while (app->m_Outcome <= 0 && static_cast<int>(frames.size()) < kMaxFrames) {
    if (app->m_Outcome < 0) break;
    pilot.Steer();
    bb_graphics_device->useTexturePages = frames.size() % 2 == 0;
    Frame f;
    bool steady = app->m_TraceCount >= c_MyApp::kTraceWalks && app->m_Settling == 0 && app->m_Outcome == 0;
    frame(&f);
    f.steady = steady && app->m_Outcome == 0;
    frames.push_back(f);
  }
  bool completed = app->m_Outcome > 0;

  std::vector<double> update, render, total, totalUnpacked, gcSteps;
  long long heapUpdate = 0, heapRender = 0, gcBytes = 0, playDraws[2] = {0, 0};
  int steady = 0, inBudget = 0, steadyFrames[2] = {0, 0};
  for (const Frame& f : frames) {
    update.push_back(f.update);
    double t = f.update + f.gcAfterUpdate + f.render + f.gcAfterRender;
    if (f.steady) {
      playDraws[f.pages ? 1 : 0] += f.draws;
      ++steadyFrames[f.pages ? 1 : 0];
    }
    if (!f.pages) {
      totalUnpacked.push_back(t);
      continue;
    }
    render.push_back(f.render);
    total.push_back(t);
    inBudget += t <= kBudgetMs ? 1 : 0;
    gcSteps.push_back(f.gcAfterUpdate * 1000.0);
    gcSteps.push_back(f.gcAfterRender * 1000.0);
    if (f.steady) {
      ++steady;
      heapUpdate += f.heapUpdate;
      heapRender += f.heapRender;
      gcBytes += f.gcBytes;
    }
  }
  std::printf("frame_update_p99_ms: %.3f\n", Percentile(update, 0.99));
  std::printf("frame_render_p99_ms: %.3f\n", Percentile(render, 0.99));
  std::printf("frame_widest_map_p50_ms: %.3f\n", Percentile(total, 0.5));
  std::printf("frame_widest_map_p99_ms: %.3f\n", Percentile(total, 0.99));
  std::printf("frame_widest_map_max_ms: %.3f\n", Percentile(total, 1.0));
  std::printf("frame_widest_map_within_budget_pct: %.2f\n", 100.0 * inBudget / std::max<size_t>(total.size(), 1));
  std::printf("frame_widest_map_unpacked_p50_ms: %.3f\n", Percentile(totalUnpacked, 0.5));
  std::printf("frame_widest_map_unpacked_p99_ms: %.3f\n", Percentile(totalUnpacked, 0.99));
  std::printf("play_draw_calls_per_frame: %.1f\n", static_cast<double>(playDraws[1]) / std::max(steadyFrames[1], 1));
  std::printf("play_draw_calls_per_frame_unpacked: %.1f\n",
              static_cast<double>(playDraws[0]) / std::max(steadyFrames[0], 1));
  std::printf("menu_draw_calls_per_frame: %.1f\n", static_cast<double>(menuDraws[1]) / 10);
  std::printf("menu_draw_calls_per_frame_unpacked: %.1f\n", static_cast<double>(menuDraws[0]) / 10);
  std::printf("frame_widest_map_frames: %zu\n", frames.size());
  std::printf("frame_widest_map_completed: %d\n", completed ? 1 : 0);
  std::printf("levelgen_widest_ms: %.3f\n", Percentile(generation, 0.5));
  std::printf("gc_step_median_us: %.2f\n", Percentile(gcSteps, 0.5));
  std::printf("gc_step_p99_us: %.2f\n", Percentile(gcSteps, 0.99));
  std::printf("play_alloc_bytes_per_frame: %.1f\n", static_cast<double>(heapUpdate) / std::max(steady, 1));
  std::printf("play_render_alloc_bytes_per_frame: %.1f\n", static_cast<double>(heapRender) / std::max(steady, 1));
  std::printf("play_gc_bytes_per_frame: %.1f\n", static_cast<double>(gcBytes) / std::max(steady, 1));
  std::printf("level_start_max_ms: %.3f\n", levelStartStreamed);
  std::printf("level_start_whole_tune_max_ms: %.3f\n", levelStartWhole);
  std::printf("music_start_ms: %.3f\n", musicStart);
  std::printf("music_start_whole_tune_ms: %.3f\n", musicStartWhole);
  std::printf("music_resident_bytes: %lld\n", musicHeld);
  std::printf("music_resident_whole_tune_bytes: %lld\n", musicHeldWhole);
  std::fflush(stdout);
  // Leave at once: the game's own quit path would save its state.
  std::string remove = "rm -rf '" + folder + "'";
  if (std::system(remove.c_str()) != 0) return 1;
  _exit(0);
}
