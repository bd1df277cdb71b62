// start.cpp: process start, the globals and the roots, and the desktop host's Main.
#include "start.h"

#include "app.h"
#include "asyncevent.h"
#include "error.h"
#include "game.h"
#include "runtime/audio/sound.h"
#include "runtime/graphics/graphics.h"
#include "runtime/object/gc.h"
#include "runtime/platform/window.h"

void bbRegisterRoots() {
  gc_clear_roots();
  gc_add_root([] { gc_mark_q(bb_app__app); });
  gc_add_root([] { gc_mark_q(bb_app__delegate); });
  gc_add_root([] { gc_mark_q(bb_graphics_device); });
  gc_add_root([] { gc_mark_q(bb_graphics_context); });
  gc_add_root([] { gc_mark_q(bb_audio_device); });
  gc_add_root([] { gc_mark_q(bb_input_device); });
  gc_add_root([] { gc_mark_q(bb_graphics_renderDevice); });
  gc_add_root([] { gc_mark_q(bb_asyncevent__current); });
  gc_add_root([] { gc_mark_q(bb_asyncevent__sources); });
  gc_add_root([] { gc_mark_q(c_Stack::m_NIL); });
}

void (*bbProgramInit)() = nullptr;

void bbInit() {
  bb_app__app = nullptr;
  bb_app__delegate = nullptr;
  bb_app__game = BBGame::_game;
  bb_graphics_device = nullptr;
  gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  c_Image::m_DefaultFlags = 0;
  bb_audio_device = nullptr;
  bb_input_device = nullptr;
  bb_graphics_renderDevice = nullptr;
  bb_app__updateRate = 0;
  bb_asyncevent__current = nullptr;
  gc_assign(bb_asyncevent__sources, (new c_Stack)->m_new());
  c_Stack::m_NIL = nullptr;
  bb_random_Seed = 1234;
  if (bbProgramInit) bbProgramInit();
}

c_App* bbStartProgram() {
  bbRegisterRoots();
  bbInit();
  gc_mark();
  return bbNewApplication();
}

int BBDesktopGame::Main(int argc_, const char** argv_) {
  if (!bbWindowSystem()->Init()) {
    bbPrint(String("glfwInit failed"));
    std::exit(-1);
  }
  BBDesktopGame* game = new BBDesktopGame;
  try {
    argc = argc_;
    argv = argv_;
    bbInstallSignalHandlers();
    gc_init();
    bbStartProgram();
  } catch (ThrowableObject* ex) {
    bbWindowSystem()->Terminate();
    game->Die(ex);
  }
  if (game->Delegate()) game->Run();
  if (bbAtNormalExit) bbAtNormalExit();
  bbWindowSystem()->Terminate();
  return 0;
}

int bbRunProcess(int argc_, const char** argv_) {
  dbg_exstack = String();
  BBDesktopGame::Main(argc_, argv_);
  return 0;
}
