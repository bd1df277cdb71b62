// clear_app.cpp: the runtime's own minimal application: it runs the loop at 60 updates a second
// and clears the window every frame, slowly shifting the colour so a running loop is visible.
#include "app.h"
#include "runtime/graphics/graphics.h"
#include "start.h"

namespace {

class c_ClearApp : public c_App {
 public:
  c_ClearApp* m_new() {
    c_App::m_new();
    return this;
  }
  int p_OnCreate() override {
    bb_app_SetUpdateRate(60);
    return 0;
  }
  int p_OnUpdate() override {
    m_frames++;
    return 0;
  }
  int p_OnRender() override {
    float t = static_cast<float>(m_frames % 240) / 240.0f;
    float wave = t < 0.5f ? t * 2 : 2 - t * 2;
    bb_graphics_Cls(16, 24 + 24 * wave, 48 + 32 * wave);
    return 0;
  }

  int m_frames = 0;
};

}  // namespace

c_App* bbNewApplication() { return (new c_ClearApp)->m_new(); }
