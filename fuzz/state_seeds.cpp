// state_seeds.cpp: writes seed state files for the save loader's fuzz target with the game's own
// save code, started as that target starts it. Usage: state_seeds FOLDER. Each seed is a complete
// save of one set of values; a truncated and a damaged copy of the richest one are written too.
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "game/app.h"

std::string SaveText();  // state_fuzz.cpp

int main(int argc, char** argv) {
  // The start-up moves into a scratch folder.
  const char* dir = argc == 2 ? realpath(argv[1], nullptr) : nullptr;
  if (!dir) return 2;
  LLVMFuzzerInitialize(&argc, &argv);
  c_MyApp* app = static_cast<c_MyApp*>(bb_app__app);
  const auto write = [&](const char* name, const std::string& bytes) {
    if (!(std::ofstream(std::string(dir) + "/" + name, std::ios::binary) << bytes)) std::abort();
  };

  // A new player: settings as the game starts them, nothing earned.
  app->m_Settings[5] = 1;
  app->m_Settings[10] = app->m_Settings[11] = 64;
  app->m_Settings[12] = 10;
  app->m_Settings[14] = 1;
  write("seed-new-player.txt", SaveText());

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
  const std::string progress = SaveText();
  write("seed-progress.txt", progress);

  // Values at the ends of the int range.
  app->m_Scores[0] = 2147483647;
  app->m_Scores[240] = -2147483647 - 1;
  app->m_Quest[199] = -1;
  write("seed-extremes.txt", SaveText());

  // Cut inside the highscores, and one digit of a score changed.
  write("seed-truncated.txt", progress.substr(0, progress.size() / 50));
  std::string damaged = progress;
  size_t at = damaged.find("50000");
  if (at != std::string::npos) damaged[at] = '6';
  write("seed-damaged-score.txt", damaged);
  return 0;
}
