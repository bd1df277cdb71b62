// The level inspector: its JSON describes the level the game generates, and the program takes its
// arguments as documented.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"
#include "level_info.h"

namespace {

using gametest::Has;
using gametest::V;

// The strings of the list that follows "name": in text.
std::vector<std::string> StringList(const std::string& text, const std::string& name) {
  std::vector<std::string> out;
  size_t at = text.find("\"" + name + "\": [");
  size_t end = text.find(']', at);
  for (size_t open = text.find('"', text.find('[', at)); at != std::string::npos && open < end;) {
    size_t close = text.find('"', open + 1);
    out.push_back(text.substr(open + 1, close - open - 1));
    open = text.find('"', close + 1);
  }
  return out;
}

int Number(const std::string& text, const std::string& name) {
  size_t at = text.find("\"" + name + "\": ");
  return at == std::string::npos ? -99999 : std::stoi(text.substr(at + name.size() + 4));
}

std::string Pair(float x, float y) {
  return "[" + std::to_string(static_cast<int>(x)) + ", " + std::to_string(static_cast<int>(y)) + "]";
}

TEST(LevelInspector, TheJsonDescribesTheGeneratedLevelCellByCell) {
  gametest::Game g;
  c_MyApp* app = g.app;
  const int levels[][3] = {{1, 9, 4242}, {4, 9, 4242}, {7, 9, 4242}, {11, 9, 4242}, {10, 7, 123450}};
  for (const auto& l : levels) {
    std::string json = bbInspectLevel(app, l[0], l[1], l[2]);
    SCOPED_TRACE(json.substr(0, 300));
    EXPECT_EQ(V(Number(json, "type"), Number(json, "level"), Number(json, "seedbase"), Number(json, "seed"),
                Number(json, "world"), Number(json, "mapw"), Number(json, "best_trace")),
              V(l[0], l[1], l[2], l[1] * 3 + l[2], app->m_World, app->m_MapW, app->m_BestTrace));
    const std::pair<const char*, int> layers[] = {{"type", 0}, {"trail", 9}, {"special", 6}, {"pill", 8}, {"wall", 7}};
    for (const auto& layer : layers) {
      std::vector<std::string> rows(c_MyApp::kMapRows);
      for (int y = 0; y < c_MyApp::kMapRows; ++y)
        for (int x = 0; x <= app->m_MapW; ++x)
          rows[y] += "0123456789abcdefghijklmnopqrstuvwxyz"[static_cast<int>(app->Cell(x, y, layer.second))];
      EXPECT_EQ(StringList(json, layer.first), rows) << layer.first;
    }
    std::string friends = "\"friends\": [";
    for (int k = 0; k < 4; ++k) friends += (k ? ", " : "") + Pair(app->m_Vars[80 + 5 * k], app->m_Vars[81 + 5 * k]);
    EXPECT_TRUE(Has(json, friends + "]"));
    EXPECT_TRUE(Has(json, "\"home\": " + Pair(app->m_Vars[98], app->m_Vars[99])));
    // Patrollers in ascending slot order: the generator fills the table from its end.
    std::string patrollers;
    for (int s = 0; s < c_MyApp::kObjects; ++s)
      if (app->m_Objs[s * 10] != 0) patrollers += (patrollers.empty() ? "" : ", ") + Pair(app->m_Objs[s * 10 + 1], app->m_Objs[s * 10 + 2]);
    EXPECT_TRUE(Has(json, "\"patrollers\": [" + patrollers + "]"));
    if (l[0] == 10) { EXPECT_NE(patrollers, "") << "world 4 has patrollers"; }
  }
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

TEST(LevelInspector, TheProgramPrintsTheSameLevelWithTheDefaultSeedBase) {
  gametest::Game g;
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
