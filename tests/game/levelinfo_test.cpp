// The level inspector: its JSON describes the level the game generates; the program's arguments.
#include <sys/wait.h>

#include <cstdio>

#include "game_test.h"
#include "level_info.h"

namespace {

using LevelInspector = GameTest;

// The number after "name": in a JSON text.
int Number(const std::string& json, const std::string& name) {
  size_t at = json.find("\"" + name + "\": ");
  return at == std::string::npos ? -99999 : std::stoi(json.substr(at + name.size() + 4));
}

// The strings of the list after "name": in a JSON text.
std::vector<std::string> Strings(const std::string& json, const std::string& name) {
  std::vector<std::string> out;
  size_t at = json.find("\"" + name + "\": ["), end = json.find(']', at);
  for (size_t open = json.find('"', json.find('[', at)); at != std::string::npos && open < end; open = json.find('"', open + 1)) {
    size_t close = json.find('"', open + 1);
    out.push_back(json.substr(open + 1, close - open - 1));
    open = close;
  }
  return out;
}

std::string Pair(float x, float y) { return "[" + std::to_string(int(x)) + ", " + std::to_string(int(y)) + "]"; }

TEST_F(LevelInspector, TheJsonDescribesTheGeneratedLevelCellByCell) {
  const int levels[][3] = {{1, 9, 4242}, {4, 9, 4242}, {7, 9, 4242}, {11, 9, 4242}, {10, 7, 123450}};
  for (const auto& l : levels) {
    std::string json = bbInspectLevel(a, l[0], l[1], l[2]);
    SCOPED_TRACE(json.substr(0, 300));
    EXPECT_EQ(V(Number(json, "type"), Number(json, "level"), Number(json, "seedbase"), Number(json, "seed"),
                Number(json, "world"), Number(json, "mapw"), Number(json, "best_trace")),
              V(l[0], l[1], l[2], l[1] * 3 + l[2], a->m_World, a->m_MapW, a->m_BestTrace));
    // Each layer a list of rows, one character per cell; friends, home and patrollers (in slot
    // order: the generator fills the table from its end) as [x, y].
    const std::pair<const char*, int> layers[] = {{"type", 0}, {"trail", 9}, {"special", 6}, {"pill", 8}, {"wall", 7}};
    for (const auto& layer : layers) {
      std::vector<std::string> rows(c_MyApp::kMapRows);
      for (int y = 0; y < c_MyApp::kMapRows; ++y)
        for (int x = 0; x <= a->m_MapW; ++x) rows[y] += "0123456789abcdefghijklmnopqrstuvwxyz"[int(a->Cell(x, y, layer.second))];
      EXPECT_EQ(Strings(json, layer.first), rows) << layer.first;
    }
    std::string friends = "\"friends\": [", patrollers = "\"patrollers\": [";
    for (int k = 0; k < 4; ++k) friends += (k ? ", " : "") + Pair(a->m_Vars[80 + 5 * k], a->m_Vars[81 + 5 * k]);
    for (int s = 0; s < c_MyApp::kObjects; ++s)
      if (a->m_Objs[s * 10])
        patrollers += (patrollers.back() == '[' ? "" : ", ") + Pair(a->m_Objs[s * 10 + 1], a->m_Objs[s * 10 + 2]);
    EXPECT_TRUE(Has(json, friends + "]") && Has(json, "\"home\": " + Pair(a->m_Vars[98], a->m_Vars[99])));
    EXPECT_TRUE(Has(json, patrollers + "]") && (l[0] != 10 || patrollers.back() == ']')) << "world 4 has patrollers";
  }
}

// The inspector program's standard output for the arguments, and its exit status.
std::pair<std::string, int> Inspect(const std::string& args) {
  std::string out;
  FILE* pipe = popen((std::string(LEVEL_INSPECTOR) + " " + args + " 2>/dev/null").c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  int status = pclose(pipe);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST_F(LevelInspector, TheProgramPrintsTheSameLevelWithTheDefaultSeedBase) {
  EXPECT_EQ(Inspect("6 11"), std::make_pair(bbInspectLevel(a, 6, 11, 6 * 12345), 0));
  EXPECT_EQ(Inspect("6 11 74070").first, Inspect("6 11").first);
  EXPECT_EQ(Inspect("1 0 5").first, bbInspectLevel(a, 1, 0, 5)) << "the tutorial";
  EXPECT_EQ(Number(Inspect("1 0").first, "seed"), 1234);
  for (const char* bad : {"", "13 1", "0 1", "2", "2 1000", "2 x", "2 1 2 3"})
    EXPECT_EQ(Inspect(bad), std::make_pair(std::string(), 2)) << bad;
}

}  // namespace
