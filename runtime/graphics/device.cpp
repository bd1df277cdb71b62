// device.cpp: the batching OpenGL device.
#include "device.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "runtime/host/game.h"
#include "runtime/platform/window.h"

namespace {

// Truncation toward zero, with values no int can hold (and NaN) taken as 0.
int bbTrunc(float f) {
  return (f > -2147483648.0f && f < 2147483648.0f) ? static_cast<int>(f) : 0;
}

// Larger than any frame buffer or texture side.
constexpr int kMaxSide = 16384;

// True when rows r = 0 .. h-1 of w values from offset + r * pitch all lie inside length.
bool bbRowsFit(int length, int offset, int pitch, int w, int h) {
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
  int64_t first = offset;
  int64_t last = int64_t{offset} + int64_t{h - 1} * pitch;
  int64_t low = first < last ? first : last;
  int64_t high = (first > last ? first : last) + w;
  return low >= 0 && high <= length;
}

}  // namespace

gxtkGraphics::gxtkGraphics() {
  bbWindowSystem()->GetWindowSize(&width, &height);
  for (int q = 0; q < kMaxQuads; ++q) {
    uint16_t* index = quadIndices + q * 6;
    uint16_t first = static_cast<uint16_t>(q * 4);
    index[0] = first;
    index[1] = static_cast<uint16_t>(first + 1);
    index[2] = static_cast<uint16_t>(first + 2);
    index[3] = first;
    index[4] = static_cast<uint16_t>(first + 2);
    index[5] = static_cast<uint16_t>(first + 3);
  }
}

void gxtkGraphics::mark() { gc_mark_q(batchSurface); }

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

  SetUpArrays();

  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  blend_ = 0;
  glDisable(GL_TEXTURE_2D);
  batchCount = 0;
  return 1;
}

void gxtkGraphics::SetUpArrays() {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  buffered_ = useBufferObjects;
  if (!buffered_) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glVertexPointer(2, GL_FLOAT, sizeof(BBVertex), &vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(BBVertex), &vertices[0].u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BBVertex), &vertices[0].color);
    return;
  }
  // Buffer objects belong to a context: make them again for a new window.
  if (buffersSeq_ != glfwGraphicsSeq) {
    buffersSeq_ = glfwGraphicsSeq;
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof quadIndices, quadIndices, GL_STATIC_DRAW);
  }
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  glVertexPointer(2, GL_FLOAT, sizeof(BBVertex), reinterpret_cast<const void*>(offsetof(BBVertex, x)));
  glTexCoordPointer(2, GL_FLOAT, sizeof(BBVertex), reinterpret_cast<const void*>(offsetof(BBVertex, u)));
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BBVertex),
                 reinterpret_cast<const void*>(offsetof(BBVertex, color)));
}

int gxtkGraphics::EndRender() {
  Flush();
  bbWindowSystem()->SwapBuffers();
  return 0;
}

int gxtkGraphics::DiscardGraphics() { return 0; }

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
  gxtkSurface* surface = LoadSurface__UNSAFE__(new gxtkSurface, path);
  if (!surface) return nullptr;
  // Packed whether or not the pages are on, so that switching them needs no reload.
  BBTexturePage::Place(surface);
  if (useTexturePages && surface->page) {
    surface->page->Bind();
  } else {
    surface->Bind();
  }
  return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
  if (!BBGlfwGame::_glfwGame) return nullptr;
  int w = 0, h = 0, depth = 0;
  unsigned char* data = BBGlfwGame::_glfwGame->LoadImageData(path, &w, &h, &depth);
  if (!data) return nullptr;
  surface->SetData(data, w, h, depth);
  return surface;
}

gxtkSurface* gxtkGraphics::CreateSurface(int w, int h) {
  gxtkSurface* surface = new gxtkSurface;
  surface->width = w > 0 ? w : 0;
  surface->height = h > 0 ? h : 0;
  surface->depth = 4;
  surface->format = GL_RGBA;
  surface->Bind();
  return surface;
}

int gxtkGraphics::Cls(float r, float g, float b) {
  batchCount = 0;
  glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  return 0;
}

void gxtkGraphics::PackColor() {
  packedColor = (static_cast<uint32_t>(bbTrunc(alpha * 255.0f)) << 24) |
                (static_cast<uint32_t>(bbTrunc(blue * alpha)) << 16) |
                (static_cast<uint32_t>(bbTrunc(green * alpha)) << 8) |
                static_cast<uint32_t>(bbTrunc(red * alpha));
}

int gxtkGraphics::SetAlpha(float value) {
  alpha = value;
  PackColor();
  return 0;
}

int gxtkGraphics::SetColor(float r, float g, float b) {
  red = r;
  green = g;
  blue = b;
  PackColor();
  return 0;
}

int gxtkGraphics::SetBlend(int mode) {
  int blend = mode == 1 ? 1 : 0;
  if (useTexturePages && blend == blend_) return 0;
  Flush();
  blend_ = blend;
  glBlendFunc(GL_ONE, blend ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
  return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int w, int h) {
  Flush();
  if (x == 0 && y == 0 && w == Width() && h == Height()) {
    glDisable(GL_SCISSOR_TEST);
  } else {
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, Height() - y - h, w, h);
  }
  return 0;
}

int gxtkGraphics::SetMatrix(float ma, float mb, float mc, float md, float mtx, float mty) {
  a = ma, b = mb, c = mc, d = md, tx = mtx, ty = mty;
  transformed = !(a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0);
  return 0;
}

BBVertex* gxtkGraphics::Begin(int type, int count, gxtkSurface* surface) {
  return BeginOn(type, count, surface, nullptr);
}

BBVertex* gxtkGraphics::BeginOn(int type, int count, gxtkSurface* surface, BBTexturePage* page) {
  if (type == batchType && page == batchPage && (page || surface == batchSurface) &&
      batchCount + count <= kMaxVertices) {
    BBVertex* first = vertices + batchCount;
    batchCount += count;
    return first;
  }
  if (batchCount) Flush();
  batchType = type;
  gc_assign(batchSurface, surface);
  batchPage = page;
  batchCount = count;
  return vertices;
}

BBVertex* gxtkGraphics::BeginPlain(int type, int count) {
  // Only where it saves a flush: a textured fill costs llvmpipe more than an untextured one.
  bool join = useTexturePages && batchCount && batchType == type;
  BBTexturePage* page = join ? batchPage : nullptr;
  BBVertex* v = BeginOn(type, count, nullptr, page);
  if (page) {
    for (int i = 0; i < count; ++i) v[i].u = page->whiteU, v[i].v = page->whiteV;
  }
  return v;
}

gxtkGraphics::Source gxtkGraphics::SourceOf(gxtkSurface* surface) {
  BBTexturePage* page = useTexturePages ? surface->page : nullptr;
  if (page) {
    return {page, static_cast<float>(surface->pageX), static_cast<float>(surface->pageY), page->scale,
            page->scale};
  }
  // A packed surface drawn with the pages off makes its own texture now: its scales depend on it.
  if (surface->contextSeq != glfwGraphicsSeq) surface->Bind();
  return {nullptr, 0, 0, surface->uScale, surface->vScale};
}

void gxtkGraphics::Flush() {
  if (!batchCount) return;
  if (batchPage) {
    glEnable(GL_TEXTURE_2D);
    batchPage->Bind();
  } else if (batchSurface) {
    glEnable(GL_TEXTURE_2D);
    batchSurface->Bind();
  }
  if (buffered_) {
    // A fresh store each time, so the driver never waits for the previous batch to be drawn.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batchCount * sizeof(BBVertex)), vertices,
                 GL_STREAM_DRAW);
  }
  switch (batchType) {
    case kPoint:
      glDrawArrays(GL_POINTS, 0, batchCount);
      ++drawCalls;
      break;
    case kLine:
      glDrawArrays(GL_LINES, 0, batchCount);
      ++drawCalls;
      break;
    case kTriangle:
      glDrawArrays(GL_TRIANGLES, 0, batchCount);
      ++drawCalls;
      break;
    case kQuad:
      glDrawElements(GL_TRIANGLES, batchCount / 4 * 6, GL_UNSIGNED_SHORT,
                     buffered_ ? nullptr : quadIndices);
      ++drawCalls;
      break;
    default:
      for (int first = 0; first < batchCount; first += batchType) {
        glDrawArrays(GL_TRIANGLE_FAN, first, batchType);
        ++drawCalls;
      }
      break;
  }
  if (batchPage || batchSurface) glDisable(GL_TEXTURE_2D);
  batchCount = 0;
}

int gxtkGraphics::DrawPoint(float x, float y) {
  Put(BeginPlain(kPoint, 1), x, y);
  return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  BBVertex* v = BeginPlain(kLine, 2);
  Put(v, x1, y1);
  Put(v + 1, x2, y2);
  return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
  float x1 = x + w, y1 = y + h;
  BBVertex* v = BeginPlain(kQuad, 4);
  Put(v, x, y);
  Put(v + 1, x1, y);
  Put(v + 2, x1, y1);
  Put(v + 3, x, y1);
  return 0;
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
  float rx = w * 0.5f, ry = h * 0.5f;
  float cx = x + rx, cy = y + ry;
  int segments;
  if (transformed) {
    float ax = rx * a, ay = rx * b, bx = ry * c, by = ry * d;
    segments = bbTrunc(std::sqrt(ax * ax + ay * ay) + std::sqrt(bx * bx + by * by));
  } else {
    segments = std::abs(bbTrunc(rx)) + std::abs(bbTrunc(ry));
  }
  if (segments < 12) {
    segments = 12;
  } else if (segments > kMaxVertices) {
    segments = kMaxVertices;
  } else {
    segments &= ~3;
  }
  BBVertex* v = BeginPlain(segments, segments);
  for (int i = 0; i < segments; ++i) {
    float theta = static_cast<float>(i) * 6.2831855f / static_cast<float>(segments);
    Put(v + i, cx + std::cos(theta) * rx, cy - std::sin(theta) * ry);
  }
  return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
  int n = verts.Length() / 2;
  if (n < 1 || n > kMaxVertices) return 0;
  BBVertex* v = BeginPlain(n, n);
  for (int i = 0; i < n; ++i) Put(v + i, verts[i * 2], verts[i * 2 + 1]);
  return 0;
}

int gxtkGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
  int n = verts.Length() / 4;
  if (n < 1 || n > kMaxVertices) return 0;
  Source from = SourceOf(surface);
  BBVertex* v = BeginOn(n, n, surface, from.page);
  float ox = static_cast<float>(srcx) + from.x, oy = static_cast<float>(srcy) + from.y;
  for (int i = 0; i < n; ++i) {
    const float* in = &verts[i * 4];
    Put(v + i, in[0], in[1]);
    v[i].u = (in[2] + ox) * from.uScale;
    v[i].v = (in[3] + oy) * from.vScale;
  }
  return 0;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  float w = static_cast<float>(surface->Width()), h = static_cast<float>(surface->Height());
  Source from = SourceOf(surface);
  float u0 = from.x * from.uScale, v0 = from.y * from.vScale;
  float u1 = (from.x + w) * from.uScale, v1 = (from.y + h) * from.vScale;
  BBVertex* v = BeginOn(kQuad, 4, surface, from.page);
  Put(v, x, y);
  Put(v + 1, x + w, y);
  Put(v + 2, x + w, y + h);
  Put(v + 3, x, y + h);
  v[0].u = u0, v[0].v = v0;
  v[1].u = u1, v[1].v = v0;
  v[2].u = u1, v[2].v = v1;
  v[3].u = u0, v[3].v = v1;
  return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                               int srch) {
  float w = static_cast<float>(srcw), h = static_cast<float>(srch);
  Source from = SourceOf(surface);
  float u0 = (static_cast<float>(srcx) + from.x) * from.uScale;
  float u1 = (static_cast<float>(srcx + srcw) + from.x) * from.uScale;
  float v0 = (static_cast<float>(srcy) + from.y) * from.vScale;
  float v1 = (static_cast<float>(srcy + srch) + from.y) * from.vScale;
  BBVertex* v = BeginOn(kQuad, 4, surface, from.page);
  Put(v, x, y);
  Put(v + 1, x + w, y);
  Put(v + 2, x + w, y + h);
  Put(v + 3, x, y + h);
  v[0].u = u0, v[0].v = v0;
  v[1].u = u1, v[1].v = v0;
  v[2].u = u1, v[2].v = v1;
  v[3].u = u0, v[3].v = v1;
  return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
  Flush();
  if (!bbRowsFit(pixels.Length(), offset, pitch, w, h)) return 0;
  std::vector<uint32_t> block(static_cast<size_t>(w) * static_cast<size_t>(h));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  // Read as RGBA bytes, which every OpenGL (WebGL too) accepts, and swapped into 0xAARRGGBB.
  glReadPixels(x, height - y - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, block.data());
  for (int r = 0; r < h; ++r) {
    const uint32_t* row = block.data() + static_cast<size_t>(h - 1 - r) * static_cast<size_t>(w);
    int* out = &pixels[offset + r * pitch];
    for (int i = 0; i < w; ++i) {
      const unsigned char* p = reinterpret_cast<const unsigned char*>(&row[i]);
      out[i] = static_cast<int>(static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                                static_cast<uint32_t>(p[1]) << 8 | p[2]);
    }
  }
  return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h,
                               int offset, int pitch) {
  Flush();
  if (!bbRowsFit(pixels.Length(), offset, pitch, w, h)) return 0;
  surface->SetSubData(x, y, w, h, reinterpret_cast<const uint32_t*>(&pixels[offset]), pitch);
  return 0;
}
