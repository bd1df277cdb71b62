// window_web.cpp: the window system in the browser: GLFW 3.2 (Emscripten's) over the page's
// canvas, with what GLFW cannot tell there taken from the page (web.js): the focus from the page's
// focus and visibility events, full screen through the page, and the loop run by the browser's
// frames. The canvas's drawing buffer stays 640 x 480 in full screen too, where the page scales it:
// that is the "desktop" the game sees.
#include <emscripten.h>

#include "window_glfw.h"

namespace {

class BBWebWindowSystem : public BBGlfwWindowSystem {
 public:
  int WindowParam(Param which) override {
    switch (which) {
      case kActive: return EM_ASM_INT({ return Module.zudodoPage.focused && !document.hidden; });
      case kIconified: return EM_ASM_INT({ return document.hidden ? 1 : 0; });
      case kOpened: break;
    }
    return BBGlfwWindowSystem::WindowParam(which);
  }

  BBVideoModeInfo DesktopMode() override { return {640, 480, 8, 8, 8}; }
  std::vector<BBVideoModeInfo> VideoModes() override { return {}; }

  bool OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                  int stencil, bool fullscreen, bool resizable) override {
    bool opened = BBGlfwWindowSystem::OpenWindow(width, height, red, green, blue, alpha, depth,
                                                 stencil, false, resizable);
    EM_ASM({ Module.zudodoFullscreen($0); }, fullscreen);
    return opened;
  }

  // One pass per animation frame of the browser; the loop ends when a pass says the window closed.
  void RunLoop(bool (*pass)(bool blocking)) override {
    pass_ = pass;
    emscripten_set_main_loop(
        [] {
          if (!pass_(false)) emscripten_cancel_main_loop();
        },
        0, 1);
  }

  // F11 pressed and released, as if typed.
  void FullscreenKey() {
    if (!callbacks_.key) return;
    callbacks_.key(GLFW_KEY_F11, kPress);
    callbacks_.key(GLFW_KEY_F11, kRelease);
  }

 private:
  static bool (*pass_)(bool);
};

bool (*BBWebWindowSystem::pass_)(bool) = nullptr;

BBWebWindowSystem webSystem;

}  // namespace

BBGlfwWindowSystem& BBGlfwWindowSystem::the() { return webSystem; }

// The page's full-screen button, and the page leaving full screen: the game's F11.
extern "C" EMSCRIPTEN_KEEPALIVE void bbPlatformPageFullscreenKey() { webSystem.FullscreenKey(); }
