// window_glfw.h: the window system over GLFW 3, shared by the desktop and the browser.
//
// window_glfw.cpp defines it for the desktop; window_web.cpp derives the browser's from it, which
// keeps GLFW's events and context and takes focus, full screen and the loop from the page.
// Depends on: GLFW 3 (3.2 in the browser). Must not touch: runtime objects, OpenGL state.
#pragma once

#include <GLFW/glfw3.h>

#include "clock.h"
#include "window.h"

class BBGlfwWindowSystem : public BBWindowSystem {
 public:
  // The one instance, of this class or of a platform's own (window_web.cpp); GLFW's callbacks are
  // plain functions that find it here.
  static BBGlfwWindowSystem& the();

  bool Init() override { return glfwInit() == GLFW_TRUE; }

  void Terminate() override {
    window_ = nullptr;
    glfwTerminate();
  }

  bool OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                  int stencil, bool fullscreen, bool resizable) override {
    CloseWindow();
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, red);
    glfwWindowHint(GLFW_GREEN_BITS, green);
    glfwWindowHint(GLFW_BLUE_BITS, blue);
    glfwWindowHint(GLFW_ALPHA_BITS, alpha);
    glfwWindowHint(GLFW_DEPTH_BITS, depth);
    glfwWindowHint(GLFW_STENCIL_BITS, stencil);
    glfwWindowHint(GLFW_RESIZABLE, resizable ? GLFW_TRUE : GLFW_FALSE);
#ifdef GLFW_X11_CLASS_NAME
    // The desktop matches the window to the game's menu entry by this class.
    glfwWindowHintString(GLFW_X11_CLASS_NAME, "garvolin-zudodo");
    glfwWindowHintString(GLFW_X11_INSTANCE_NAME, "garvolin-zudodo");
#endif
    // The title is set by the host once the window is placed.
    window_ = glfwCreateWindow(width, height, "", fullscreen ? glfwGetPrimaryMonitor() : nullptr,
                               nullptr);
    if (!window_) return false;
    glfwMakeContextCurrent(window_);
    Install();
    return true;
  }

  void CloseWindow() override {
    if (window_) glfwDestroyWindow(window_);
    window_ = nullptr;
  }

  void SetWindowTitle(const char* utf8) override {
    if (window_) glfwSetWindowTitle(window_, utf8);
  }

  void SetWindowPos(int x, int y) override {
    if (window_) glfwSetWindowPos(window_, x, y);
  }

  int WindowParam(Param which) override {
    if (!window_) return 0;
    switch (which) {
      case kOpened: return glfwWindowShouldClose(window_) ? 0 : 1;
      case kActive: return glfwGetWindowAttrib(window_, GLFW_FOCUSED);
      case kIconified: return glfwGetWindowAttrib(window_, GLFW_ICONIFIED);
    }
    return 0;
  }

  void GetWindowSize(int* width, int* height) override {
    *width = *height = 0;
    if (window_) glfwGetFramebufferSize(window_, width, height);
  }

  BBVideoModeInfo DesktopMode() override {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode) return {640, 480, 8, 8, 8};
    return {mode->width, mode->height, mode->redBits, mode->greenBits, mode->blueBits};
  }

  std::vector<BBVideoModeInfo> VideoModes() override {
    std::vector<BBVideoModeInfo> result;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    int count = 0;
    const GLFWvidmode* modes = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
    for (int i = 0; modes && i < count; ++i)
      result.push_back({modes[i].width, modes[i].height, modes[i].redBits, modes[i].greenBits,
                        modes[i].blueBits});
    return result;
  }

  void SetCallbacks(const BBWindowCallbacks& callbacks) override {
    callbacks_ = callbacks;
    Install();
  }

  void PollEvents() override { glfwPollEvents(); }
  void WaitEvents() override { glfwWaitEvents(); }
  double Time() override { return glfwGetTime(); }
  void Sleep(double seconds) override { bbPlatformSleep(seconds); }

  bool KeyPressed(int key) override {
    if (!window_ || key < GLFW_KEY_SPACE || key > GLFW_KEY_LAST) return false;
    return glfwGetKey(window_, key) == GLFW_PRESS;
  }

  void MousePos(int* x, int* y) override {
    double fx = 0, fy = 0;
    if (window_) glfwGetCursorPos(window_, &fx, &fy);
    *x = static_cast<int>(fx);
    *y = static_cast<int>(fy);
  }

  void SetCursorVisible(bool visible) override {
    if (window_)
      glfwSetInputMode(window_, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
  }

  void SwapBuffers() override {
    if (window_) glfwSwapBuffers(window_);
  }

  bool JoystickPresent(int port) override { return glfwJoystickPresent(port) == GLFW_TRUE; }

  int JoystickAxes(int port, float* axes, int max) override {
    int count = 0;
    const float* values = glfwGetJoystickAxes(port, &count);
    for (int i = 0; values && i < count && i < max; ++i) axes[i] = values[i];
    return values ? count : 0;
  }

  int JoystickButtons(int port, unsigned char* buttons, int max) override {
    int count = 0;
    const unsigned char* values = glfwGetJoystickButtons(port, &count);
    for (int i = 0; values && i < count && i < max; ++i) buttons[i] = values[i];
    return values ? count : 0;
  }

 protected:
  // GLFW 3 callbacks translated to the host's shape: a repeat is a press, a close request is
  // offered to the host, which may keep the window open.
  static void OnKey(GLFWwindow*, int key, int, int action, int) {
    if (the().callbacks_.key && key != GLFW_KEY_UNKNOWN)
      the().callbacks_.key(key, action == GLFW_RELEASE ? kRelease : kPress);
  }
  static void OnChar(GLFWwindow*, unsigned int codepoint) {
    if (the().callbacks_.character) the().callbacks_.character(static_cast<int>(codepoint), kPress);
  }
  static void OnMouseButton(GLFWwindow*, int button, int action, int) {
    if (the().callbacks_.mouseButton)
      the().callbacks_.mouseButton(button, action == GLFW_RELEASE ? kRelease : kPress);
  }
  static void OnCursorPos(GLFWwindow*, double x, double y) {
    if (the().callbacks_.mousePos) the().callbacks_.mousePos(static_cast<int>(x), static_cast<int>(y));
  }
  static void OnClose(GLFWwindow* window) {
    if (the().callbacks_.close && the().callbacks_.close() == 0)
      glfwSetWindowShouldClose(window, GLFW_FALSE);
  }

  void Install() {
    if (!window_) return;
    glfwSetKeyCallback(window_, OnKey);
    glfwSetCharCallback(window_, OnChar);
    glfwSetMouseButtonCallback(window_, OnMouseButton);
    glfwSetCursorPosCallback(window_, OnCursorPos);
    glfwSetWindowCloseCallback(window_, OnClose);
  }

  GLFWwindow* window_ = nullptr;
  BBWindowCallbacks callbacks_;
};
