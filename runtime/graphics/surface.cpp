// surface.cpp: premultiplied pixel storage and the texture built (and rebuilt) from it.
#include "surface.h"

#include <GL/gl.h>
#include <GL/glext.h>  // GL_CLAMP_TO_EDGE, which Windows' gl.h (OpenGL 1.1) lacks

#include <cstdlib>

#include "runtime/host/game.h"
#include "texture_page.h"

namespace {

// Drops errors left over by earlier calls, so that the size check below sees only its own.
void bbClearGlErrors() {
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

}  // namespace

int bbPowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

gxtkSurface::~gxtkSurface() { gxtkSurface::Discard(); }

int gxtkSurface::Discard() {
  BBTexturePage::Remove(this);
  if (contextSeq == glfwGraphicsSeq) {
    glDeleteTextures(1, &texture);
    contextSeq = -1;
  }
  if (data) {
    std::free(data);
    data = nullptr;
  }
  return 0;
}

int gxtkSurface::Width() { return width; }
int gxtkSurface::Height() { return height; }
int gxtkSurface::Loaded() { return 1; }

int gxtkSurface::OnUnsafeLoadComplete() {
  Bind();
  return 1;
}

void gxtkSurface::SetData(unsigned char* pixels, int w, int h, int bytesPerPixel) {
  BBTexturePage::Remove(this);
  if (data && data != pixels) std::free(data);
  data = pixels;
  width = w;
  height = h;
  depth = bytesPerPixel;
  size_t count = static_cast<size_t>(w > 0 ? w : 0) * static_cast<size_t>(h > 0 ? h : 0);
  switch (depth) {
    case 1:
      format = GL_LUMINANCE;
      break;
    case 2:
      format = GL_LUMINANCE_ALPHA;
      for (unsigned char* p = data, *end = data + count * 2; p != end; p += 2) p[0] = p[0] * p[1] / 255;
      break;
    case 3:
      format = GL_RGB;
      break;
    case 4:
      format = GL_RGBA;
      for (unsigned char* p = data, *end = data + count * 4; p != end; p += 4) {
        p[0] = p[0] * p[3] / 255;
        p[1] = p[1] * p[3] / 255;
        p[2] = p[2] * p[3] / 255;
      }
      break;
    default:
      break;
  }
}

bool bbBindPixelTexture(unsigned* texture, int* contextSeq) {
  if (*contextSeq == glfwGraphicsSeq) {
    glBindTexture(GL_TEXTURE_2D, *texture);
    return false;
  }
  *contextSeq = glfwGraphicsSeq;
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return true;
}

void gxtkSurface::Bind() {
  if (glfwGraphicsSeq == 0 || !bbBindPixelTexture(&texture, &contextSeq)) return;

  int texWidth = width, texHeight = height;
  bbClearGlErrors();
  glTexImage2D(GL_TEXTURE_2D, 0, format, texWidth, texHeight, 0, format, GL_UNSIGNED_BYTE, nullptr);
  if (glGetError() != GL_NO_ERROR) {
    // Taken to mean that the driver wants power-of-two sizes; the surface uses the top-left part.
    texWidth = bbPowerOfTwoAtLeast(width);
    texHeight = bbPowerOfTwoAtLeast(height);
    glTexImage2D(GL_TEXTURE_2D, 0, format, texWidth, texHeight, 0, format, GL_UNSIGNED_BYTE, nullptr);
  }
  uScale = 1.0f / static_cast<float>(texWidth);
  vScale = 1.0f / static_cast<float>(texHeight);

  if (data) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, data);
  }
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const uint32_t* src, int pitch) {
  if (format != GL_RGBA) return;
  // Clip the rectangle to the surface; the source moves along with a clipped left or top edge.
  if (x < 0) {
    src -= x;
    w += x;
    x = 0;
  }
  if (y < 0) {
    src -= static_cast<ptrdiff_t>(y) * pitch;
    h += y;
    y = 0;
  }
  if (w > width - x) w = width - x;
  if (h > height - y) h = height - y;
  if (w <= 0 || h <= 0) return;

  if (!data) {
    data = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width) * height * 4));
    if (!data) return;
  }
  for (int r = 0; r < h; ++r) {
    const uint32_t* in = src + static_cast<ptrdiff_t>(r) * pitch;
    unsigned char* out = data + (static_cast<size_t>(y + r) * width + x) * 4;
    for (int i = 0; i < w; ++i, out += 4) {
      uint32_t p = in[i];
      unsigned A = p >> 24;
      out[0] = static_cast<unsigned char>(((p >> 16) & 255) * A / 255);
      out[1] = static_cast<unsigned char>(((p >> 8) & 255) * A / 255);
      out[2] = static_cast<unsigned char>((p & 255) * A / 255);
      out[3] = static_cast<unsigned char>(A);
    }
  }

  if (page) page->Upload(this, x, y, w, h);
  if (contextSeq != glfwGraphicsSeq) return;
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (w == width) {
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
                    data + static_cast<size_t>(y) * width * 4);
  } else {
    for (int r = 0; r < h; ++r) {
      glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + r, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                      data + (static_cast<size_t>(y + r) * width + x) * 4);
    }
  }
}
