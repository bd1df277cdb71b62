// device.h: gxtkGraphics, the one object through which the game's pixels reach the window.
//
// It draws 2-D points, lines, rectangles, ellipses, polygons and textured quads with the OpenGL
// 1.x fixed-function pipeline. Drawing calls only append vertices to one 1024-vertex batch that
// shares a primitive type and a texture surface; the batch goes to OpenGL when the next primitive
// does not fit or differs in type or surface, when blend or scissor change, before pixels are read
// or written, and at the end of the frame. Colour (premultiplied, packed once per change) and the
// 2-D matrix (applied on the CPU, skipped for the identity) travel with each vertex, so changing
// them never flushes. Images loaded from files are packed into shared texture pages
// (texture_page.h), and while the pages are on, an untextured primitive between images of a page
// is drawn from the page's white texel and a blend mode set again does not flush: a frame's batches
// then break only where the page, the primitive type or OpenGL state really changes.
// Depends on: OpenGL 1.x (1.5 for the optional buffer objects), the platform window system (size,
// buffer swap), surfaces and texture pages, the object runtime. Must not touch: the window library directly, the graphics module's state, game state.
#pragma once

#include <cstdint>

#include "runtime/object/array.h"
#include "runtime/object/object.h"
#include "surface.h"
#include "texture_page.h"

// One interleaved vertex as OpenGL reads it: 20 bytes.
struct BBVertex {
  float x, y;       // window pixels, y downwards
  float u, v;       // texture coordinates, written only for textured primitives
  uint32_t color;   // bytes red, green, blue, alpha in memory order, premultiplied
};
static_assert(sizeof(BBVertex) == 20, "the vertex layout handed to OpenGL is 20 bytes");

class gxtkGraphics : public Object {
 public:
  static constexpr int kMaxVertices = 1024;
  static constexpr int kMaxQuads = kMaxVertices / 4;
  // Batch types 1 to 4; any n >= 5 is a polygon of n vertices.
  static constexpr int kPoint = 1;
  static constexpr int kLine = 2;
  static constexpr int kTriangle = 3;
  static constexpr int kQuad = 4;

  // Reads the window size and fills the quad index list; colour, alpha and matrix are set by the
  // graphics module at the start of every frame.
  gxtkGraphics();
  void mark() override;

  virtual int Width();
  virtual int Height();
  // Starts a frame: size, viewport, projection, client arrays, blending; returns 1.
  virtual int BeginRender();
  // Flushes the batch and presents the frame.
  virtual int EndRender();
  virtual int DiscardGraphics();
  // A new surface decoded from an image file, packed into a texture page where it fits, with its
  // texture (or its page's) made at once; or null.
  virtual gxtkSurface* LoadSurface(String path);
  // Fills surface from an image file without any OpenGL call; null (surface untouched) on failure.
  virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
  // A new 4-byte-per-pixel surface with an uninitialised texture, for pixel writes; it keeps a
  // texture of its own (never packed), as the program may write to it every frame.
  virtual gxtkSurface* CreateSurface(int width, int height);
  // Drops pending vertices undrawn and clears (within the scissor box) to r, g, b in 0-255.
  virtual int Cls(float r, float g, float b);
  virtual int SetAlpha(float alpha);
  virtual int SetColor(float r, float g, float b);
  // 1 is additive; every other mode is premultiplied alpha.
  virtual int SetBlend(int mode);
  // Window pixels, y downwards; the whole window turns scissoring off.
  virtual int SetScissor(int x, int y, int w, int h);
  virtual int SetMatrix(float a, float b, float c, float d, float tx, float ty);
  virtual int DrawPoint(float x, float y);
  virtual int DrawRect(float x, float y, float w, float h);
  virtual int DrawLine(float x1, float y1, float x2, float y2);
  // The ellipse inscribed in the rectangle, as one polygon of 12 to 1024 segments.
  virtual int DrawOval(float x, float y, float w, float h);
  // x, y pairs; nothing is drawn for 0 or more than 1024 vertices.
  virtual int DrawPoly(Array<float> verts);
  // x, y, u, v quadruples, texture coordinates in surface pixels offset by srcx, srcy.
  virtual int DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy);
  virtual int DrawSurface(gxtkSurface* surface, float x, float y);
  virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                           int srch);
  // Copies a window rectangle into pixels as 0xAARRGGBB, top row first, row r from
  // offset + r * pitch. A rectangle that does not fit the array is ignored.
  virtual int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);
  // Writes 0xAARRGGBB pixels from offset on into a rectangle of a 4-byte-per-pixel surface.
  virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h,
                           int offset, int pitch);

  // Reserves count vertex records (count <= 1024) of a batch of this type and surface, flushing the
  // pending batch first when they differ or the records do not fit; the caller fills them.
  BBVertex* Begin(int type, int count, gxtkSurface* surface);
  // Sends the pending vertices to OpenGL.
  void Flush();

  int width = 0;
  int height = 0;
  uint32_t packedColor = 0;
  float red = 0, green = 0, blue = 0;  // 0-255
  float alpha = 0;                     // 0-1
  float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  bool transformed = false;  // false exactly when the matrix is the identity
  BBVertex vertices[kMaxVertices];
  uint16_t quadIndices[kMaxQuads * 6];
  int batchType = 0;
  int batchCount = 0;
  gxtkSurface* batchSurface = nullptr;
  // OpenGL draw calls issued since construction (diagnostics and tests).
  int64_t drawCalls = 0;
  // Hand batches to OpenGL through buffer objects (a streamed vertex buffer and a fixed index
  // buffer) instead of client arrays; read at BeginRender. Off: on Mesa's llvmpipe client arrays
  // draw the game's quads about three times faster (bench/run measures both).
  bool useBufferObjects = false;
  // Draw images from the shared texture pages they were packed into at load. Off, every image is
  // drawn from a texture of its own, untextured primitives stay untextured and every SetBlend
  // flushes, as before the pages (the benchmarks and tests compare both).
  bool useTexturePages = true;
  // The page of the pending batch (kept, like batchSurface, after a flush); null when the batch
  // is untextured or drawn from batchSurface's own texture.
  BBTexturePage* batchPage = nullptr;

 private:
  // Appends one vertex position, mapped through the matrix when it is not the identity.
  void Put(BBVertex* v, float x, float y) const {
    if (transformed) {
      v->x = a * x + c * y + tx;
      v->y = b * x + d * y + ty;
    } else {
      v->x = x;
      v->y = y;
    }
    v->color = packedColor;
  }
  void PackColor();
  // Begin with the page the batch is drawn from (null: surface's own texture, or none).
  BBVertex* BeginOn(int type, int count, gxtkSurface* surface, BBTexturePage* page);
  // Begin for an untextured primitive: while the pages are on, one that would end a pending batch
  // of a page joins it instead, drawn from the page's white texel.
  BBVertex* BeginPlain(int type, int count);
  // Where a surface is drawn from: its page's texels (origin in texels and scale) or its own.
  struct Source {
    BBTexturePage* page;
    float x, y, uScale, vScale;
  };
  Source SourceOf(gxtkSurface* surface);
  // Points the vertex arrays at the batch, in client memory or in the buffer objects.
  void SetUpArrays();

  int blend_ = -1;            // the blend mode OpenGL has: 0 alpha, 1 additive, -1 unknown
  bool buffered_ = false;     // the frame's batches go through buffer objects
  int buffersSeq_ = -1;       // glfwGraphicsSeq when the buffer objects were made
  unsigned vertexBuffer_ = 0;
  unsigned indexBuffer_ = 0;
};
