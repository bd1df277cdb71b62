// graphics.h: the graphics module, the drawing interface of game code.
//
// Free bb_graphics_* functions over one module state (c_GraphicsContext): the current matrix with
// a 32-level stack, colour, alpha, blend and scissor. State calls are forwarded to the device at
// once; the matrix is sent only when it changed and something is about to be drawn. Images
// (c_Image) are a surface cut into frames (c_Frame), drawn at a handle, optionally rotated and
// scaled. Every frame begins from identity, white, opaque, alpha blending and no scissor.
// Depends on: the device and surfaces, the data path scheme, the runtime error path.
// Must not touch: OpenGL (the device does), the window, game state.
#pragma once

#include "device.h"
#include "runtime/object/array.h"
#include "runtime/object/object.h"
#include "surface.h"

// The origin of one frame in surface pixels.
class c_Frame : public Object {
 public:
  c_Frame* m_new(int x, int y);
  c_Frame* m_new2() { return this; }

  int m_x = 0;
  int m_y = 0;
};

class c_Image : public Object {
 public:
  // Image flags.
  static constexpr int CentreHandle = 1;    // handle at the frame centre (the bit is then cleared)
  static constexpr int PadX = 2;            // a 1-pixel border left and right of each frame is not drawn
  static constexpr int PadY = 4;            // the same above and below
  static constexpr int WholeSurface = 65536;  // one frame covering the surface: drawn whole

  static int m_DefaultFlags;

  c_Image* m_new() { return this; }
  void mark() override;

  // frameCount frames side by side across the whole surface (frameCount >= 1).
  c_Image* p_Init(gxtkSurface* surface, int frameCount, int flags);
  // frameCount frames of frameWidth x frameHeight from (x, y), left to right and top to bottom
  // inside the source rectangle; a grid that does not fit is the runtime error
  // "Image frame outside surface".
  c_Image* p_Init2(gxtkSurface* surface, int x, int y, int frameWidth, int frameHeight,
                   int frameCount, int flags, c_Image* source, int srcX, int srcY, int srcW,
                   int srcH);
  int p_ApplyFlags(int flags);
  int p_SetHandle(float x, float y);

  gxtkSurface* m_surface = nullptr;
  int m_width = 0;
  int m_height = 0;
  Array<c_Frame*> m_frames;
  int m_flags = 0;
  float m_handleX = 0;
  float m_handleY = 0;
  c_Image* m_source = nullptr;
};

class c_GraphicsContext : public Object {
 public:
  static constexpr int kMatrixLevels = 32;

  c_GraphicsContext* m_new();
  void mark() override;
  // Sends the matrix to the render device if it changed since it was last sent.
  int p_Validate();

  c_Image* m_defaultFont = nullptr;
  c_Image* m_font = nullptr;
  int m_firstChar = 0;
  int m_matrixSp = 0;  // in floats, 6 per saved level
  float m_a = 1, m_b = 0, m_c = 0, m_d = 1, m_tx = 0, m_ty = 0;
  int m_transformed = 0;
  int m_matrixDirty = 0;
  float m_colorR = 0, m_colorG = 0, m_colorB = 0;
  float m_alpha = 0;
  int m_blend = 0;
  float m_scissorX = 0, m_scissorY = 0, m_scissorW = 0, m_scissorH = 0;
  Array<float> m_matrixStack;
};

extern gxtkGraphics* bb_graphics_device;
extern c_GraphicsContext* bb_graphics_context;
// The device while a frame is being rendered, null otherwise.
extern gxtkGraphics* bb_graphics_renderDevice;

int bb_graphics_SetGraphicsDevice(gxtkGraphics* device);
int bb_graphics_DeviceWidth();
int bb_graphics_DeviceHeight();

// Frame: the application layer calls these around the game's render hook.
int bb_graphics_BeginRender();
int bb_graphics_EndRender();

// State, forwarded to the render device at once.
int bb_graphics_SetColor(float r, float g, float b);
int bb_graphics_SetAlpha(float alpha);
int bb_graphics_SetBlend(int blend);
int bb_graphics_SetScissor(float x, float y, float w, float h);
int bb_graphics_Cls(float r, float g, float b);

// Matrix: none of these reach the device until something is drawn.
int bb_graphics_SetMatrix(float a, float b, float c, float d, float tx, float ty);
int bb_graphics_SetMatrix2(Array<float> m);
// Applies the given matrix first, then the current one (works in the current local coordinates).
int bb_graphics_Transform(float a, float b, float c, float d, float tx, float ty);
int bb_graphics_Transform2(Array<float> m);
int bb_graphics_Translate(float x, float y);
int bb_graphics_Scale(float x, float y);
// Degrees; on the y-down screen a positive angle turns counter-clockwise.
int bb_graphics_Rotate(float angle);
// Saving more than 32 levels or restoring from an empty stack is the runtime error
// "Matrix stack overflow" or "Matrix stack underflow".
int bb_graphics_PushMatrix();
int bb_graphics_PopMatrix();

// Drawing.
int bb_graphics_DrawRect(float x, float y, float w, float h);
int bb_graphics_DrawLine(float x1, float y1, float x2, float y2);
// Centre and radii.
int bb_graphics_DrawEllipse(float x, float y, float xr, float yr);
// The frame's handle lands on (x, y); a null image or a frame number outside the image draws
// nothing.
int bb_graphics_DrawImage(c_Image* image, float x, float y, int frame);
// The same, rotated (degrees) and scaled about the handle.
int bb_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame);
// A pitch of 0 means w.
int bb_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);

// Images and fonts. A missing or undecodable file gives null, silently.
c_Image* bb_graphics_LoadImage(String path, int frameCount, int flags = c_Image::m_DefaultFlags);
c_Image* bb_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount,
                                int flags = c_Image::m_DefaultFlags);
// A null font selects the built-in "default_font.png" (96 frames, PadX, first character 32),
// loaded on first need.
int bb_graphics_SetFont(c_Image* font, int firstChar);
