// surface.h: gxtkSurface, one image held as premultiplied pixel bytes and as an OpenGL texture.
//
// The bytes stay in memory for the life of the surface so that the texture can be rebuilt
// whenever the window, and with it the OpenGL context, is re-created: a texture is valid exactly
// while its contextSeq equals the host's glfwGraphicsSeq, and Bind rebuilds a stale one.
// A surface loaded from a file may also be a member of a shared texture page (texture_page.h),
// which the device draws it from while its texture pages are on; its own texture is then made
// only if it is drawn with the pages off.
// Depends on: OpenGL 1.x, the host's window counter glfwGraphicsSeq, the object runtime, texture
// pages. Must not touch: files or decoding (image_data.h), the device's batch.
#pragma once

#include <cstdint>

#include "runtime/object/object.h"

class BBTexturePage;

// Binds `texture` when it was made in the current OpenGL context (`contextSeq`); otherwise makes a
// new one there, sampled nearest and clamped at its edges, binds it and returns true: the caller
// then fills it.
bool bbBindPixelTexture(unsigned* texture, int* contextSeq);

class gxtkSurface : public Object {
 public:
  gxtkSurface() = default;
  // Releases the texture (if it belongs to the current context) and the pixel bytes.
  ~gxtkSurface() override;

  // Releases the texture, the pixel bytes and the place in a page; a second call does nothing.
  virtual int Discard();
  virtual int Width();
  virtual int Height();
  virtual int Loaded();
  // Makes the texture on the thread that owns the OpenGL context after LoadSurface__UNSAFE__.
  virtual int OnUnsafeLoadComplete();

  // Takes ownership of a malloc'd block of width x height pixels of depth bytes, top row first,
  // and premultiplies its colour by alpha in place.
  void SetData(unsigned char* data, int width, int height, int depth);
  // Writes 0xAARRGGBB pixels (pitch in pixels) premultiplied into a rectangle of a 4-byte surface,
  // clipped to the surface, and uploads it to its texture and its page where they are live.
  void SetSubData(int x, int y, int w, int h, const uint32_t* src, int pitch);
  // Binds the texture, building it first when it is missing or stale.
  void Bind();

  unsigned char* data = nullptr;  // owned; rows of width * depth bytes, no padding
  int width = 0;
  int height = 0;
  int depth = 0;
  int format = 0;  // GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB or GL_RGBA for depth 1 to 4
  int contextSeq = -1;  // glfwGraphicsSeq when the texture was made, -1 for none
  unsigned texture = 0;
  float uScale = 0;  // 1 / texture width in texels
  float vScale = 0;  // 1 / texture height in texels
  BBTexturePage* page = nullptr;  // the shared page holding a copy of the pixels, or null
  int pageX = 0, pageY = 0;       // the top-left texel of that copy
};

// The smallest power of two that is at least n (1 for n < 2).
int bbPowerOfTwoAtLeast(int n);
