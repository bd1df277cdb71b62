// image.cpp: images, their frame grids and flags, image loading and the font.
#include "graphics.h"
#include "runtime/host/error.h"
#include "runtime/services/files.h"

int c_Image::m_DefaultFlags = 0;

c_Frame* c_Frame::m_new(int x, int y) {
  m_x = x;
  m_y = y;
  return this;
}

void c_Image::mark() {
  gc_mark_q(m_surface);
  gc_mark_q(m_frames);
  gc_mark_q(m_source);
}

c_Image* c_Image::p_Init(gxtkSurface* surface, int frameCount, int flags) {
  if (frameCount < 1) bbError(String("Image frame count must be at least 1"));
  gc_assign(m_surface, surface);
  m_width = surface->Width() / frameCount;
  m_height = surface->Height();
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  for (int i = 0; i < frameCount; ++i) gc_assign(m_frames[i], (new c_Frame)->m_new(i * m_width, 0));
  p_ApplyFlags(flags);
  return this;
}

c_Image* c_Image::p_Init2(gxtkSurface* surface, int x, int y, int frameWidth, int frameHeight,
                          int frameCount, int flags, c_Image* source, int srcX, int srcY, int srcW,
                          int srcH) {
  gc_assign(m_surface, surface);
  gc_assign(m_source, source);
  m_width = frameWidth;
  m_height = frameHeight;
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  int ix = x, iy = y;
  for (int i = 0; i < frameCount; ++i) {
    if (ix + m_width > srcW) {
      ix = 0;
      iy += m_height;
    }
    if (ix + m_width > srcW || iy + m_height > srcH) bbError(String("Image frame outside surface"));
    gc_assign(m_frames[i], (new c_Frame)->m_new(ix + srcX, iy + srcY));
    ix += m_width;
  }
  p_ApplyFlags(flags);
  return this;
}

int c_Image::p_ApplyFlags(int flags) {
  m_flags = flags;
  if (m_flags & PadX) {
    for (int i = 0; i < m_frames.Length(); ++i) m_frames[i]->m_x += 1;
    m_width -= 2;
  }
  if (m_flags & PadY) {
    for (int i = 0; i < m_frames.Length(); ++i) m_frames[i]->m_y += 1;
    m_height -= 2;
  }
  if (m_flags & CentreHandle) p_SetHandle(static_cast<float>(m_width) * 0.5f,
                                          static_cast<float>(m_height) * 0.5f);
  if (m_frames.Length() == 1 && m_frames[0]->m_x == 0 && m_frames[0]->m_y == 0 &&
      m_width == m_surface->Width() && m_height == m_surface->Height()) {
    m_flags |= WholeSurface;
  }
  return 0;
}

int c_Image::p_SetHandle(float x, float y) {
  m_handleX = x;
  m_handleY = y;
  m_flags &= ~CentreHandle;
  return 0;
}

c_Image* bb_graphics_LoadImage(String path, int frameCount, int flags) {
  gxtkSurface* surface = bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
  if (!surface) return nullptr;
  return (new c_Image)->m_new()->p_Init(surface, frameCount, flags);
}

c_Image* bb_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount,
                                int flags) {
  gxtkSurface* surface = bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
  if (!surface) return nullptr;
  return (new c_Image)->m_new()->p_Init2(surface, 0, 0, frameWidth, frameHeight, frameCount, flags,
                                         nullptr, 0, 0, surface->Width(), surface->Height());
}

int bb_graphics_SetFont(c_Image* font, int firstChar) {
  c_GraphicsContext* g = bb_graphics_context;
  if (!font) {
    if (!g->m_defaultFont) {
      gc_assign(g->m_defaultFont, bb_graphics_LoadImage(String("default_font.png"), 96, c_Image::PadX));
    }
    font = g->m_defaultFont;
    firstChar = 32;
  }
  gc_assign(g->m_font, font);
  g->m_firstChar = firstChar;
  return 0;
}
