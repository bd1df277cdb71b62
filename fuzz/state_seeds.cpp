// state_seeds.cpp: writes seed state files for the save loader's fuzz target with the game's own
// save code. Usage: state_seeds FOLDER. Each seed is a complete save of one set of values; a
// truncated and a damaged copy of the richest one are written too.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "game/app.h"
#include "game/globals.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"

c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

namespace {

class SeedHost : public BBGlfwGame {
 public:
  std::string saved;
  int SaveState(String state) override {
    saved = state.ToUtf8();
    return 0;
  }
};

void Write(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string dir = argv[1];
  gc_init();
  SeedHost* host = new SeedHost;
  bbProgramInit = bbGameInit;
  bbRegisterRoots();
  bbInit();
  gc_mark();
  c_MyApp* app = static_cast<c_MyApp*>(bbNewApplication());
  auto save = [&](const char* name) {
    app->p_Save();
    app->p_FinishSave();
    Write(dir + "/" + name, host->saved);
  };

  // A new player: settings as the game starts them, nothing earned.
  app->m_Settings[5] = 1;
  app->m_Settings[10] = app->m_Settings[11] = 64;
  app->m_Settings[12] = 10;
  app->m_Settings[14] = 1;
  save("seed-new-player.txt");

  // Some progress: options changed, badges (flag 31 makes its word negative), scores, quests.
  app->m_Settings[0] = 3;
  app->m_Settings[15] = 2;
  for (int b : {0, 5, 31, 32, 100, 255}) app->m_BadgeGot[b] = true;
  for (int t = 0; t < 24; t += 5)
    for (int s = 0; s < 10; ++s) {
      app->m_Scores[10 * t + s] = 50000 - 1000 * s - t;
      app->m_Scores[240 + 10 * t + s] = 700 * (s + 1) + t;
    }
  for (int q = 0; q < 20000; q += 37) app->m_Quest[q] = q * 3 + 1;
  save("seed-progress.txt");
  std::string progress = host->saved;

  // Values at the ends of the int range.
  app->m_Scores[0] = 2147483647;
  app->m_Scores[240] = -2147483647 - 1;
  app->m_Quest[199] = -1;
  save("seed-extremes.txt");

  // Cut inside the highscores, and one digit of a score changed.
  Write(dir + "/seed-truncated.txt", progress.substr(0, progress.size() / 50));
  std::string damaged = progress;
  size_t at = damaged.find("50000");
  if (at != std::string::npos) damaged[at] = '6';
  Write(dir + "/seed-damaged-score.txt", damaged);
  return 0;
}
