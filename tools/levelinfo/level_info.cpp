// level_info.cpp: generating a level without playing it, and its JSON description.
#include "level_info.h"

#include <sstream>

#include "game/app.h"

namespace {

char Base36(int v) {
  if (v < 0 || v >= 36) return '?';
  return static_cast<char>(v < 10 ? '0' + v : 'a' + v - 10);
}

void Pair(std::ostringstream& out, float x, float y) {
  out << '[' << static_cast<int>(x) << ", " << static_cast<int>(y) << ']';
}

}  // namespace

std::string bbInspectLevel(c_MyApp* app, int type, int level, int seedBase) {
  app->m_GameType = type;
  app->m_Level = level;
  app->m_SeedBase = seedBase;
  app->m_ShowTrail = 0;
  app->p_GetLevel();
  while (app->m_TraceCount < c_MyApp::kTraceWalks) app->p_GetLevelB();

  std::ostringstream out;
  out << "{\"type\": " << type << ", \"level\": " << level << ", \"seedbase\": " << seedBase
      << ", \"seed\": " << app->m_LevelSeed << ", \"world\": " << app->m_World << ", \"mapw\": " << app->m_MapW
      << ", \"best_trace\": " << app->m_BestTrace << ",\n \"start\": ";
  Pair(out, app->m_Vars[1], app->m_Vars[2]);
  out << ", \"home\": ";
  Pair(out, app->m_Vars[98], app->m_Vars[99]);
  out << ",\n \"friends\": [";
  for (int k = 0; k < 4; ++k) {
    if (k) out << ", ";
    Pair(out, app->m_Vars[80 + 5 * k], app->m_Vars[81 + 5 * k]);
  }
  out << "],\n \"patrollers\": [";
  bool first = true;
  for (int slot = 0; slot < c_MyApp::kObjects; ++slot) {
    const float* o = app->m_Objs.Data() + slot * 10;
    if (o[0] == 0) continue;
    if (!first) out << ", ";
    first = false;
    Pair(out, o[1], o[2]);
  }
  out << "],\n \"cells\": {";
  const struct {
    const char* name;
    int slot;
  } layers[] = {{"type", c_MyApp::kCellType},
                {"trail", c_MyApp::kCellTrail},
                {"special", c_MyApp::kCellSpecial},
                {"pill", c_MyApp::kCellPill},
                {"wall", c_MyApp::kCellWall}};
  for (int l = 0; l < 5; ++l) {
    out << (l ? ",\n  \"" : "\n  \"") << layers[l].name << "\": [";
    for (int y = 0; y < c_MyApp::kMapRows; ++y) {
      out << (y ? ",\n   \"" : "\n   \"");
      for (int x = 0; x <= app->m_MapW; ++x) out << Base36(static_cast<int>(app->Cell(x, y, layers[l].slot)));
      out << '"';
    }
    out << "]";
  }
  out << "}}\n";
  return out.str();
}
