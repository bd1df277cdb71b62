// main.cpp: the game's process entry: the game module's globals join the runtime's start-up and
// the application object is the game.
#include "game/app.h"
#include "runtime/host/start.h"

c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

int main(int argc, char** argv) {
  bbProgramInit = bbGameInit;
  return bbRunProcess(argc, const_cast<const char**>(argv));
}
