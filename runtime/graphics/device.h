// device.h: gxtkGraphics, the one object through which the game's pixels reach the window.
//
// It owns the OpenGL state of a frame: BeginRender reads the window size and sets up a top-left
// pixel coordinate system, Cls clears, EndRender presents the frame.
// Depends on: OpenGL 1.x, the platform window system (size, buffer swap), the object runtime.
// Must not touch: the window library directly, game state.
#pragma once

#include "runtime/object/object.h"

class gxtkGraphics : public Object {
 public:
  gxtkGraphics();

  virtual int Width();
  virtual int Height();
  // Starts a frame; returns 1 (0 would mean: render without the graphics module, 2 a loading frame).
  virtual int BeginRender();
  // Presents the frame.
  virtual void EndRender();
  virtual void DiscardGraphics();
  // Clears the whole window to a colour given in 0-255 components.
  virtual int Cls(float r, float g, float b);

  int width = 0;   // drawable area in pixels, read at every BeginRender
  int height = 0;
};

extern gxtkGraphics* bb_graphics_device;
// The device while a frame is being rendered, null otherwise.
extern gxtkGraphics* bb_graphics_renderDevice;

// Makes the device the render target of the frame the application layer has begun.
int bb_graphics_BeginRender();
int bb_graphics_EndRender();
int bb_graphics_Cls(float r, float g, float b);
