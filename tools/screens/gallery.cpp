// gallery.cpp: the scripts of the gallery, one new game each.
#include "gallery.h"

#include <set>

#include "autopilot.h"

namespace screens {
namespace {

// Classic quest levels that open each world (world 1 opens with the tutorial, level 0).
struct WorldStart {
  int world, level;
};
const WorldStart kWorldStarts[] = {{1, 0},  {2, 5},  {3, 30}, {4, 15}, {5, 20},
                                   {6, 25}, {7, 10}, {8, 35}, {9, 40}};

// A Path A score list as a player who has played a while has it: top ten and last ten.
const int kTopTen[10] = {41250, 33780, 26415, 19960, 14305, 9870, 6120, 3455, 1280, 0};
const int kLastTen[10] = {9870, 3455, 41250, 1280, 14305, 26415, 6120, 19960, 33780, 0};

// What every script needs: its session, where screens go, and which were reached.
struct Run {
  Session& s;
  const Keep& keep;
  std::set<std::string>& reached;
  void Shoot(const std::string& name) {
    keep(name, s.Capture());
    reached.insert(name);
  }
  c_MyApp* app() { return s.app; }
};

// The title menu, slid fully in.
void ToTitle(Run& r) {
  r.s.FinishLoading();
  r.s.Updates(40);
}

// The autopilot plays `updates` updates (or until the level ends).
void Autoplay(Run& r, int updates) {
  BBAutopilot pilot(r.app());
  for (int i = 0; i < updates && r.app()->m_Outcome == 0; ++i) {
    pilot.Steer();
    r.s.Update();
  }
}

// Walks on, turning where a wall stops him and never back, until the crumbling floor boxes the
// player in: the quickest way to lose a level.
bool WanderUntilLost(Run& r, int limit) {
  static const int kDX[5] = {0, 0, 1, 0, -1}, kDY[5] = {0, -1, 0, 1, 0};
  static const int kArrow[5] = {0, keys::kUp, keys::kRight, keys::kDown, keys::kLeft};
  c_MyApp* app = r.app();
  int dir = 2, held = 0;
  for (int i = 0; i < limit && app->m_Outcome == 0; ++i) {
    const bool resting = app->m_Vars[3] == 0 && app->m_Vars[4] == 0;
    if (resting) {
      const int x = static_cast<int>(app->m_Vars[1]), y = static_cast<int>(app->m_Vars[2]);
      for (int turn : {0, 1, 3}) {
        const int d = (dir - 1 + turn) % 4 + 1;
        if (app->p_isSolid(x + kDX[d], y + kDY[d], d) == 0) {
          dir = d;
          break;
        }
      }
    }
    if (held != dir) {
      if (held) r.s.KeyUp(kArrow[held]);
      r.s.KeyDown(kArrow[dir]);
      held = dir;
    }
    r.s.Update();
  }
  if (held) r.s.KeyUp(kArrow[held]);
  return app->m_Outcome < 0;
}

// Cells of the level still falling into place.
int Falling(c_MyApp* app) {
  int n = 0;
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) n += app->Cell(x, y, c_MyApp::kCellDrop) < 0 ? 1 : 0;
  return n;
}

// The drop-in halfway: half of the cells have landed.
void HalfDropped(Run& r) {
  r.s.Update();
  const int falling = Falling(r.app());
  r.s.UpdatesUntil([&r, falling] { return Falling(r.app()) <= falling / 2; }, 600);
}

// From the title menu, the Classic quest box opened on the level after the highest completed,
// and that level started; stops when its drop-in begins.
void StartQuestLevel(Run& r, int level) {
  if (level > 0) r.app()->m_Quest[level - 1] = 1;
  ToTitle(r);
  r.s.Press(keys::kEnter);
  r.s.Updates(40);
  r.s.Press(keys::kEnter);
}

// A new player: the loading screen, the title menu, the credits, the quest box, the tutorial
// with its bubbles, the pause menu and the options, then the level completed and the next one
// lost.
void NewPlayer(Run& r) {
  r.s.UpdatesUntil([&r] { return r.app()->m_LoadStep >= 20; }, 100);
  r.Shoot("loading");
  ToTitle(r);
  r.Shoot("title-new-player");
  r.s.Press(keys::kN);
  r.s.Updates(60);
  r.Shoot("credits");
  r.s.Press(keys::kN);
  r.s.Updates(40);
  r.s.Press(keys::kEnter);
  r.s.Updates(40);
  r.Shoot("quest-new");
  r.s.Press(keys::kEnter);
  HalfDropped(r);
  r.Shoot("world-1-drop-in");
  r.s.UpdatesUntil([&r] { return r.app()->m_Settling == 0; }, 600);
  r.s.Updates(90);
  r.Shoot("world-1-play");
  r.s.Press(keys::kEscape);
  r.s.Updates(20);
  r.Shoot("paused");
  r.s.Press(keys::kRight);
  r.s.Press(keys::kEnter);
  r.s.Updates(40);
  r.Shoot("options");
  r.s.Press(keys::kEscape);
  r.s.Updates(40);
  r.s.Press(keys::kEscape);
  r.s.Updates(30);

  Autoplay(r, 20000);
  if (r.s.UpdatesUntil([&r] { return r.app()->m_Outcome == 121; }, 200)) {
    r.s.Update();
    r.Shoot("level-complete");
  }
  r.s.Press(keys::kRight);
  r.s.UpdatesUntil([&r] { return r.app()->m_Settling == 0; }, 600);
  if (WanderUntilLost(r, 3000) && r.s.UpdatesUntil([&r] { return r.app()->m_Outcome == -121; }, 300)) {
    r.s.Update();
    r.Shoot("failed");
  }
}

// Progress and scores: the paths unlocked, Path A's score lists, and a Path A game quit from the
// pause menu with a score that enters the top ten.
void PathPlayer(Run& r) {
  c_MyApp* app = r.app();
  app->m_Quest[4] = 1;
  for (int i = 0; i < 10; ++i) {
    app->m_Scores[10 + i] = kTopTen[i];
    app->m_Scores[250 + i] = kLastTen[i];
  }
  ToTitle(r);
  r.Shoot("title-paths-unlocked");
  r.s.Press(keys::kDown);
  r.s.Updates(20);
  r.Shoot("title-scores");
  r.s.Press(keys::kEnter);
  r.s.UpdatesUntil([app] { return app->m_Mode == 10 && app->m_Settling == 0; }, 600);
  Autoplay(r, 900);
  r.s.Press(keys::kEscape);
  r.s.Updates(20);
  r.s.Press(keys::kLeft);
  r.s.Press(keys::kEnter);
  r.s.UpdatesUntil([app] { return app->m_GameOverStep >= 60; }, 200);
  r.Shoot("game-over-highscore");
}

// The quest box of a player who has completed level 9: world 1 is open.
void QuestProgress(Run& r) {
  r.app()->m_Quest[9] = 1;
  ToTitle(r);
  r.s.Press(keys::kEnter);
  r.s.Updates(40);
  r.Shoot("quest-level-9-done");
}

// A world's first level: dropping in, and a few seconds into play.
void World(Run& r, const WorldStart& w) {
  const std::string name = "world-" + std::to_string(w.world);
  StartQuestLevel(r, w.level);
  HalfDropped(r);
  r.Shoot(name + "-drop-in");
  r.s.UpdatesUntil([&r] { return r.app()->m_Settling == 0; }, 600);
  Autoplay(r, 240);
  r.Shoot(name + "-play");
}

}  // namespace

const std::vector<Screen>& GalleryScreens() {
  static const std::vector<Screen> screens = [] {
    std::vector<Screen> list = {
        {"loading", "loading"},
        {"title-new-player", "title menu: a new player"},
        {"title-paths-unlocked", "title menu: paths unlocked"},
        {"title-scores", "title menu: Path A's scores"},
        {"credits", "credits"},
        {"quest-new", "quest box: a new player"},
        {"quest-level-9-done", "quest box: level 9 done"},
    };
    for (const WorldStart& w : kWorldStarts) {
      const std::string name = "world-" + std::to_string(w.world);
      const std::string where = "world " + std::to_string(w.world) + ", level " + std::to_string(w.level);
      list.push_back({name + "-drop-in", where + ": drop-in"});
      list.push_back({name + "-play", where + (w.level == 0 ? ": tutorial" : ": in play")});
    }
    list.push_back({"paused", "paused"});
    list.push_back({"options", "options"});
    list.push_back({"level-complete", "level complete"});
    list.push_back({"failed", "level failed"});
    list.push_back({"game-over-highscore", "game over, a new highscore"});
    return list;
  }();
  return screens;
}

std::vector<std::string> PlayGallery(int width, int height, const std::string& workDir, const std::string& dataDir,
                                     const Keep& keep) {
  std::set<std::string> reached;
  int game = 0;
  auto play = [&](const std::function<void(Run&)>& script) {
    Session s(width, height, workDir + "/" + std::to_string(width) + "-" + std::to_string(++game), dataDir);
    Run r{s, keep, reached};
    script(r);
  };
  play(NewPlayer);
  play(PathPlayer);
  play(QuestProgress);
  for (const WorldStart& w : kWorldStarts)
    if (w.level > 0) play([&w](Run& r) { World(r, w); });

  std::vector<std::string> missing;
  for (const Screen& screen : GalleryScreens())
    if (!reached.count(screen.name)) missing.push_back(screen.name);
  return missing;
}

}  // namespace screens
