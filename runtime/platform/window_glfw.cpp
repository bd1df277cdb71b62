// window_glfw.cpp: the window system over GLFW 3.
#include "window_glfw.h"

#ifndef __EMSCRIPTEN__
BBGlfwWindowSystem& BBGlfwWindowSystem::the() {
  static BBGlfwWindowSystem system;
  return system;
}
#endif

namespace {

BBWindowSystem* current = nullptr;

}  // namespace

BBWindowSystem* bbWindowSystem() {
  if (!current) current = &BBGlfwWindowSystem::the();
  return current;
}

BBWindowSystem* bbSetWindowSystem(BBWindowSystem* system) {
  BBWindowSystem* previous = bbWindowSystem();
  current = system;
  return previous;
}
