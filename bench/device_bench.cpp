// device_bench.cpp: 2,499 textured quads a frame from one surface, drawn through the graphics
// device (with client arrays and with buffer objects) and, for the floor it can approach, by a
// minimal raw OpenGL 1.x loop with one indexed draw per 256 quads. The three take turns frame by
// frame. Prints "name: value" lines.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "quads.h"
#include "runtime/graphics/device.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"
#include "runtime/platform/window.h"

namespace {

using bbbench::Position;

gxtkSurface* MakeSurface(gxtkGraphics* device, int size) {
  std::vector<uint32_t> argb = bbbench::TexturePixels(size);
  Array<int> pixels(size * size);
  for (int i = 0; i < size * size; ++i) pixels[i] = static_cast<int>(argb[static_cast<size_t>(i)]);
  gxtkSurface* surface = device->CreateSurface(size, size);
  device->WritePixels2(surface, pixels, 0, 0, size, size, 0, size);
  return surface;
}

// One frame through the device, as the application layer and the graphics module drive it.
std::function<void()> DeviceFrame(gxtkGraphics* device, bool bufferObjects, gxtkSurface* surface,
                                  const std::vector<Position>* at) {
  return [=] {
    device->useBufferObjects = bufferObjects;
    device->BeginRender();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->SetColor(255, 255, 255);
    device->SetAlpha(1);
    device->SetBlend(0);
    device->Cls(0, 0, 0);
    for (const Position& p : *at) device->DrawSurface(surface, p.x, p.y);
    device->EndRender();
    glFinish();
  };
}

// The same quads with nothing but OpenGL: a premultiplied RGBA texture, client arrays of the same
// 20-byte vertices, one glDrawElements per 256 quads.
class RawGl {
 public:
  explicit RawGl(int size) : size_(static_cast<float>(size)) {
    std::vector<uint32_t> argb = bbbench::TexturePixels(size);
    std::vector<unsigned char> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
      uint32_t p = argb[i], a = p >> 24;
      rgba[i * 4] = static_cast<unsigned char>(((p >> 16) & 255) * a / 255);
      rgba[i * 4 + 1] = static_cast<unsigned char>(((p >> 8) & 255) * a / 255);
      rgba[i * 4 + 2] = static_cast<unsigned char>((p & 255) * a / 255);
      rgba[i * 4 + 3] = static_cast<unsigned char>(a);
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const uint16_t corner[6] = {0, 1, 2, 0, 2, 3};
    for (int q = 0; q < 256; ++q) {
      for (int k = 0; k < 6; ++k) indices_[q * 6 + k] = static_cast<uint16_t>(q * 4 + corner[k]);
    }
  }

  void Frame(const std::vector<Position>& at) {
    int w = 0, h = 0;
    bbWindowSystem()->GetWindowSize(&w, &h);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    // Client memory: no buffer object may stay bound from the device's frames.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &vertices_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertices_[0].u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), &vertices_[0].color);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    int n = 0;
    for (const Position& p : at) {
      Vertex* v = vertices_ + n * 4;
      v[0] = {p.x, p.y, 0, 0, 0xFFFFFFFFu};
      v[1] = {p.x + size_, p.y, 1, 0, 0xFFFFFFFFu};
      v[2] = {p.x + size_, p.y + size_, 1, 1, 0xFFFFFFFFu};
      v[3] = {p.x, p.y + size_, 0, 1, 0xFFFFFFFFu};
      if (++n == 256) {
        glDrawElements(GL_TRIANGLES, n * 6, GL_UNSIGNED_SHORT, indices_);
        n = 0;
      }
    }
    if (n) glDrawElements(GL_TRIANGLES, n * 6, GL_UNSIGNED_SHORT, indices_);
    glDisable(GL_TEXTURE_2D);
    bbWindowSystem()->SwapBuffers();
    glFinish();
  }

 private:
  struct Vertex {
    float x, y, u, v;
    uint32_t color;
  };
  float size_;
  GLuint texture_ = 0;
  Vertex vertices_[1024];
  uint16_t indices_[256 * 6];
};

}  // namespace

int main() {
  if (!bbWindowSystem()->Init()) {
    std::fprintf(stderr, "device_bench: no window system (is DISPLAY set?)\n");
    return 1;
  }
  gc_init();
  BBDesktopGame* host = new BBDesktopGame;
  host->SetGlfwWindow(bbbench::kWindowWidth, bbbench::kWindowHeight, 8, 8, 8, 0, 0, 0, false);
  gxtkGraphics* device = new gxtkGraphics;
  const bool defaultBuffers = device->useBufferObjects;

  double ms[2][3];  // [8 px, 64 px][device, device in the other mode, raw OpenGL]
  int64_t drawCalls[2];
  const int sizes[2] = {8, 64};
  for (int s = 0; s < 2; ++s) {
    gxtkSurface* surface = MakeSurface(device, sizes[s]);
    std::vector<Position> at = bbbench::QuadPositions(sizes[s]);
    RawGl* raw = new RawGl(sizes[s]);
    std::function<void()> frame = DeviceFrame(device, defaultBuffers, surface, &at);
    int64_t before = device->drawCalls;
    frame();
    drawCalls[s] = device->drawCalls - before;
    std::vector<double> medians = bbbench::MedianFrameMsInterleaved(
        {frame, DeviceFrame(device, !defaultBuffers, surface, &at), [&] { raw->Frame(at); }});
    for (int k = 0; k < 3; ++k) ms[s][k] = medians[static_cast<size_t>(k)];
    delete raw;
  }
  device->useBufferObjects = defaultBuffers;

  bbbench::Report("device_quads_8px_ms", ms[0][0]);
  bbbench::Report("device_quads_64px_ms", ms[1][0]);
  bbbench::Report("device_quads_draw_calls", static_cast<double>(drawCalls[0]));
  bbbench::Report("raw_gl_quads_8px_ms", ms[0][2]);
  bbbench::Report("raw_gl_quads_64px_ms", ms[1][2]);
  bbbench::Report("device_vs_raw_gl_8px", ms[0][0] / ms[0][2]);
  bbbench::Report("device_vs_raw_gl_64px", ms[1][0] / ms[1][2]);
  const char* other = defaultBuffers ? "device_client_arrays" : "device_buffer_objects";
  std::printf("%s_quads_8px_ms: %.4g\n%s_quads_64px_ms: %.4g\n", other, ms[0][1], other, ms[1][1]);
  bbWindowSystem()->Terminate();
  return drawCalls[0] == drawCalls[1] ? 0 : 1;
}
