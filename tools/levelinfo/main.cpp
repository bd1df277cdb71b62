// main.cpp: garvolin-level TYPE LEVEL [SEEDBASE] prints the level that the game would generate
// for game type TYPE (1-12) and level LEVEL (0-999; 0 is the tutorial of type 1), with the seed
// base SEEDBASE (by default TYPE x 12345, the fixed paths' seed base), as one JSON object.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/app.h"
#include "level_info.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"

// The runtime's start-up wants an application constructor; the inspector makes its own object.
c_App* bbNewApplication() { return nullptr; }

namespace {

bool ParseInt(const char* text, long low, long high, int* value) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < low || v > high) return false;
  *value = static_cast<int>(v);
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: garvolin-level TYPE LEVEL [SEEDBASE]\n"
                       "  TYPE      game type 1-12\n"
                       "  LEVEL     level 0-999 (0 is the tutorial of type 1)\n"
                       "  SEEDBASE  seed base, default TYPE x 12345\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int type = 0, level = 0, seedBase = 0;
  if (argc < 3 || argc > 4 || !ParseInt(argv[1], 1, 12, &type) || !ParseInt(argv[2], 0, 999, &level))
    return Usage();
  seedBase = type * 12345;
  if (argc == 4 && !ParseInt(argv[3], -2147483648L, 2147483647L, &seedBase)) return Usage();

  gc_init();
  bbRegisterRoots();
  bbProgramInit = bbGameInit;
  bbInit();
  c_MyApp* app = new c_MyApp;
  gc_assign(bb_app__app, static_cast<c_App*>(app));
  std::string json = bbInspectLevel(app, type, level, seedBase);
  std::fputs(json.c_str(), stdout);
  return 0;
}
