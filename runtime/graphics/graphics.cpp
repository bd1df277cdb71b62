// graphics.cpp: the graphics module's state, matrix and drawing functions.
#include "graphics.h"

#include <cmath>

#include "runtime/host/error.h"
#include "runtime/services/files.h"

gxtkGraphics* bb_graphics_device = nullptr;
c_GraphicsContext* bb_graphics_context = nullptr;
gxtkGraphics* bb_graphics_renderDevice = nullptr;

namespace {

c_GraphicsContext* ctx() { return bb_graphics_context; }

int bbTruncToInt(float f) {
  return (f > -2147483648.0f && f < 2147483648.0f) ? static_cast<int>(f) : 0;
}

void bbUpdateTransformed(c_GraphicsContext* g) {
  g->m_transformed = (g->m_a == 1 && g->m_b == 0 && g->m_c == 0 && g->m_d == 1 && g->m_tx == 0 &&
                      g->m_ty == 0)
                         ? 0
                         : 1;
  g->m_matrixDirty = 1;
}

// The rotation matrix's sine and cosine: radians in single precision, the functions in double.
void bbRotation(float angle, float* s, float* c) {
  float r = angle * 0.017453292f;
  *s = static_cast<float>(std::sin(static_cast<double>(r)));
  *c = static_cast<float>(std::cos(static_cast<double>(r)));
}

// The frame to draw, or null when there is none.
c_Frame* bbFrameOf(c_Image* image, int frame) {
  if (!image || frame < 0 || frame >= image->m_frames.Length()) return nullptr;
  return image->m_frames[frame];
}

}  // namespace

c_GraphicsContext* c_GraphicsContext::m_new() {
  gc_assign(m_matrixStack, Array<float>(kMatrixLevels * 6));
  m_a = 1, m_b = 0, m_c = 0, m_d = 1, m_tx = 0, m_ty = 0;
  return this;
}

void c_GraphicsContext::mark() {
  gc_mark_q(m_defaultFont);
  gc_mark_q(m_font);
  gc_mark_q(m_matrixStack);
}

int c_GraphicsContext::p_Validate() {
  if (m_matrixDirty) {
    bb_graphics_renderDevice->SetMatrix(m_a, m_b, m_c, m_d, m_tx, m_ty);
    m_matrixDirty = 0;
  }
  return 0;
}

int bb_graphics_SetGraphicsDevice(gxtkGraphics* device) {
  gc_assign(bb_graphics_device, device);
  return 0;
}

int bb_graphics_DeviceWidth() { return bb_graphics_device->Width(); }
int bb_graphics_DeviceHeight() { return bb_graphics_device->Height(); }

int bb_graphics_BeginRender() {
  gc_assign(bb_graphics_renderDevice, bb_graphics_device);
  c_GraphicsContext* g = ctx();
  g->m_matrixSp = 0;
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  bb_graphics_SetColor(255, 255, 255);
  bb_graphics_SetAlpha(1);
  bb_graphics_SetBlend(0);
  int h = bb_graphics_DeviceHeight();
  int w = bb_graphics_DeviceWidth();
  bb_graphics_SetScissor(0, 0, static_cast<float>(w), static_cast<float>(h));
  return 0;
}

int bb_graphics_EndRender() {
  bb_graphics_renderDevice = nullptr;
  return 0;
}

int bb_graphics_SetColor(float r, float g, float b) {
  ctx()->m_colorR = r;
  ctx()->m_colorG = g;
  ctx()->m_colorB = b;
  return bb_graphics_renderDevice->SetColor(r, g, b);
}

int bb_graphics_SetAlpha(float alpha) {
  ctx()->m_alpha = alpha;
  return bb_graphics_renderDevice->SetAlpha(alpha);
}

int bb_graphics_SetBlend(int blend) {
  ctx()->m_blend = blend;
  return bb_graphics_renderDevice->SetBlend(blend);
}

int bb_graphics_SetScissor(float x, float y, float w, float h) {
  c_GraphicsContext* g = ctx();
  g->m_scissorX = x, g->m_scissorY = y, g->m_scissorW = w, g->m_scissorH = h;
  return bb_graphics_renderDevice->SetScissor(bbTruncToInt(x), bbTruncToInt(y), bbTruncToInt(w),
                                              bbTruncToInt(h));
}

int bb_graphics_Cls(float r, float g, float b) { return bb_graphics_renderDevice->Cls(r, g, b); }

int bb_graphics_SetMatrix(float a, float b, float c, float d, float tx, float ty) {
  c_GraphicsContext* g = ctx();
  g->m_a = a, g->m_b = b, g->m_c = c, g->m_d = d, g->m_tx = tx, g->m_ty = ty;
  bbUpdateTransformed(g);
  return 0;
}

int bb_graphics_SetMatrix2(Array<float> m) {
  if (m.Length() < 6) return 0;
  return bb_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int bb_graphics_Transform(float A, float B, float C, float D, float TX, float TY) {
  c_GraphicsContext* g = ctx();
  float a = g->m_a * A + g->m_c * B;
  float b = g->m_b * A + g->m_d * B;
  float c = g->m_a * C + g->m_c * D;
  float d = g->m_b * C + g->m_d * D;
  float tx = g->m_a * TX + g->m_c * TY + g->m_tx;
  float ty = g->m_b * TX + g->m_d * TY + g->m_ty;
  return bb_graphics_SetMatrix(a, b, c, d, tx, ty);
}

int bb_graphics_Transform2(Array<float> m) {
  if (m.Length() < 6) return 0;
  return bb_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int bb_graphics_Translate(float x, float y) { return bb_graphics_Transform(1, 0, 0, 1, x, y); }
int bb_graphics_Scale(float x, float y) { return bb_graphics_Transform(x, 0, 0, y, 0, 0); }

int bb_graphics_Rotate(float angle) {
  float s, c;
  bbRotation(angle, &s, &c);
  return bb_graphics_Transform(c, -s, s, c, 0, 0);
}

int bb_graphics_PushMatrix() {
  c_GraphicsContext* g = ctx();
  if (g->m_matrixSp + 6 > g->m_matrixStack.Length()) bbError(String("Matrix stack overflow"));
  float* top = &g->m_matrixStack[g->m_matrixSp];
  top[0] = g->m_a, top[1] = g->m_b, top[2] = g->m_c, top[3] = g->m_d, top[4] = g->m_tx,
  top[5] = g->m_ty;
  g->m_matrixSp += 6;
  return 0;
}

int bb_graphics_PopMatrix() {
  c_GraphicsContext* g = ctx();
  if (g->m_matrixSp < 6) bbError(String("Matrix stack underflow"));
  g->m_matrixSp -= 6;
  const float* top = &g->m_matrixStack[g->m_matrixSp];
  return bb_graphics_SetMatrix(top[0], top[1], top[2], top[3], top[4], top[5]);
}

int bb_graphics_DrawRect(float x, float y, float w, float h) {
  ctx()->p_Validate();
  return bb_graphics_renderDevice->DrawRect(x, y, w, h);
}

int bb_graphics_DrawLine(float x1, float y1, float x2, float y2) {
  ctx()->p_Validate();
  return bb_graphics_renderDevice->DrawLine(x1, y1, x2, y2);
}

int bb_graphics_DrawEllipse(float x, float y, float xr, float yr) {
  ctx()->p_Validate();
  return bb_graphics_renderDevice->DrawOval(x - xr, y - yr, xr * 2, yr * 2);
}

int bb_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
  c_Frame* f = bbFrameOf(image, frame);
  if (!f) return 0;
  ctx()->p_Validate();
  float left = x - image->m_handleX, top = y - image->m_handleY;
  if (image->m_flags & c_Image::WholeSurface) {
    return bb_graphics_renderDevice->DrawSurface(image->m_surface, left, top);
  }
  return bb_graphics_renderDevice->DrawSurface2(image->m_surface, left, top, f->m_x, f->m_y,
                                                image->m_width, image->m_height);
}

int bb_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame) {
  c_Frame* f = bbFrameOf(image, frame);
  if (!f) return 0;
  bb_graphics_PushMatrix();
  bb_graphics_Transform(1, 0, 0, 1, x, y);
  float s, c;
  bbRotation(rotation, &s, &c);
  bb_graphics_Transform(c, -s, s, c, 0, 0);
  bb_graphics_Transform(scaleX, 0, 0, scaleY, 0, 0);
  bb_graphics_Transform(1, 0, 0, 1, -image->m_handleX, -image->m_handleY);
  ctx()->p_Validate();
  if (image->m_flags & c_Image::WholeSurface) {
    bb_graphics_renderDevice->DrawSurface(image->m_surface, 0, 0);
  } else {
    bb_graphics_renderDevice->DrawSurface2(image->m_surface, 0, 0, f->m_x, f->m_y, image->m_width,
                                           image->m_height);
  }
  bb_graphics_PopMatrix();
  return 0;
}

int bb_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
  if (!pitch) pitch = w;
  return bb_graphics_renderDevice->ReadPixels(pixels, x, y, w, h, offset, pitch);
}
