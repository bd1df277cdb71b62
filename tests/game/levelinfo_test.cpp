// The level inspector: its JSON describes the level the game generates, and the program takes
// its arguments as documented.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"
#include "level_info.h"

namespace {

using gametest::Game;

// The strings of the list that follows "name": in text.
std::vector<std::string> StringList(const std::string& text, const std::string& name) {
  std::vector<std::string> out;
  size_t at = text.find("\"" + name + "\": [");
  if (at == std::string::npos) return out;
  size_t end = text.find(']', at);
  for (size_t open = text.find('"', text.find('[', at)); open < end; open = text.find('"', open + 1)) {
    size_t close = text.find('"', open + 1);
    out.push_back(text.substr(open + 1, close - open - 1));
    open = close;
  }
  return out;
}

int Number(const std::string& text, const std::string& name) {
  size_t at = text.find("\"" + name + "\": ");
  return at == std::string::npos ? -99999 : std::stoi(text.substr(at + name.size() + 4));
}

// Runs the inspector program; its standard output, and its exit status in *status.
std::string RunInspector(const std::string& args, int* status) {
  std::string out;
  FILE* pipe = popen((std::string(LEVEL_INSPECTOR) + " " + args + " 2>/dev/null").c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  int raw = pclose(pipe);
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

TEST(LevelInspector, TheJsonDescribesTheGeneratedLevelCellByCell) {
  Game g;
  c_MyApp* app = g.app;
  for (int type : {1, 4, 7, 11}) {
    std::string json = bbInspectLevel(app, type, 9, 4242);
    EXPECT_EQ(Number(json, "type"), type);
    EXPECT_EQ(Number(json, "level"), 9);
    EXPECT_EQ(Number(json, "seedbase"), 4242);
    EXPECT_EQ(Number(json, "seed"), 9 * 3 + 4242);
    EXPECT_EQ(Number(json, "world"), app->m_World);
    EXPECT_EQ(Number(json, "mapw"), app->m_MapW);
    EXPECT_EQ(Number(json, "best_trace"), app->m_BestTrace);
    const char* names[] = {"type", "trail", "special", "pill", "wall"};
    const int slots[] = {0, 9, 6, 8, 7};
    for (int l = 0; l < 5; ++l) {
      std::vector<std::string> rows = StringList(json, names[l]);
      ASSERT_EQ(rows.size(), 33u) << names[l];
      for (int y = 0; y < 33; ++y) {
        ASSERT_EQ(static_cast<int>(rows[y].size()), app->m_MapW + 1);
        for (int x = 0; x <= app->m_MapW; ++x) {
          int v = static_cast<int>(app->Cell(x, y, slots[l]));
          ASSERT_EQ(rows[y][x], "0123456789abcdefghijklmnopqrstuvwxyz"[v]) << names[l] << " " << x << "," << y;
        }
      }
    }
    std::string friends = "\"friends\": [";
    for (int k = 0; k < 4; ++k) {
      friends += (k ? ", [" : "[") + std::to_string(static_cast<int>(app->m_Vars[80 + 5 * k])) + ", " +
                 std::to_string(static_cast<int>(app->m_Vars[81 + 5 * k])) + "]";
    }
    EXPECT_NE(json.find(friends + "]"), std::string::npos) << json.substr(0, 300);
    std::string home = "\"home\": [" + std::to_string(static_cast<int>(app->m_Vars[98])) + ", " +
                       std::to_string(static_cast<int>(app->m_Vars[99])) + "]";
    EXPECT_NE(json.find(home), std::string::npos);
  }
  // Patrollers in ascending slot order: the generator fills the table from its end.
  std::string json = bbInspectLevel(app, 10, 7, 123450);
  ASSERT_EQ(app->m_World, 4);
  std::string list;
  for (int s = 0; s < c_MyApp::kObjects; ++s) {
    const float* o = app->m_Objs.Data() + s * 10;
    if (o[0] == 0) continue;
    list += (list.empty() ? "[" : ", [") + std::to_string(static_cast<int>(o[1])) + ", " +
            std::to_string(static_cast<int>(o[2])) + "]";
  }
  ASSERT_FALSE(list.empty());
  EXPECT_NE(json.find("\"patrollers\": [" + list + "]"), std::string::npos);
}

TEST(LevelInspector, TheProgramPrintsTheSameLevelWithTheDefaultSeedBase) {
  Game g;
  int status = 0;
  std::string printed = RunInspector("6 11", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(printed, bbInspectLevel(g.app, 6, 11, 6 * 12345));
  EXPECT_EQ(RunInspector("6 11 74070", &status), printed);
  EXPECT_EQ(RunInspector("1 0 5", &status), bbInspectLevel(g.app, 1, 0, 5)) << "the tutorial";
  EXPECT_EQ(Number(RunInspector("1 0", &status), "seed"), 1234);
  for (const char* bad : {"", "13 1", "0 1", "2", "2 1000", "2 x", "2 1 2 3"}) {
    EXPECT_EQ(RunInspector(bad, &status), "") << bad;
    EXPECT_EQ(status, 2) << bad;
  }
}

}  // namespace
