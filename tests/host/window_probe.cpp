// window_probe: a tiny application on the real host and window, for the window tests. It prints
// what reaches the input store during each update, one line per item:
//   ready | hit <code> | char <code> | down <code> | mouse <x> <y>
#include "runtime/host/app.h"
#include "runtime/host/error.h"
#include "runtime/host/input.h"
#include "runtime/host/start.h"

namespace {

class c_ProbeApp : public c_App {
 public:
  int p_OnCreate() override {
    bb_app_SetUpdateRate(60);
    return 0;
  }
  int p_OnUpdate() override {
    if (!m_ready) {
      m_ready = true;
      bbPrint(String("ready"));
    }
    c_InputDevice* in = bb_input_device;
    for (int i = 0; i < in->m__keyHitPut; ++i) {
      int key = in->m__keyHitQueue[i];
      bbPrint(String("hit ") + String(key));
      if (key == KEY_LMB)
        bbPrint(String("mouse ") + String(static_cast<int>(bb_input_MouseX())) + String(" ") +
                String(static_cast<int>(bb_input_MouseY())));
    }
    while (int c = bb_input_GetChar()) bbPrint(String("char ") + String(c));
    return 0;
  }
  bool m_ready = false;
};

}  // namespace

c_App* bbNewApplication() { return (new c_ProbeApp)->m_new(); }
