// device.cpp: the OpenGL frame set-up, clearing and presentation.
#include "device.h"

#include <GL/gl.h>

#include "runtime/platform/window.h"

gxtkGraphics* bb_graphics_device = nullptr;
gxtkGraphics* bb_graphics_renderDevice = nullptr;

gxtkGraphics::gxtkGraphics() { bbWindowSystem()->GetWindowSize(&width, &height); }

int gxtkGraphics::Width() { return width; }
int gxtkGraphics::Height() { return height; }

int gxtkGraphics::BeginRender() {
  bbWindowSystem()->GetWindowSize(&width, &height);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_SCISSOR_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  return 1;
}

void gxtkGraphics::EndRender() {
  glFlush();
  bbWindowSystem()->SwapBuffers();
}

void gxtkGraphics::DiscardGraphics() {}

int gxtkGraphics::Cls(float r, float g, float b) {
  glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  return 0;
}

int bb_graphics_BeginRender() {
  gc_assign(bb_graphics_renderDevice, bb_graphics_device);
  return 0;
}

int bb_graphics_EndRender() {
  bb_graphics_renderDevice = nullptr;
  return 0;
}

int bb_graphics_Cls(float r, float g, float b) { return bb_graphics_renderDevice->Cls(r, g, b); }
